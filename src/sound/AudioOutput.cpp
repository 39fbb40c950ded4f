#include "sound/AudioOutput.h"

#include <algorithm>

TAudioOutput& TAudioOutput::Instance() {
  static TAudioOutput Output;
  return Output;
}

TAudioOutput::~TAudioOutput() { Close(); }

bool TAudioOutput::Open(std::unique_ptr<TAudioDevice> Device, std::string& Error) {
  Close();
  if (!Device) {
    Error = "no audio device";
    return false;
  }
  // The device may call Render at once from its own thread, so no lock is held here.
  if (!Device->Start([this](float* Frames, int FrameCount) { Render(Frames, FrameCount); }, Error)) {
    return false;
  }
  std::lock_guard Lock(FDeviceMutex);
  FDevice = std::move(Device);
  FOpen.store(true);
  return true;
}

void TAudioOutput::Close() {
  std::unique_ptr<TAudioDevice> Device;
  {
    std::lock_guard Lock(FDeviceMutex);
    Device = std::move(FDevice);
    FOpen.store(false);
  }
  // Stopping waits for a Render in progress, which takes FMutex: never hold it here.
  if (Device) Device->Stop();
}

void TAudioOutput::AddSource(TAudioSource* Source) {
  if (!Source) return;
  std::lock_guard Lock(FMutex);
  if (std::find(FSources.begin(), FSources.end(), Source) == FSources.end()) FSources.push_back(Source);
}

void TAudioOutput::RemoveSource(TAudioSource* Source) {
  std::lock_guard Lock(FMutex);
  FSources.erase(std::remove(FSources.begin(), FSources.end(), Source), FSources.end());
}

void TAudioOutput::Render(float* Frames, int FrameCount) {
  if (!Frames || FrameCount <= 0) return;
  const std::size_t Count = static_cast<std::size_t>(FrameCount) * AudioChannels;
  std::fill(Frames, Frames + Count, 0.0f);
  std::lock_guard Lock(FMutex);
  for (TAudioSource* Source : FSources) Source->MixInto(Frames, FrameCount);
  for (std::size_t I = 0; I < Count; ++I) Frames[I] = std::clamp(Frames[I], -1.0f, 1.0f);
}
