#include "platform/AudioDevice.h"

#include <SDL.h>

#include <cstring>
#include <memory>

#include "sound/SoundLog.h"

TSdlAudioDevice::~TSdlAudioDevice() { Stop(); }

bool TSdlAudioDevice::Start(TAudioRender Render, std::string& Error) {
  Stop();
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    Error = SDL_GetError();
    return false;
  }
  FInitialised = true;
  FRender = std::move(Render);
  SDL_AudioSpec Wanted{};
  Wanted.freq = AudioSampleRate;
  Wanted.format = AUDIO_F32SYS;
  Wanted.channels = AudioChannels;
  Wanted.samples = 1024;
  Wanted.callback = &TSdlAudioDevice::Callback;
  Wanted.userdata = this;
  SDL_AudioSpec Obtained{};
  // No changes allowed: the library converts to whatever the card wants.
  FDevice = SDL_OpenAudioDevice(nullptr, 0, &Wanted, &Obtained, 0);
  if (FDevice == 0) {
    Error = SDL_GetError();
    Stop();
    return false;
  }
  SDL_PauseAudioDevice(FDevice, 0);
  return true;
}

void TSdlAudioDevice::Stop() {
  if (FDevice != 0) {
    // Waits for a callback in progress; none runs after it.
    SDL_CloseAudioDevice(FDevice);
    FDevice = 0;
  }
  if (FInitialised) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    FInitialised = false;
  }
  FRender = nullptr;
}

void TSdlAudioDevice::Callback(void* UserData, std::uint8_t* Stream, int Length) {
  auto* Device = static_cast<TSdlAudioDevice*>(UserData);
  const int Frames = Length / static_cast<int>(sizeof(float) * AudioChannels);
  if (Device->FRender) {
    Device->FRender(reinterpret_cast<float*>(Stream), Frames);
  } else {
    std::memset(Stream, 0, static_cast<std::size_t>(Length));
  }
}

bool OpenGameAudio() {
  std::string Error;
  if (TAudioOutput::Instance().Open(std::make_unique<TSdlAudioDevice>(), Error)) return true;
  SoundLog("Failed to Load DirectSound Library (" + Error + "): the game runs without sound");
  return false;
}

void CloseGameAudio() { TAudioOutput::Instance().Close(); }
