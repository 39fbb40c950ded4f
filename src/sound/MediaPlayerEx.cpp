#include "sound/MediaPlayerEx.h"

#include <algorithm>
#include <chrono>
#include <filesystem>

#include "sound/MidiPlayer.h"
#include "sound/SoundLog.h"

namespace {

bool IsMidiName(const std::string& Name) {
  if (Name.size() < 4) return false;
  std::string Tail = Name.substr(Name.size() - 4);
  for (char& C : Tail) {
    if (C >= 'a' && C <= 'z') C = static_cast<char>(C - 'a' + 'A');
  }
  return Tail == ".MID";
}

}  // namespace

TMediaPlayerEx::TMediaPlayerEx(std::unique_ptr<TMediaPlayer> Device)
    : FDevice(Device ? std::move(Device) : std::make_unique<TMidiPlayer>()),
      FOwnRandom(static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count())) {}

TMediaPlayerEx::~TMediaPlayerEx() = default;

void TMediaPlayerEx::SetDirectory(const std::string& Value) {
  FDirectory = Value;
  if (!FDirectory.empty() && (FDirectory.back() == '/' || FDirectory.back() == '\\')) FDirectory.pop_back();
}

void TMediaPlayerEx::Open() {
  FDevice->SetFileName(FileName());
  FDevice->Open();
}

void TMediaPlayerEx::Play() { FDevice->Play(); }
void TMediaPlayerEx::Stop() { FDevice->Stop(); }
void TMediaPlayerEx::Close() { FDevice->Close(); }
bool TMediaPlayerEx::IsPlaying() { return FDevice->IsPlaying(); }

void TMediaPlayerEx::PlayFile(const std::string& Name) {
  try {
    if (IsPlaying()) {
      Stop();
      Close();
    }
    SetFileName(Name);
    Open();
    Play();
  } catch (const std::exception&) {
    // A piece that cannot be played is skipped; the next call tries another.
  }
}

void TMediaPlayerEx::PlayNextIfIdle() {
  if (FStarted && IsPlaying()) return;
  PlayRandomMidi();
}

void TMediaPlayerEx::RefillFileList() {
  const std::string Folder = FDirectory + "/";
  std::vector<std::string> Names;
  std::error_code Error;
  for (const auto& Entry : std::filesystem::directory_iterator(Folder, Error)) {
    const std::string Name = Entry.path().filename().string();
    if (IsMidiName(Name) && !Entry.is_directory(Error)) Names.push_back(Name);
  }
  // The folder's own order differs between file systems; by name it is the same everywhere.
  std::sort(Names.begin(), Names.end());
  for (const std::string& Name : Names) FFileList.push_back(FDirectory + "/" + Name);
}

void TMediaPlayerEx::PlayRandomMidi() {
  FStarted = true;
  if (FFileList.empty()) RefillFileList();
  if (FFileList.empty()) {
    if (!FToldNoFiles) SoundLog("No music: there are no \"*.MID\" files in \"" + FDirectory + "\"");
    FToldNoFiles = true;
    return;
  }
  TRandomGenerator& Random = FRandom ? *FRandom : FOwnRandom;
  const auto I = static_cast<std::size_t>(Random.Random(static_cast<std::int32_t>(FFileList.size())));
  const std::string Name = FFileList[I];
  FFileList.erase(FFileList.begin() + static_cast<std::ptrdiff_t>(I));
  PlayFile(Name);
}
