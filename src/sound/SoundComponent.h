#pragma once
// The base of the sound components that point at one another (a sound buffer at its mixer and
// at the buffer it clones, a mixer at the wave that shapes its primary buffer). Whoever keeps
// such a pointer asks to be told when the other goes, and forgets it in Notification: no
// pointer ever outlives what it points at.
#include <vector>

class TSoundComponent {
public:
  TSoundComponent() = default;
  TSoundComponent(const TSoundComponent&) = delete;
  TSoundComponent& operator=(const TSoundComponent&) = delete;
  virtual ~TSoundComponent();

  // Watcher's Notification runs with this component when it is destroyed.
  void FreeNotification(TSoundComponent* Watcher);
  void RemoveFreeNotification(TSoundComponent* Watcher);

protected:
  // Removed is being destroyed: drop every pointer to it.
  virtual void Notification(TSoundComponent* Removed);

private:
  std::vector<TSoundComponent*> FWatchers;  // told when this one goes
  std::vector<TSoundComponent*> FWatched;   // will tell this one when they go
};
