#include "sound/MidiPlayer.h"

#include <fluidsynth.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "sound/MidiFile.h"
#include "sound/SoundLog.h"

namespace {

struct TSettingsDeleter {
  void operator()(fluid_settings_t* S) const { delete_fluid_settings(S); }
};
struct TSynthDeleter {
  void operator()(fluid_synth_t* S) const { delete_fluid_synth(S); }
};
struct TPlayerDeleter {
  void operator()(fluid_player_t* P) const { delete_fluid_player(P); }
};

// The synthesiser's own chatter goes to our log, its warnings nowhere.
void SynthLog(int Level, const char* Message, void* /*Data*/) {
  if (Level <= FLUID_ERR && Message) SoundLog(std::string("Music: ") + Message);
}

void QuietSynthLog() {
  static const bool Done = [] {
    fluid_set_log_function(FLUID_PANIC, SynthLog, nullptr);
    fluid_set_log_function(FLUID_ERR, SynthLog, nullptr);
    fluid_set_log_function(FLUID_WARN, nullptr, nullptr);
    fluid_set_log_function(FLUID_INFO, nullptr, nullptr);
    fluid_set_log_function(FLUID_DBG, nullptr, nullptr);
    return true;
  }();
  (void)Done;
}

}  // namespace

struct TMidiSynthState {
  std::unique_ptr<fluid_settings_t, TSettingsDeleter> Settings;
  std::unique_ptr<fluid_synth_t, TSynthDeleter> Synth;
  std::unique_ptr<fluid_player_t, TPlayerDeleter> Player;
};

std::string FindSoundFont() {
  // The small General MIDI font first: it loads in a moment.
  static const char* const Places[] = {
      "/usr/share/sounds/sf2/TimGM6mb.sf2",   "/usr/share/sounds/sf2/default-GM.sf2",
      "/usr/share/soundfonts/default.sf2",    "/usr/share/sounds/sf2/FluidR3_GM.sf2",
      "/usr/share/soundfonts/FluidR3_GM.sf2",
  };
  std::error_code Error;
  for (const char* Place : Places) {
    if (std::filesystem::is_regular_file(Place, Error)) return Place;
  }
  return {};
}

TMidiPlayer::TMidiPlayer(std::string SoundFont) : FSoundFont(std::move(SoundFont)) {
  TAudioOutput::Instance().AddSource(this);
}

TMidiPlayer::~TMidiPlayer() {
  TAudioOutput::Instance().RemoveSource(this);
  std::lock_guard Lock(FMutex);
  if (FState) FState->Player.reset();
  FState.reset();
}

bool TMidiPlayer::LoadSynth() {
  if (FState) return true;
  if (FSynthFailed) return false;
  QuietSynthLog();
  auto State = std::make_unique<TMidiSynthState>();
  std::error_code Error;
  if (!FSoundFont.empty() && std::filesystem::is_regular_file(FSoundFont, Error)) {
    State->Settings.reset(new_fluid_settings());
    if (State->Settings) {
      fluid_settings_setnum(State->Settings.get(), "synth.sample-rate", AudioSampleRate);
      fluid_settings_setnum(State->Settings.get(), "synth.gain", 0.8);
      fluid_settings_setint(State->Settings.get(), "synth.polyphony", 96);
      State->Synth.reset(new_fluid_synth(State->Settings.get()));
    }
    if (State->Synth && fluid_synth_sfload(State->Synth.get(), FSoundFont.c_str(), 1) != FLUID_FAILED) {
      FState = std::move(State);
      return true;
    }
  }
  FSynthFailed = true;
  SoundLog(FSoundFont.empty() ? std::string("No music: no General MIDI sound font is installed")
                              : "No music: the sound font \"" + FSoundFont + "\" cannot be loaded");
  return false;
}

void TMidiPlayer::Open() {
  if (!TAudioOutput::Instance().IsOpen()) throw EMediaPlayer("No audio device");
  std::lock_guard Lock(FMutex);
  if (!LoadSynth()) throw EMediaPlayer("No sound font");
  FState->Player.reset();
  std::error_code Error;
  if (!std::filesystem::is_regular_file(FileName(), Error) || !fluid_is_midifile(FileName().c_str())) {
    throw EMediaPlayer("Cannot open " + FileName());
  }
  // A damaged piece is still given to the synthesiser, which plays what it can and ends where
  // it cannot go on; the log says what is wrong with it.
  std::ifstream File(FileName(), std::ios::binary);
  const std::vector<std::uint8_t> Bytes{std::istreambuf_iterator<char>(File), std::istreambuf_iterator<char>()};
  try {
    ReadMidiFile(Bytes.data(), Bytes.size());
  } catch (const EMidiFile& E) {
    SoundLog("Music: " + FileName() + ": " + E.what());
  }
  fluid_synth_system_reset(FState->Synth.get());
  FState->Player.reset(new_fluid_player(FState->Synth.get()));
  if (!FState->Player || fluid_player_add(FState->Player.get(), FileName().c_str()) != FLUID_OK) {
    FState->Player.reset();
    throw EMediaPlayer("Cannot open " + FileName());
  }
}

void TMidiPlayer::Play() {
  std::lock_guard Lock(FMutex);
  if (FState && FState->Player) fluid_player_play(FState->Player.get());
}

void TMidiPlayer::Stop() {
  std::lock_guard Lock(FMutex);
  if (!FState || !FState->Player) return;
  fluid_player_stop(FState->Player.get());
  fluid_synth_all_sounds_off(FState->Synth.get(), -1);
}

void TMidiPlayer::Close() {
  std::lock_guard Lock(FMutex);
  if (!FState || !FState->Player) return;
  fluid_player_stop(FState->Player.get());
  fluid_synth_all_sounds_off(FState->Synth.get(), -1);
  FState->Player.reset();
}

bool TMidiPlayer::IsPlaying() {
  std::lock_guard Lock(FMutex);
  return FState && FState->Player && fluid_player_get_status(FState->Player.get()) == FLUID_PLAYER_PLAYING;
}

void TMidiPlayer::MixInto(float* Frames, int FrameCount) {
  std::lock_guard Lock(FMutex);
  // Only while a piece is open: the synthesiser is not run for silence.
  if (!FState || !FState->Player || FrameCount <= 0) return;
  if (FLeft.size() < static_cast<std::size_t>(FrameCount)) {
    FLeft.resize(static_cast<std::size_t>(FrameCount));
    FRight.resize(static_cast<std::size_t>(FrameCount));
  }
  fluid_synth_write_float(FState->Synth.get(), FrameCount, FLeft.data(), 0, 1, FRight.data(), 0, 1);
  for (int I = 0; I < FrameCount; ++I) {
    Frames[2 * I] += FLeft[static_cast<std::size_t>(I)];
    Frames[2 * I + 1] += FRight[static_cast<std::size_t>(I)];
  }
}
