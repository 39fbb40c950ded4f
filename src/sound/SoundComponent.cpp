#include "sound/SoundComponent.h"

#include <algorithm>

namespace {

void EraseOne(std::vector<TSoundComponent*>& List, TSoundComponent* Item) {
  const auto It = std::find(List.begin(), List.end(), Item);
  if (It != List.end()) List.erase(It);
}

}  // namespace

TSoundComponent::~TSoundComponent() {
  for (TSoundComponent* Other : FWatched) EraseOne(Other->FWatchers, this);
  FWatched.clear();
  // A watcher may drop further links while it is told, so take the list first.
  const std::vector<TSoundComponent*> Watchers = std::move(FWatchers);
  FWatchers.clear();
  for (TSoundComponent* Watcher : Watchers) {
    EraseOne(Watcher->FWatched, this);
    Watcher->Notification(this);
  }
}

void TSoundComponent::FreeNotification(TSoundComponent* Watcher) {
  if (!Watcher || Watcher == this) return;
  if (std::find(FWatchers.begin(), FWatchers.end(), Watcher) != FWatchers.end()) return;
  FWatchers.push_back(Watcher);
  Watcher->FWatched.push_back(this);
}

void TSoundComponent::RemoveFreeNotification(TSoundComponent* Watcher) {
  if (!Watcher) return;
  EraseOne(FWatchers, Watcher);
  EraseOne(Watcher->FWatched, this);
}

void TSoundComponent::Notification(TSoundComponent* /*Removed*/) {}
