#pragma once
// The sound card: the program's sound output (sound/AudioOutput.h) played through the default
// audio device of the system, 44100 Hz stereo floats, the frames pulled from the mixer on the
// audio thread. Opened once at start-up; without a device the game runs silent and the log
// says why, never a message box.
#include <cstdint>
#include <string>

#include "sound/AudioOutput.h"

class TSdlAudioDevice : public TAudioDevice {
public:
  TSdlAudioDevice() = default;
  ~TSdlAudioDevice() override;

  bool Start(TAudioRender Render, std::string& Error) override;
  void Stop() override;

private:
  static void Callback(void* UserData, std::uint8_t* Stream, int Length);

  TAudioRender FRender;
  std::uint32_t FDevice = 0;
  bool FInitialised = false;
};

// Opens the sound output on the default device; false, logged, when there is none.
bool OpenGameAudio();
// Closes it at program end.
void CloseGameAudio();
