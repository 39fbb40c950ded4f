#pragma once
// The game's music player: a jukebox that plays the "*.MID" files of one folder in random
// order, never a file twice until every file of the folder has been played. The main window
// points it at the music folder and, every few seconds while the music switch is on, asks it
// to play the next piece when nothing is playing.
#include <memory>
#include <string>
#include <vector>

#include "foundation/Exception.h"
#include "foundation/Random.h"

class EMediaPlayer : public EBrenmoor {
public:
  using EBrenmoor::EBrenmoor;
};

// A player of one media file at a time: set the file name, open, play; stop and close.
class TMediaPlayer {
public:
  virtual ~TMediaPlayer() = default;

  const std::string& FileName() const { return FFileName; }
  void SetFileName(const std::string& Value) { FFileName = Value; }

  // Raises EMediaPlayer when the file cannot be played.
  virtual void Open() = 0;
  virtual void Play() = 0;
  virtual void Stop() = 0;
  virtual void Close() = 0;
  virtual bool IsPlaying() = 0;

private:
  std::string FFileName;
};

class TMediaPlayerEx : public TMediaPlayer {
public:
  // Plays through Device; without one, through the MIDI player of sound/MidiPlayer.h.
  explicit TMediaPlayerEx(std::unique_ptr<TMediaPlayer> Device = nullptr);
  ~TMediaPlayerEx() override;

  // The music folder, kept without one trailing separator ("/" or "\").
  const std::string& Directory() const { return FDirectory; }
  void SetDirectory(const std::string& Value);
  // The draws come from this generator (the game's effects generator); until it is set, from
  // one of the player's own.
  void SetRandomGenerator(TRandomGenerator* Random) { FRandom = Random; }

  // Stops and closes what is playing, then opens and plays Name; any failure on the way just
  // ends the call.
  void PlayFile(const std::string& Name);
  // Nothing while a piece plays (once the jukebox has started); otherwise PlayRandomMidi.
  void PlayNextIfIdle();
  // A random file of those not yet played in this cycle, refilling the list from the folder
  // when it is empty. A folder without music files plays nothing and says so once in the log.
  void PlayRandomMidi();

  // The files left in the current cycle, in the order the folder listed them.
  const std::vector<std::string>& FileList() const { return FFileList; }

  void Open() override;
  void Play() override;
  void Stop() override;
  void Close() override;
  bool IsPlaying() override;

private:
  void RefillFileList();

  std::unique_ptr<TMediaPlayer> FDevice;
  std::string FDirectory;
  std::vector<std::string> FFileList;
  bool FStarted = false;
  bool FToldNoFiles = false;
  TRandomGenerator FOwnRandom;
  TRandomGenerator* FRandom = nullptr;
};
