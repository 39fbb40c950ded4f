#pragma once
// One wave sound in memory: the whole RIFF WAVE image with its format read out of it. It can
// play itself through the plain sound player (sound/PlainSound.h); the sound buffer
// (sound/WaveMixer.h) plays it through the mixer with volume, pan and rate instead.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "foundation/Exception.h"
#include "sound/DSound.h"
#include "sound/SoundComponent.h"

class EWave : public EBrenmoor {
public:
  using EBrenmoor::EBrenmoor;
};

// Where a RIFF WAVE image keeps its samples.
struct TWaveImageInfo {
  TWaveFormat Format;
  std::size_t DataOffset = 0;  // first sample byte
  std::uint32_t DataSize = 0;  // sample bytes, never past the end of the image
};

// Walks the chunks of a RIFF WAVE image; raises EWave with the game's texts. The format chunk
// must hold at least the 16 bytes of a PCM format and say PCM; a data chunk that claims more
// bytes than follow is cut to what is there.
TWaveImageInfo ParseWaveImage(const std::uint8_t* Image, std::size_t Size);

// The folder in which LoadFromResourceName finds "<name>.wav" (the name matched without regard
// to case). Until it is set: the "sounds" folder beside the program.
void SetWaveResourceFolder(const std::string& Folder);
std::string WaveResourceFolder();

class TWave : public TSoundComponent {
public:
  TWave() = default;
  ~TWave() override;

  // Frees the image and zeroes the format, the sizes and the data.
  void ClearWaveData();
  // Reads the whole file as the image and parses it; a missing file raises EWave
  // "Cannot open file "<name>"".
  virtual void LoadFromFile(const std::string& FileName);
  // The wave "<name>.wav" of the resource folder; a missing one raises "Resource <name> not found".
  virtual void LoadFromResourceName(const std::string& Name);
  // The image itself (a copy), parsed. Not a stored form of its own: what the others end in.
  void LoadFromImage(std::vector<std::uint8_t> Image);

  // The stored property "WaveData": a 32-bit little-endian image size, then that many bytes of
  // the image; a size below 1 means no data and nothing follows. A stream shorter than it says
  // raises "Stream read error".
  void ReadWaveData(const std::vector<std::uint8_t>& Stream);
  std::vector<std::uint8_t> WriteWaveData() const;

  TWaveFormat GetWaveFormat() const;

  // With data: plays it through the plain sound player, waiting for the end when Synchronous.
  virtual void Play();
  // With data: plays it through the plain sound player over and over.
  virtual void PlayLoop();

  bool HasWaveData() const { return FData != nullptr; }
  virtual void SetHasWaveData(bool Value);
  // The first sample byte inside the image; nullptr without data.
  const std::uint8_t* WaveData() const { return FData; }
  std::uint32_t WaveSize() const { return FWaveSize; }
  std::uint32_t AvgBytesPerSecond() const { return FAvgBytesPerSecond; }
  std::uint16_t BitsPerSample() const { return FBitsPerSample; }
  std::uint16_t BlockAlign() const { return FBlockAlign; }
  std::uint16_t Channels() const { return FChannels; }
  std::uint32_t SamplesPerSecond() const { return FSamplesPerSecond; }
  std::size_t ImageSize() const { return FImage.size(); }

  bool Synchronous() const { return FSynchronous; }
  void SetSynchronous(bool Value) { FSynchronous = Value; }
  // Design aids: writing True plays the sound; writing a name loads that file.
  bool TestWave() const { return FTestWave; }
  void SetTestWave(bool Value);
  const std::string& WaveLoadFile() const { return FWaveLoadFile; }
  void SetWaveLoadFile(const std::string& FileName);

protected:
  // The wave data is about to change or go; the sound buffer lets its mixer buffer go here.
  virtual void WaveDataChanging() {}

private:
  void ParseImage();

  std::vector<std::uint8_t> FImage;
  const std::uint8_t* FData = nullptr;
  std::uint32_t FWaveSize = 0;
  std::uint32_t FAvgBytesPerSecond = 0;
  std::uint16_t FBitsPerSample = 0;
  std::uint16_t FBlockAlign = 0;
  std::uint16_t FChannels = 0;
  std::uint32_t FSamplesPerSecond = 0;
  bool FTestWave = false;
  bool FSynchronous = false;
  std::string FWaveLoadFile;
};
