#pragma once
// Standard MIDI files played by a software synthesiser with a General MIDI sound font,
// rendered into the program's sound output like every other sound. The sound font is loaded
// on the first Open. Without a sound font or an audio device the music stays silent; the
// missing sound font is said once in the log.
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "sound/AudioOutput.h"
#include "sound/MediaPlayerEx.h"

// The first General MIDI sound font found in the places the system keeps them; empty when
// there is none.
std::string FindSoundFont();

struct TMidiSynthState;

class TMidiPlayer : public TMediaPlayer, public TAudioSource {
public:
  explicit TMidiPlayer(std::string SoundFont = FindSoundFont());
  ~TMidiPlayer() override;

  // Raises EMediaPlayer: "No audio device", "No sound font", or "Cannot open <file>" for a file
  // that is not a standard MIDI file.
  void Open() override;
  void Play() override;
  // Silences every note at once.
  void Stop() override;
  void Close() override;
  bool IsPlaying() override;

  void MixInto(float* Frames, int FrameCount) override;

private:
  bool LoadSynth();

  std::mutex FMutex;  // guards the synthesiser against the output's thread
  std::unique_ptr<TMidiSynthState> FState;
  std::string FSoundFont;
  bool FSynthFailed = false;
  std::vector<float> FLeft;
  std::vector<float> FRight;
};
