#pragma once
// An in-memory lobby room for the impulse clock's tests: every user's connection, data
// messages that reach the room's other users after a latency on the fake scheduler's time, and
// departures that every remaining user hears of.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/RealTimeEngine.h"
#include "engine/kit/FakeScheduler.h"

namespace kit {

class TLobbyHub;

// One user's connection to the room. Without a linked clock its own data handler (the main
// window's, in the game) receives the messages.
class TLobbyConnection : public TImpulseConnection {
public:
  TLobbyConnection(TLobbyHub& Hub, std::string UserId) : FHub(Hub), FUserId(std::move(UserId)) {}
  ~TLobbyConnection() override { Unlink(); }

  std::string GetOwnUserId() const override { return FUserId; }
  std::vector<TVexilUserPtr> GetRoomUsers() const override { return FUsers; }
  void SendData(const std::string& Text) override;
  TDataHandler Link(TDataHandler OnData, TDepartureHandler OnDeparture) override;
  void Unlink() override;
  bool Linked() const { return FLinked; }

  // The handler a linked clock replaces (and hands every message on to that it does not keep).
  TDataHandler OwnData;
  // Every message this user received, whoever handled it: (from, text).
  std::vector<std::pair<std::string, std::string>> Received;

private:
  friend class TLobbyHub;
  void Deliver(const std::string& From, const std::string& Text);
  void UserLeft(const std::string& UserId);

  TLobbyHub& FHub;
  std::string FUserId;
  // This machine's own user objects of the room's users.
  std::vector<TVexilUserPtr> FUsers;
  bool FLinked = false;
  TDataHandler FClockData;
  TDepartureHandler FClockDeparture;
};

class TLobbyHub {
public:
  explicit TLobbyHub(TFakeScheduler& Scheduler) : FScheduler(Scheduler) {}

  // A new user at the end of the room; every connection, his own included, lists him.
  TLobbyConnection& Join(const std::string& UserId);
  TLobbyConnection& Connection(const std::string& UserId) { return *FConnections.at(UserId); }
  // The user leaves the room: each remaining user's connection reports it. His connection
  // stays (it hears nothing more).
  void Leave(const std::string& UserId);
  bool InRoom(const std::string& UserId) const;

  // The latency from one user to another (the default for every pair not set).
  void SetLatency(const std::string& From, const std::string& To, std::int32_t Ms) { FLatency[{From, To}] = Ms; }
  std::int32_t DefaultLatency = 30;
  // A data message from From (anybody, in the room or not) to the room's users but From,
  // arriving after the latency; a user who has left by then does not receive it.
  void Send(const std::string& From, const std::string& Text);
  // The same to one user.
  void SendTo(const std::string& From, const std::string& To, const std::string& Text);
  // Every message sent through the hub, in order: (from, text).
  std::vector<std::pair<std::string, std::string>> Sent;

private:
  std::int32_t Latency(const std::string& From, const std::string& To) const;

  TFakeScheduler& FScheduler;
  std::vector<std::string> FRoom;
  std::map<std::string, std::unique_ptr<TLobbyConnection>> FConnections;
  std::map<std::pair<std::string, std::string>, std::int32_t> FLatency;
};

}  // namespace kit
