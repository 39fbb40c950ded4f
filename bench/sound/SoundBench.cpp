// The cost of the sound output: the mixer with many voices, and the music synthesiser. The
// "audio_s" counter is the seconds of sound made per second of one core; 100 / audio_s is the
// share of a core that playing costs, in percent.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "sound/DSound.h"
#include "sound/MidiPlayer.h"

namespace {

constexpr int Block = 1024;

class TSilentDevice : public TAudioDevice {
public:
  bool Start(TAudioRender, std::string&) override { return true; }
  void Stop() override {}
};

std::vector<std::uint8_t> Noise16(int Frames, int Channels) {
  std::vector<std::uint8_t> Out(static_cast<std::size_t>(Frames * Channels * 2));
  std::uint32_t X = 12345;
  for (auto& B : Out) {
    X = X * 1664525U + 1013904223U;
    B = static_cast<std::uint8_t>(X >> 24);
  }
  return Out;
}

// Voices of a second of sound at 22050 Hz, looping, each at its own rate, volume and pan, as the
// explosions of a big battle are.
void MixVoices(benchmark::State& State, int Channels) {
  TDirectSound Sound;
  const int Voices = static_cast<int>(State.range(0));
  const TWaveFormat Format{WAVE_FORMAT_PCM, static_cast<std::uint16_t>(Channels), 22050,
                           static_cast<std::uint32_t>(22050 * 2 * Channels), static_cast<std::uint16_t>(2 * Channels),
                           16, 0};
  const std::vector<std::uint8_t> Samples = Noise16(22050, Channels);
  std::vector<std::unique_ptr<TDirectSoundBuffer>> Buffers;
  for (int I = 0; I < Voices; ++I) {
    TDSBufferDesc Desc;
    Desc.Flags = DSBCAPS_STATIC | DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME;
    Desc.BufferBytes = static_cast<std::uint32_t>(Samples.size());
    Desc.Format = &Format;
    std::unique_ptr<TDirectSoundBuffer> Buffer;
    Sound.CreateSoundBuffer(Desc, Buffer);
    Buffer->Write(0, Samples.data(), static_cast<std::uint32_t>(Samples.size()));
    Buffer->SetFrequency(static_cast<std::uint32_t>(8820 + 450 * I));
    Buffer->SetVolume(-50 * I);
    Buffer->SetPan(-5000 + 300 * I);
    Buffer->Play(DSBPLAY_LOOPING);
    Buffers.push_back(std::move(Buffer));
  }
  std::vector<float> Out(Block * 2);
  for (auto _ : State) {
    std::fill(Out.begin(), Out.end(), 0.0f);
    Sound.MixInto(Out.data(), Block);
    benchmark::DoNotOptimize(Out.data());
  }
  State.counters["audio_s"] =
      benchmark::Counter(static_cast<double>(State.iterations()) * Block / AudioSampleRate, benchmark::Counter::kIsRate);
}

void BM_MixMonoVoices(benchmark::State& State) { MixVoices(State, 1); }
void BM_MixStereoVoices(benchmark::State& State) { MixVoices(State, 2); }
BENCHMARK(BM_MixMonoVoices)->Arg(8)->Arg(32);
BENCHMARK(BM_MixStereoVoices)->Arg(32);

// The march through the synthesiser, as the jukebox plays it.
void BM_RenderMusic(benchmark::State& State) {
  const std::string SoundFont = FindSoundFont();
  if (SoundFont.empty()) {
    State.SkipWithError("no General MIDI sound font installed");
    return;
  }
  std::string Error;
  TAudioOutput::Instance().Open(std::make_unique<TSilentDevice>(), Error);
  TMidiPlayer Player(SoundFont);
  Player.SetFileName(BRENMOOR_SOURCE_DIR "/data/music/march.mid");
  Player.Open();
  Player.Play();
  std::vector<float> Out(Block * 2);
  for (auto _ : State) {
    if (!Player.IsPlaying()) {
      Player.Open();
      Player.Play();
    }
    TAudioOutput::Instance().Render(Out.data(), Block);
    benchmark::DoNotOptimize(Out.data());
  }
  State.counters["audio_s"] =
      benchmark::Counter(static_cast<double>(State.iterations()) * Block / AudioSampleRate, benchmark::Counter::kIsRate);
  Player.Close();
  TAudioOutput::Instance().Close();
}
BENCHMARK(BM_RenderMusic);

}  // namespace
