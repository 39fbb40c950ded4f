#include "sound/Wave.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>

#include "sound/PlainSound.h"

namespace {

std::uint32_t ReadLE32(const std::uint8_t* P) {
  return static_cast<std::uint32_t>(P[0]) | (static_cast<std::uint32_t>(P[1]) << 8) |
         (static_cast<std::uint32_t>(P[2]) << 16) | (static_cast<std::uint32_t>(P[3]) << 24);
}

std::uint16_t ReadLE16(const std::uint8_t* P) { return static_cast<std::uint16_t>(P[0] | (P[1] << 8)); }

bool IsId(const std::uint8_t* P, const char* Id) { return std::memcmp(P, Id, 4) == 0; }

struct TChunk {
  std::size_t Body = 0;        // first byte after the chunk's header
  std::uint32_t Size = 0;      // as its header says
  std::uint64_t Next = 0;      // where the next chunk begins (word aligned)
};

// The first chunk with the given id between From and End; chunk sizes are taken as 64-bit
// sums so no header can wrap the walk around.
bool FindChunk(const std::uint8_t* Image, std::uint64_t From, std::uint64_t End, const char* Id, TChunk& Chunk) {
  std::uint64_t P = From;
  while (P + 8 <= End) {
    const std::uint32_t Size = ReadLE32(Image + P + 4);
    const std::uint64_t Next = P + 8 + Size + (Size & 1U);
    if (IsId(Image + P, Id)) {
      Chunk.Body = static_cast<std::size_t>(P + 8);
      Chunk.Size = Size;
      Chunk.Next = Next;
      return true;
    }
    P = Next;
  }
  return false;
}

std::mutex& FolderMutex() {
  static std::mutex M;
  return M;
}

std::string& ResourceFolder() {
  static std::string Folder;
  return Folder;
}

std::string LowerCase(std::string S) {
  for (char& C : S) {
    if (C >= 'A' && C <= 'Z') C = static_cast<char>(C - 'A' + 'a');
  }
  return S;
}

std::vector<std::uint8_t> ReadWholeFile(const std::string& FileName) {
  std::ifstream File(FileName, std::ios::binary);
  if (!File || std::filesystem::is_directory(FileName)) throw EWave("Cannot open file \"" + FileName + "\"");
  std::vector<std::uint8_t> Bytes((std::istreambuf_iterator<char>(File)), std::istreambuf_iterator<char>());
  if (File.bad()) throw EWave("Cannot read file \"" + FileName + "\"");
  return Bytes;
}

}  // namespace

TWaveImageInfo ParseWaveImage(const std::uint8_t* Image, std::size_t Size) {
  if (!Image || Size == 0) throw EWave("Could not open Wave File");
  // The RIFF chunk of form type "WAVE" among the chunks at the top of the image.
  std::uint64_t P = 0;
  std::uint64_t RiffBody = 0;
  std::uint64_t RiffEnd = 0;
  bool Found = false;
  while (P + 8 <= Size) {
    const std::uint32_t ChunkSize = ReadLE32(Image + P + 4);
    const std::uint64_t End = P + 8 + ChunkSize;
    if (IsId(Image + P, "RIFF") && ChunkSize >= 4 && P + 12 <= Size && IsId(Image + P + 8, "WAVE")) {
      RiffBody = P + 12;
      RiffEnd = std::min<std::uint64_t>(End, Size);
      Found = true;
      break;
    }
    P = End + (ChunkSize & 1U);
  }
  if (!Found) throw EWave("Not a valid Wave File");

  TChunk Format;
  if (!FindChunk(Image, RiffBody, RiffEnd, "fmt ", Format)) throw EWave("Wave format chunk not found");
  if (Format.Size < 16 || Format.Body + static_cast<std::uint64_t>(Format.Size) > Size) {
    throw EWave("Read of format chunk failed");
  }
  TWaveImageInfo Info;
  const std::uint8_t* F = Image + Format.Body;
  Info.Format.FormatTag = ReadLE16(F);
  Info.Format.Channels = ReadLE16(F + 2);
  Info.Format.SamplesPerSec = ReadLE32(F + 4);
  Info.Format.AvgBytesPerSec = ReadLE32(F + 8);
  Info.Format.BlockAlign = ReadLE16(F + 12);
  Info.Format.BitsPerSample = ReadLE16(F + 14);
  if (Info.Format.FormatTag != WAVE_FORMAT_PCM) throw EWave("The specified wave format is not supported.");

  // The data chunk is looked for after the format chunk, as the game's files have it.
  TChunk Data;
  if (!FindChunk(Image, Format.Next, RiffEnd, "data", Data)) throw EWave("Wave data chunk not found");
  Info.DataOffset = Data.Body;
  Info.DataSize = static_cast<std::uint32_t>(std::min<std::uint64_t>(Data.Size, Size - Data.Body));
  return Info;
}

void SetWaveResourceFolder(const std::string& Folder) {
  std::lock_guard Lock(FolderMutex());
  ResourceFolder() = Folder;
}

std::string WaveResourceFolder() {
  {
    std::lock_guard Lock(FolderMutex());
    if (!ResourceFolder().empty()) return ResourceFolder();
  }
  std::error_code Error;
  const std::filesystem::path Program = std::filesystem::read_symlink("/proc/self/exe", Error);
  if (Error) return "sounds";
  return (Program.parent_path() / "sounds").string();
}

// ---- TWave ----

TWave::~TWave() { ClearWaveData(); }

void TWave::ClearWaveData() {
  WaveDataChanging();
  FImage.clear();
  FImage.shrink_to_fit();
  FData = nullptr;
  FWaveSize = 0;
  FAvgBytesPerSecond = 0;
  FBitsPerSample = 0;
  FBlockAlign = 0;
  FChannels = 0;
  FSamplesPerSecond = 0;
}

void TWave::ParseImage() {
  TWaveImageInfo Info;
  try {
    Info = ParseWaveImage(FImage.data(), FImage.size());
  } catch (const EWave&) {
    // A refused image leaves nothing behind: no data, no format.
    ClearWaveData();
    throw;
  }
  FChannels = Info.Format.Channels;
  FSamplesPerSecond = Info.Format.SamplesPerSec;
  FAvgBytesPerSecond = Info.Format.AvgBytesPerSec;
  FBlockAlign = Info.Format.BlockAlign;
  FBitsPerSample = Info.Format.BitsPerSample;
  FWaveSize = Info.DataSize;
  FData = FImage.data() + Info.DataOffset;
}

void TWave::LoadFromImage(std::vector<std::uint8_t> Image) {
  ClearWaveData();
  FImage = std::move(Image);
  ParseImage();
}

void TWave::LoadFromFile(const std::string& FileName) {
  ClearWaveData();
  LoadFromImage(ReadWholeFile(FileName));
}

void TWave::LoadFromResourceName(const std::string& Name) {
  ClearWaveData();
  const std::string Wanted = LowerCase(Name + ".wav");
  std::error_code Error;
  for (const auto& Entry : std::filesystem::directory_iterator(WaveResourceFolder(), Error)) {
    if (LowerCase(Entry.path().filename().string()) == Wanted && Entry.is_regular_file(Error)) {
      LoadFromImage(ReadWholeFile(Entry.path().string()));
      return;
    }
  }
  throw EWave("Resource " + Name + " not found");
}

void TWave::ReadWaveData(const std::vector<std::uint8_t>& Stream) {
  ClearWaveData();
  if (Stream.size() < 4) throw EWave("Stream read error");
  const auto Size = static_cast<std::int32_t>(ReadLE32(Stream.data()));
  if (Size < 1) return;
  if (Stream.size() - 4 < static_cast<std::size_t>(Size)) throw EWave("Stream read error");
  LoadFromImage(std::vector<std::uint8_t>(Stream.begin() + 4, Stream.begin() + 4 + Size));
}

std::vector<std::uint8_t> TWave::WriteWaveData() const {
  const auto Size = static_cast<std::uint32_t>(FImage.size());
  std::vector<std::uint8_t> Stream(4 + FImage.size());
  for (int I = 0; I < 4; ++I) Stream[static_cast<std::size_t>(I)] = static_cast<std::uint8_t>(Size >> (8 * I));
  std::copy(FImage.begin(), FImage.end(), Stream.begin() + 4);
  return Stream;
}

TWaveFormat TWave::GetWaveFormat() const {
  return {WAVE_FORMAT_PCM, FChannels, FSamplesPerSecond, FAvgBytesPerSecond, FBlockAlign, FBitsPerSample, 0};
}

void TWave::Play() {
  if (!HasWaveData()) return;
  PlaySoundMemory(FImage.data(), FImage.size(), SND_MEMORY | SND_NODEFAULT | (FSynchronous ? SND_SYNC : SND_ASYNC));
}

void TWave::PlayLoop() {
  if (!HasWaveData()) return;
  PlaySoundMemory(FImage.data(), FImage.size(), SND_MEMORY | SND_NODEFAULT | SND_ASYNC | SND_LOOP);
}

void TWave::SetHasWaveData(bool Value) {
  if (Value != HasWaveData() && !Value) ClearWaveData();
}

void TWave::SetTestWave(bool Value) {
  FTestWave = false;
  if (Value) Play();
}

void TWave::SetWaveLoadFile(const std::string& FileName) {
  FWaveLoadFile = FileName;
  LoadFromFile(FileName);
}
