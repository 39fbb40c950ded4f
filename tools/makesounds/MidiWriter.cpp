#include "MidiWriter.h"

#include <algorithm>
#include <cctype>

namespace {

struct TEvent {
  std::uint32_t Tick;
  int Order;  // at one tick: notes off before notes on
  std::vector<std::uint8_t> Bytes;
};

void PutVarLen(std::vector<std::uint8_t>& Out, std::uint32_t V) {
  std::uint8_t Groups[5];
  int N = 0;
  do {
    Groups[N++] = static_cast<std::uint8_t>(V & 0x7F);
    V >>= 7;
  } while (V != 0);
  while (N > 1) Out.push_back(static_cast<std::uint8_t>(Groups[--N] | 0x80));
  Out.push_back(Groups[0]);
}

void PutBig(std::vector<std::uint8_t>& Out, std::uint32_t V, int Bytes) {
  for (int I = Bytes - 1; I >= 0; --I) Out.push_back(static_cast<std::uint8_t>((V >> (8 * I)) & 0xFF));
}

int Key(const std::string& Pitch, const std::string& Item) {
  if (std::isdigit(static_cast<unsigned char>(Pitch[0]))) {
    const int K = std::stoi(Pitch);
    if (K < 0 || K > 127) throw EMidiText("key out of range in \"" + Item + "\"");
    return K;
  }
  static const int Steps[7] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
  const char Letter = static_cast<char>(std::toupper(static_cast<unsigned char>(Pitch[0])));
  if (Letter < 'A' || Letter > 'G') throw EMidiText("no note \"" + Item + "\"");
  int Semitone = Steps[Letter - 'A'];
  std::size_t P = 1;
  if (P < Pitch.size() && Pitch[P] == '#') {
    ++Semitone;
    ++P;
  } else if (P < Pitch.size() && Pitch[P] == 'b') {
    --Semitone;
    ++P;
  }
  if (P >= Pitch.size() || !std::isdigit(static_cast<unsigned char>(Pitch[P]))) {
    throw EMidiText("no octave in \"" + Item + "\"");
  }
  const int K = (std::stoi(Pitch.substr(P)) + 1) * 12 + Semitone;
  if (K < 0 || K > 127) throw EMidiText("key out of range in \"" + Item + "\"");
  return K;
}

std::vector<TEvent> TrackEvents(const TMidiTrack& Track) {
  std::vector<TEvent> Events;
  const auto Status = [&](int Kind) { return static_cast<std::uint8_t>(Kind | Track.Channel); };
  Events.push_back({0, 0, {Status(0xC0), static_cast<std::uint8_t>(Track.Program)}});
  Events.push_back({0, 0, {Status(0xB0), 7, static_cast<std::uint8_t>(Track.Volume)}});
  Events.push_back({0, 0, {Status(0xB0), 10, static_cast<std::uint8_t>(Track.Pan)}});
  std::uint32_t Tick = 0;
  std::size_t P = 0;
  const std::string& S = Track.Notes;
  while (P < S.size()) {
    while (P < S.size() && (S[P] == ' ' || S[P] == '\n' || S[P] == '|')) ++P;
    if (P >= S.size()) break;
    std::size_t End = P;
    while (End < S.size() && S[End] != ' ' && S[End] != '\n' && S[End] != '|') ++End;
    const std::string Item = S.substr(P, End - P);
    P = End;
    const std::size_t Slash = Item.find('/');
    if (Slash == std::string::npos || Slash == 0 || Slash + 1 >= Item.size()) {
      throw EMidiText("no length in \"" + Item + "\"");
    }
    const int Sixteenths = std::stoi(Item.substr(Slash + 1));
    if (Sixteenths <= 0) throw EMidiText("bad length in \"" + Item + "\"");
    const auto Length = static_cast<std::uint32_t>(Sixteenths * TicksPerSixteenth);
    const std::string Pitches = Item.substr(0, Slash);
    if (Pitches != "R") {
      const auto Gate = std::max<std::uint32_t>(1, Length * static_cast<std::uint32_t>(Track.GatePercent) / 100);
      std::size_t Q = 0;
      while (Q <= Pitches.size()) {
        std::size_t Plus = Pitches.find('+', Q);
        if (Plus == std::string::npos) Plus = Pitches.size();
        const std::string Pitch = Pitches.substr(Q, Plus - Q);
        if (Pitch.empty()) throw EMidiText("empty note in \"" + Item + "\"");
        const auto K = static_cast<std::uint8_t>(Key(Pitch, Item));
        Events.push_back({Tick, 1, {Status(0x90), K, static_cast<std::uint8_t>(Track.Velocity)}});
        Events.push_back({Tick + Gate, 0, {Status(0x80), K, 0}});
        Q = Plus + 1;
      }
    }
    Tick += Length;
  }
  std::stable_sort(Events.begin(), Events.end(), [](const TEvent& A, const TEvent& B) {
    return A.Tick != B.Tick ? A.Tick < B.Tick : A.Order < B.Order;
  });
  return Events;
}

std::vector<std::uint8_t> Chunk(const char* Id, const std::vector<std::uint8_t>& Body) {
  std::vector<std::uint8_t> Out(Id, Id + 4);
  PutBig(Out, static_cast<std::uint32_t>(Body.size()), 4);
  Out.insert(Out.end(), Body.begin(), Body.end());
  return Out;
}

void PutMetaText(std::vector<std::uint8_t>& Out, std::uint8_t Kind, const std::string& Text) {
  Out.push_back(0);
  Out.push_back(0xFF);
  Out.push_back(Kind);
  PutVarLen(Out, static_cast<std::uint32_t>(Text.size()));
  Out.insert(Out.end(), Text.begin(), Text.end());
}

void PutEndOfTrack(std::vector<std::uint8_t>& Out, std::uint32_t Delta) {
  PutVarLen(Out, Delta);
  Out.push_back(0xFF);
  Out.push_back(0x2F);
  Out.push_back(0);
}

}  // namespace

std::vector<std::uint8_t> MidiFileImage(const TMidiTune& Tune) {
  std::vector<std::uint8_t> File;
  std::vector<std::uint8_t> Header;
  PutBig(Header, 1, 2);  // format 1: one conductor track, then the instruments
  PutBig(Header, static_cast<std::uint32_t>(Tune.Tracks.size() + 1), 2);
  PutBig(Header, TicksPerQuarter, 2);
  File = Chunk("MThd", Header);

  std::vector<std::uint8_t> Conductor;
  PutMetaText(Conductor, 0x03, Tune.Title);
  Conductor.insert(Conductor.end(), {0, 0xFF, 0x51, 3});
  PutBig(Conductor, static_cast<std::uint32_t>(60000000 / Tune.BeatsPerMinute), 3);
  Conductor.insert(Conductor.end(), {0, 0xFF, 0x58, 4, static_cast<std::uint8_t>(Tune.BeatsPerBar), 2, 24, 8});
  PutEndOfTrack(Conductor, 0);
  const std::vector<std::uint8_t> ConductorChunk = Chunk("MTrk", Conductor);
  File.insert(File.end(), ConductorChunk.begin(), ConductorChunk.end());

  for (const TMidiTrack& Track : Tune.Tracks) {
    std::vector<std::uint8_t> Body;
    PutMetaText(Body, 0x03, Track.Name);
    std::uint32_t Last = 0;
    for (const TEvent& E : TrackEvents(Track)) {
      PutVarLen(Body, E.Tick - Last);
      Last = E.Tick;
      Body.insert(Body.end(), E.Bytes.begin(), E.Bytes.end());
    }
    PutEndOfTrack(Body, static_cast<std::uint32_t>(TicksPerQuarter));
    const std::vector<std::uint8_t> TrackChunk = Chunk("MTrk", Body);
    File.insert(File.end(), TrackChunk.begin(), TrackChunk.end());
  }
  return File;
}
