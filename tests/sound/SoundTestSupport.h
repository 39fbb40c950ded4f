#pragma once
// What the sound tests share: RIFF images built chunk by chunk, and a fixture whose sound
// output has a device that plays nothing, so a test renders the mixed frames itself.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sound/AudioOutput.h"
#include "sound/SoundLog.h"

using TBytes = std::vector<std::uint8_t>;

inline void PutLE(TBytes& Out, std::uint32_t V, int Bytes) {
  for (int I = 0; I < Bytes; ++I) Out.push_back(static_cast<std::uint8_t>((V >> (8 * I)) & 0xFF));
}

// A chunk: id, the size (or SizeOverride when given), the body, a pad byte when odd.
inline TBytes Chunk(const char* Id, const TBytes& Body, std::int64_t SizeOverride = -1) {
  TBytes Out;
  for (int I = 0; I < 4; ++I) Out.push_back(static_cast<std::uint8_t>(Id[I]));
  PutLE(Out, SizeOverride >= 0 ? static_cast<std::uint32_t>(SizeOverride) : static_cast<std::uint32_t>(Body.size()), 4);
  Out.insert(Out.end(), Body.begin(), Body.end());
  if (Body.size() % 2) Out.push_back(0);
  return Out;
}

inline TBytes Concat(std::initializer_list<TBytes> Parts) {
  TBytes Out;
  for (const TBytes& P : Parts) Out.insert(Out.end(), P.begin(), P.end());
  return Out;
}

inline TBytes Riff(const char* Form, const TBytes& Chunks) {
  TBytes Body;
  for (int I = 0; I < 4; ++I) Body.push_back(static_cast<std::uint8_t>(Form[I]));
  Body.insert(Body.end(), Chunks.begin(), Chunks.end());
  return Chunk("RIFF", Body);
}

inline TBytes FormatBody(std::uint16_t Tag, std::uint16_t Channels, std::uint32_t Rate, std::uint16_t Bits) {
  TBytes B;
  const std::uint16_t Align = static_cast<std::uint16_t>(Channels * Bits / 8);
  PutLE(B, Tag, 2);
  PutLE(B, Channels, 2);
  PutLE(B, Rate, 4);
  PutLE(B, Rate * Align, 4);
  PutLE(B, Align, 2);
  PutLE(B, Bits, 2);
  return B;
}

inline TBytes WaveFile(const TBytes& Samples, std::uint16_t Channels = 1, std::uint32_t Rate = 11025,
                       std::uint16_t Bits = 16) {
  return Riff("WAVE", Concat({Chunk("fmt ", FormatBody(1, Channels, Rate, Bits)), Chunk("data", Samples)}));
}

// Frames of 16-bit samples, the same value in every channel of every frame.
inline TBytes Constant16(int Frames, std::int16_t Value, int Channels = 1) {
  TBytes Out;
  for (int I = 0; I < Frames * Channels; ++I) PutLE(Out, static_cast<std::uint16_t>(Value), 2);
  return Out;
}

class TSilentDevice : public TAudioDevice {
public:
  bool Start(TAudioRender /*Render*/, std::string& /*Error*/) override { return true; }
  void Stop() override {}
};

// The sound output open on a silent device, and the sound log caught.
class TSoundOutputTest : public ::testing::Test {
protected:
  void SetUp() override {
    std::string Error;
    ASSERT_TRUE(TAudioOutput::Instance().Open(std::make_unique<TSilentDevice>(), Error));
    SetSoundLogHook([this](const std::string& Line) { Log.push_back(Line); });
    SetSoundMessageHook([this](const std::string& Text) { Messages.push_back(Text); });
  }
  void TearDown() override {
    TAudioOutput::Instance().Close();
    TAudioOutput::Instance().SetApplicationActive(true);
    SetSoundLogHook(nullptr);
    SetSoundMessageHook(nullptr);
  }
  // Frames interleaved left, right.
  static std::vector<float> Render(int Frames) {
    std::vector<float> Out(static_cast<std::size_t>(Frames) * 2);
    TAudioOutput::Instance().Render(Out.data(), Frames);
    return Out;
  }
  // Frames rendered until the output falls silent (at most Limit).
  static int SoundingFrames(int Limit) {
    int Count = 0;
    for (int Done = 0; Done < Limit; Done += 512) {
      const std::vector<float> Block = Render(512);
      for (std::size_t I = 0; I < Block.size(); I += 2) {
        if (Block[I] != 0.0f || Block[I + 1] != 0.0f) ++Count;
      }
    }
    return Count;
  }

  std::vector<std::string> Log;
  std::vector<std::string> Messages;
};
