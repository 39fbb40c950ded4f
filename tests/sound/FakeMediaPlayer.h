#pragma once
// A music device for tests of the jukebox and of the windows that play music: it records what
// it was asked to do and plays nothing.
#include <filesystem>
#include <string>
#include <vector>

#include "sound/MediaPlayerEx.h"

// A player that records what it was asked to do; a file named "broken.mid" cannot be opened.
class TFakePlayer : public TMediaPlayer {
public:
  struct TState {
    std::vector<std::string> Played;
    std::vector<std::string> Calls;
    bool Playing = false;
  };
  explicit TFakePlayer(TState& State) : S(State) {}
  void Open() override {
    S.Calls.push_back("open " + std::filesystem::path(FileName()).filename().string());
    if (FileName().find("broken") != std::string::npos) throw EMediaPlayer("Cannot open " + FileName());
  }
  void Play() override {
    S.Calls.push_back("play");
    S.Played.push_back(FileName());
    S.Playing = true;
  }
  void Stop() override {
    S.Calls.push_back("stop");
    S.Playing = false;
  }
  void Close() override { S.Calls.push_back("close"); }
  bool IsPlaying() override { return S.Playing; }

private:
  TState& S;
};
