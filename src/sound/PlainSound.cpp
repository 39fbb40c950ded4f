#include "sound/PlainSound.h"

#include <chrono>
#include <memory>
#include <mutex>
#include <thread>

#include "sound/DSound.h"
#include "sound/Wave.h"

namespace {

struct TPlainPlayer {
  std::mutex Mutex;
  std::unique_ptr<TDirectSound> Sound;
  std::unique_ptr<TDirectSoundBuffer> Buffer;
};

TPlainPlayer& Player() {
  // The output first, so that it outlives the player's sound object at program end.
  TAudioOutput::Instance();
  static TPlainPlayer P;
  return P;
}

}  // namespace

bool PlaySoundMemory(const std::uint8_t* Image, std::size_t Size, std::uint32_t Flags) {
  TPlainPlayer& P = Player();
  std::unique_lock Lock(P.Mutex);
  P.Buffer.reset();
  if (!Image) return true;
  if (!TAudioOutput::Instance().IsOpen()) return false;
  TWaveImageInfo Info;
  try {
    Info = ParseWaveImage(Image, Size);
  } catch (const EWave&) {
    return false;
  }
  if (!P.Sound && DirectSoundCreate(P.Sound) != DS_OK) return false;
  P.Sound->SetCooperativeLevel(DSSCL_NORMAL);
  TDSBufferDesc Desc;
  Desc.Flags = DSBCAPS_STATIC | DSBCAPS_GLOBALFOCUS;
  Desc.BufferBytes = Info.DataSize;
  Desc.Format = &Info.Format;
  std::unique_ptr<TDirectSoundBuffer> Buffer;
  if (P.Sound->CreateSoundBuffer(Desc, Buffer) != DS_OK) return false;
  Buffer->Write(0, Image + Info.DataOffset, Info.DataSize);
  const bool Loop = (Flags & SND_LOOP) != 0;
  Buffer->Play(Loop ? DSBPLAY_LOOPING : 0);
  P.Buffer = std::move(Buffer);
  if ((Flags & SND_ASYNC) != 0 || Loop) return true;

  // Waits for the end, but no longer than the sound lasts and a second more.
  const auto Frames = Info.DataSize / Info.Format.BlockAlign;
  const auto Deadline = std::chrono::steady_clock::now() +
                        std::chrono::milliseconds(1000 + 1000ULL * Frames / Info.Format.SamplesPerSec);
  const TDirectSoundBuffer* Playing = P.Buffer.get();
  Lock.unlock();
  while (std::chrono::steady_clock::now() < Deadline) {
    {
      std::lock_guard Again(P.Mutex);
      if (P.Buffer.get() != Playing) break;
      std::uint32_t Status = 0;
      P.Buffer->GetStatus(Status);
      if ((Status & DSBSTATUS_PLAYING) == 0) break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

bool PlainSoundPlaying() {
  TPlainPlayer& P = Player();
  std::lock_guard Lock(P.Mutex);
  if (!P.Buffer) return false;
  std::uint32_t Status = 0;
  P.Buffer->GetStatus(Status);
  return (Status & DSBSTATUS_PLAYING) != 0;
}
