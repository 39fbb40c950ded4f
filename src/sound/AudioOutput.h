#pragma once
// The program's one sound output. Every source of sound (the mixer's buffers, the plain sound
// player, the music) adds its samples into one float buffer of interleaved stereo frames at
// 44100 Hz, and the audio device that the platform gives plays it. The device pulls the frames
// by calling Render, usually from a thread of its own, so each source guards its own state.
// Without a device (no sound card) nothing is rendered and the game runs silent.
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

inline constexpr int AudioSampleRate = 44100;
inline constexpr int AudioChannels = 2;

class TAudioSource {
public:
  virtual ~TAudioSource() = default;
  // Adds FrameCount interleaved stereo frames into Frames.
  virtual void MixInto(float* Frames, int FrameCount) = 0;
};

using TAudioRender = std::function<void(float* Frames, int FrameCount)>;

class TAudioDevice {
public:
  virtual ~TAudioDevice() = default;
  // Starts playing the frames that Render fills (44100 Hz, stereo, floats in -1..1); false
  // with the reason when there is no output to be had.
  virtual bool Start(TAudioRender Render, std::string& Error) = 0;
  // After it returns, Render is not called again.
  virtual void Stop() = 0;
};

class TAudioOutput {
public:
  static TAudioOutput& Instance();

  TAudioOutput() = default;
  TAudioOutput(const TAudioOutput&) = delete;
  TAudioOutput& operator=(const TAudioOutput&) = delete;
  ~TAudioOutput();

  // Closes any device, then starts this one; false (and no device) with the reason when it
  // cannot play.
  bool Open(std::unique_ptr<TAudioDevice> Device, std::string& Error);
  void Close();
  bool IsOpen() const { return FOpen.load(); }

  void AddSource(TAudioSource* Source);
  // After it returns the source is not being mixed and will not be again.
  void RemoveSource(TAudioSource* Source);

  // Fills FrameCount frames: silence, plus every source, clipped to -1..1.
  void Render(float* Frames, int FrameCount);

  // Whether the program is the active application; sounds that mute on deactivation render
  // silence while it is not. The windows set it; it is true until they do.
  bool ApplicationActive() const { return FApplicationActive.load(); }
  void SetApplicationActive(bool Value) { FApplicationActive.store(Value); }

private:
  std::mutex FMutex;  // guards FSources and each Render
  std::vector<TAudioSource*> FSources;
  std::mutex FDeviceMutex;  // guards FDevice
  std::unique_ptr<TAudioDevice> FDevice;
  std::atomic<bool> FOpen{false};
  std::atomic<bool> FApplicationActive{true};
};
