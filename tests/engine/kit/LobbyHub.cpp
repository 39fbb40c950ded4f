#include "engine/kit/LobbyHub.h"

#include <algorithm>

namespace kit {

void TLobbyConnection::SendData(const std::string& Text) {
  if (FHub.InRoom(FUserId)) FHub.Send(FUserId, Text);
}

TImpulseConnection::TDataHandler TLobbyConnection::Link(TDataHandler OnData, TDepartureHandler OnDeparture) {
  FLinked = true;
  FClockData = std::move(OnData);
  FClockDeparture = std::move(OnDeparture);
  return OwnData;
}

void TLobbyConnection::Unlink() {
  FLinked = false;
  FClockData = {};
  FClockDeparture = {};
}

void TLobbyConnection::Deliver(const std::string& From, const std::string& Text) {
  Received.emplace_back(From, Text);
  const TDataHandler Handler = FLinked ? FClockData : OwnData;
  if (Handler) Handler(Text, From);
}

void TLobbyConnection::UserLeft(const std::string& UserId) {
  const auto It = std::find_if(FUsers.begin(), FUsers.end(), [&](const TVexilUserPtr& U) { return U->UserId() == UserId; });
  if (It == FUsers.end()) return;
  FUsers.erase(It);
  const TDepartureHandler Handler = FLinked ? FClockDeparture : TDepartureHandler();
  if (Handler) Handler(UserId);
}

TLobbyConnection& TLobbyHub::Join(const std::string& UserId) {
  auto& Slot = FConnections[UserId];
  if (!Slot) Slot = std::make_unique<TLobbyConnection>(*this, UserId);
  if (!InRoom(UserId)) {
    FRoom.push_back(UserId);
    for (const std::string& Member : FRoom) {
      TLobbyConnection& C = *FConnections.at(Member);
      if (Member == UserId) {
        C.FUsers.clear();
        for (const std::string& Other : FRoom) {
          auto U = std::make_shared<TVexilUser>();
          U->SetUserId(Other);
          C.FUsers.push_back(U);
        }
      } else {
        auto U = std::make_shared<TVexilUser>();
        U->SetUserId(UserId);
        C.FUsers.push_back(U);
      }
    }
  }
  return *Slot;
}

void TLobbyHub::Leave(const std::string& UserId) {
  const auto It = std::find(FRoom.begin(), FRoom.end(), UserId);
  if (It == FRoom.end()) return;
  FRoom.erase(It);
  FConnections.at(UserId)->FUsers.clear();
  // A handler may make others leave: walk a copy.
  const std::vector<std::string> Room = FRoom;
  for (const std::string& Member : Room)
    if (InRoom(Member)) FConnections.at(Member)->UserLeft(UserId);
}

bool TLobbyHub::InRoom(const std::string& UserId) const {
  return std::find(FRoom.begin(), FRoom.end(), UserId) != FRoom.end();
}

std::int32_t TLobbyHub::Latency(const std::string& From, const std::string& To) const {
  const auto It = FLatency.find({From, To});
  return It == FLatency.end() ? DefaultLatency : It->second;
}

void TLobbyHub::Send(const std::string& From, const std::string& Text) {
  Sent.emplace_back(From, Text);
  for (const std::string& Member : FRoom)
    if (Member != From) SendTo(From, Member, Text);
}

void TLobbyHub::SendTo(const std::string& From, const std::string& To, const std::string& Text) {
  FScheduler.Post(Latency(From, To), [this, From, To, Text] {
    if (InRoom(To)) FConnections.at(To)->Deliver(From, Text);
  });
}

}  // namespace kit
