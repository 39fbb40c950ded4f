#include "Tunes.h"

namespace {

// General MIDI instruments and drum keys used below.
constexpr int Trumpet = 56;
constexpr int Trombone = 57;
constexpr int Tuba = 58;
constexpr int FrenchHorn = 60;
constexpr int Strings = 48;
constexpr int SlowStrings = 49;
constexpr int Cello = 42;
constexpr int Contrabass = 43;
constexpr int Oboe = 68;
constexpr int Timpani = 47;
constexpr int Drums = 9;

// A march in C for brass band: oom-pah under a trumpet tune, a snare beating time.
TMidiTune March() {
  TMidiTune T{"march.mid", "Brenmoor March", 112, 4, {}};
  T.Tracks.push_back({"Trumpet", 0, Trumpet, 110, 70, 112, 85,
                      "G4/4 C5/3 C5/1 C5/4 E5/4 | D5/4 C5/4 B4/4 G4/4 | A4/4 D5/3 D5/1 D5/4 F5/4 | E5/8 D5/4 R/4 |"
                      "E5/4 G5/3 G5/1 G5/4 E5/4 | F5/4 D5/4 B4/4 G4/4 | C5/4 E5/4 D5/4 B4/4 | C5/12 R/4 |"
                      "A4/4 A4/2 B4/2 C5/4 A4/4 | G4/4 E4/4 G4/8 | F4/4 A4/4 C5/4 F5/4 | E5/8 D5/8 |"
                      "E5/4 E5/2 F5/2 G5/4 E5/4 | D5/4 B4/4 G4/8 | C5/4 G4/4 E5/4 D5/4 | C5/12 R/4"});
  const char* C = "R/4 C4+E4+G4/4 R/4 C4+E4+G4/4 |";
  const char* G = "R/4 B3+D4+G4/4 R/4 B3+D4+G4/4 |";
  const char* Dm = "R/4 D4+F4+A4/4 R/4 D4+F4+A4/4 |";
  const char* Am = "R/4 C4+E4+A4/4 R/4 C4+E4+A4/4 |";
  const char* F = "R/4 C4+F4+A4/4 R/4 C4+F4+A4/4 |";
  std::string Pah;
  for (const char* Bar : {C, G, Dm, G, C, G, C, C, Am, C, F, G, C, G, C, C}) Pah += Bar;
  T.Tracks.push_back({"Trombones", 1, Trombone, 95, 50, 96, 60, Pah});
  const char* BC = "C3/4 R/4 G2/4 R/4 |";
  const char* BG = "G2/4 R/4 D3/4 R/4 |";
  const char* BD = "D3/4 R/4 A2/4 R/4 |";
  const char* BA = "A2/4 R/4 E3/4 R/4 |";
  const char* BF = "F2/4 R/4 C3/4 R/4 |";
  const char* BEnd = "C3/4 R/4 C2/4 R/4 |";
  std::string Oom;
  for (const char* Bar : {BC, BG, BD, BG, BC, BG, BC, BEnd, BA, BC, BF, BG, BC, BG, BC, BEnd}) Oom += Bar;
  T.Tracks.push_back({"Tuba", 2, Tuba, 110, 64, 105, 70, Oom});
  std::string Snare;
  for (int Bar = 0; Bar < 15; ++Bar) Snare += "36/2 38/1 38/1 38/2 38/2 36/2 38/1 38/1 38/4 |";
  Snare += "36+49/4 R/12";
  T.Tracks.push_back({"Drums", Drums, 0, 100, 64, 95, 50, Snare});
  return T;
}

// A slow anthem in F: a horn over sustained strings.
TMidiTune Anthem() {
  TMidiTune T{"anthem.mid", "Anthem of the Free Nations", 76, 4, {}};
  T.Tracks.push_back({"Horn", 0, FrenchHorn, 100, 60, 92, 95,
                      "F4/8 A4/4 C5/4 | D5/8 C5/8 | Bb4/4 A4/4 G4/4 A4/4 | F4/16 |"
                      "A4/8 C5/4 F5/4 | E5/8 D5/4 C5/4 | D5/4 C5/4 Bb4/4 G4/4 | C5/16 |"
                      "D5/8 C5/4 A4/4 | Bb4/8 A4/4 F4/4 | G4/4 A4/4 Bb4/4 G4/4 | A4/8 C5/8 |"
                      "F5/8 E5/4 D5/4 | C5/4 A4/4 Bb4/4 G4/4 | F4/4 A4/4 G4/4 E4/4 | F4/16"});
  T.Tracks.push_back({"Strings", 1, Strings, 64, 44, 64, 100,
                      "F3+A3+C4/16 | Bb3+D4+F4/16 | G3+C4+E4/16 | F3+A3+C4/16 |"
                      "F3+A3+C4/16 | G3+C4+E4/16 | G3+Bb3+D4/16 | G3+C4+E4/16 |"
                      "A3+D4+F4/16 | Bb3+D4+F4/16 | G3+Bb3+D4/16 | A3+C4+F4/16 |"
                      "Bb3+D4+F4/16 | A3+C4+F4/16 | G3+C4+E4/16 | F3+A3+C4/16"});
  T.Tracks.push_back({"Basses", 2, Contrabass, 80, 84, 76, 100,
                      "F2/16 Bb2/16 C3/16 F2/16 F2/16 C3/16 G2/16 C3/16 D3/16 Bb2/16 G2/16 F2/16 Bb2/16 F2/16 C3/16 F2/16"});
  T.Tracks.push_back({"Timpani", 3, Timpani, 80, 64, 85, 60,
                      "F2/4 R/12 | R/16 | R/16 | F2/2 C2/2 F2/4 R/8 | R/16 | R/16 | R/16 | C2/2 C2/2 C2/4 R/8 |"
                      "R/16 | R/16 | R/16 | F2/4 R/12 | R/16 | R/16 | C2/4 C2/4 C2/4 C2/4 | F2/4 R/12"});
  return T;
}

// A lament in A minor, in three: an oboe over quiet strings and a cello.
TMidiTune Lament() {
  TMidiTune T{"lament.mid", "Lament for the Fallen", 63, 3, {}};
  T.Tracks.push_back({"Oboe", 0, Oboe, 115, 70, 110, 95,
                      "A4/4 C5/4 E5/4 | D5/6 C5/2 B4/4 | C5/4 A4/8 | E4/12 |"
                      "F4/4 A4/4 D5/4 | C5/6 B4/2 A4/4 | G#4/4 B4/4 E5/4 | A4/12 |"
                      "C5/4 E5/4 A5/4 | G5/6 F5/2 E5/4 | F5/4 D5/4 B4/4 | C5/8 B4/4 |"
                      "A4/4 C5/4 E5/4 | D5/4 B4/4 G#4/4 | A4/4 B4/4 G#4/4 | A4/12"});
  T.Tracks.push_back({"Strings", 1, SlowStrings, 100, 50, 90, 100,
                      "A3+C4+E4/12 | G3+B3+D4/12 | A3+C4+E4/12 | G#3+B3+E4/12 |"
                      "A3+D4+F4/12 | A3+C4+E4/12 | G#3+B3+E4/12 | A3+C4+E4/12 |"
                      "C4+E4+A4/12 | C4+E4+G4/12 | D4+F4+A4/12 | A3+C4+E4/12 |"
                      "A3+C4+E4/12 | G#3+B3+D4/12 | A3+C4+E4/12 | A3+C4+E4/12"});
  T.Tracks.push_back({"Cello", 2, Cello, 110, 80, 100, 100,
                      "A2/12 G2/12 A2/12 E2/12 D2/12 A2/12 E2/12 A2/12 A2/12 C3/12 D3/12 A2/12 A2/12 E2/12 E2/12 A2/12"});
  return T;
}

}  // namespace

const std::vector<TMidiTune>& Tunes() {
  static const std::vector<TMidiTune> All = {March(), Anthem(), Lament()};
  return All;
}
