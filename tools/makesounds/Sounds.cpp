#include "Sounds.h"

namespace {

// The per-sample factor of an exponential fall with time constant Tau seconds.
double Decay(double Tau) { return 1.0 - 1.0 / (Tau * SynthRate); }

// A blast: low-passed noise whose brightness and loudness fall away, over a falling thump.
TSamples Blast(double Seconds, double Tau, double Bright, double ThumpFrom, double ThumpTo, std::uint32_t Seed) {
  const int N = SampleCount(Seconds);
  TSamples Out(static_cast<std::size_t>(N));
  TNoise Noise(Seed);
  TLowPass Filter1;
  TLowPass Filter2;
  double Env = 1.0;
  double Cut = Bright;
  double Phase = 0.0;
  const double Fall = Decay(Tau);
  const double Darken = Decay(Seconds * 0.5);
  const double ThumpFall = Decay(Tau * 0.6);
  double ThumpEnv = 1.0;
  for (int I = 0; I < N; ++I) {
    const double T = static_cast<double>(I) / N;
    const double Attack = I < 80 ? I / 80.0 : 1.0;
    const double Rumble = Filter2.Step(Filter1.Step(Noise.Next(), Cut), Cut);
    const double Hz = ThumpFrom + (ThumpTo - ThumpFrom) * T;
    Phase += Hz / SynthRate;
    Out[static_cast<std::size_t>(I)] = Attack * (Env * Rumble * 3.0 + ThumpEnv * 0.6 * SineCycles(Phase));
    Env *= Fall;
    ThumpEnv *= ThumpFall;
    Cut = 0.02 + (Cut - 0.02) * Darken;
  }
  return Out;
}

// The accepted click on the map: a short bright tick.
TSamples Click() {
  const int N = SampleCount(0.035);
  TSamples Out(static_cast<std::size_t>(N));
  TNoise Noise(7);
  double Env = 1.0;
  const double Fall = Decay(0.005);
  for (int I = 0; I < N; ++I) {
    const double Tone = SineCycles(1800.0 * I / SynthRate) + 0.4 * SineCycles(3600.0 * I / SynthRate);
    Out[static_cast<std::size_t>(I)] = Env * (0.7 * Tone + 0.3 * Noise.Next());
    Env *= Fall;
  }
  FadeEnds(Out, 10, 60);
  Normalise(Out, 0.6);
  return Out;
}

// A button let go: a soft, low knock.
TSamples Button() {
  const int N = SampleCount(0.06);
  TSamples Out(static_cast<std::size_t>(N));
  double Env = 1.0;
  const double Fall = Decay(0.012);
  for (int I = 0; I < N; ++I) {
    const double Tone = SineCycles(700.0 * I / SynthRate) + 0.3 * SineCycles(1400.0 * I / SynthRate);
    Out[static_cast<std::size_t>(I)] = Env * Tone;
    Env *= Fall;
  }
  FadeEnds(Out, 22, 120);
  Normalise(Out, 0.5);
  return Out;
}

// A refused order: two hollow low tones, the second lower.
TSamples Error() {
  TSamples Out;
  const double Tones[2][2] = {{196.0, 0.12}, {147.0, 0.16}};
  int At = 0;
  for (const auto& Tone : Tones) {
    const int N = SampleCount(Tone[1]);
    TSamples Part(static_cast<std::size_t>(N));
    for (int I = 0; I < N; ++I) {
      const double C = Tone[0] * I / SynthRate;
      Part[static_cast<std::size_t>(I)] = SineCycles(C) + SineCycles(3 * C) / 3.0 + SineCycles(5 * C) / 5.0;
    }
    FadeEnds(Part, 110, 220);
    MixAt(Out, Part, At, 1.0);
    At += N + SampleCount(0.02);
  }
  Normalise(Out, 0.45);
  return Out;
}

// The lobby's buzzer: a buzzing saw tone that throbs.
TSamples Buzz() {
  const int N = SampleCount(0.5);
  TSamples Out(static_cast<std::size_t>(N));
  for (int I = 0; I < N; ++I) {
    const double C = 120.0 * I / SynthRate;
    double Saw = 0.0;
    for (int K = 1; K <= 8; ++K) Saw += SineCycles(K * C) / K;
    const double Throb = 0.7 + 0.3 * SineCycles(30.0 * I / SynthRate);
    Out[static_cast<std::size_t>(I)] = Saw * Throb;
  }
  FadeEnds(Out, 220, 660);
  Normalise(Out, 0.4);
  return Out;
}

// A zone under attack; the game plays it at 40 to 79 percent of its rate.
TSamples Explosion() {
  TSamples Out = Blast(1.4, 0.35, 0.5, 90.0, 35.0, 11);
  FadeEnds(Out, 0, 2000);
  Normalise(Out, 0.9);
  return Out;
}

// An atomic bomb: a long, deep, swelling roar.
TSamples Atomic() {
  const int N = SampleCount(3.5);
  TSamples Out(static_cast<std::size_t>(N));
  TNoise Noise(1945);
  TLowPass A;
  TLowPass B;
  TLowPass C;
  double Phase = 0.0;
  double Env = 0.0;
  const double Rise = SampleCount(0.25);
  const double Fall = Decay(1.2);
  for (int I = 0; I < N; ++I) {
    const double T = static_cast<double>(I) / N;
    if (I < Rise) {
      Env = I / Rise;
    } else {
      Env *= Fall;
    }
    const double Roar = C.Step(B.Step(A.Step(Noise.Next(), 0.08), 0.08), 0.15);
    Phase += (45.0 - 20.0 * T) / SynthRate;
    const double Crackle = I < SampleCount(0.4) ? Noise.Next() * (1.0 - I / static_cast<double>(SampleCount(0.4))) : 0.0;
    Out[static_cast<std::size_t>(I)] = Env * (6.0 * Roar + 0.5 * SineCycles(Phase)) + 0.25 * Crackle;
  }
  FadeEnds(Out, 40, 6000);
  Normalise(Out, 0.95);
  return Out;
}

// A bombardment: a salvo of four guns.
TSamples Bombard() {
  TSamples Out;
  const double Shots[4][3] = {{0.0, 1.0, 0.55}, {0.35, 0.8, 0.45}, {0.62, 0.9, 0.6}, {1.0, 0.7, 0.4}};
  std::uint32_t Seed = 21;
  for (const auto& Shot : Shots) {
    const TSamples Boom = Blast(0.8, 0.15, Shot[2], 110.0, 45.0, Seed++);
    MixAt(Out, Boom, SampleCount(Shot[0]), Shot[1]);
  }
  FadeEnds(Out, 0, 2000);
  Normalise(Out, 0.9);
  return Out;
}

// A rocket attack: a rising whoosh, then the hit.
TSamples Rockets() {
  const int Flight = SampleCount(1.0);
  TSamples Out(static_cast<std::size_t>(Flight));
  TNoise Noise(1944);
  TLowPass Low;
  TLowPass High;
  for (int I = 0; I < Flight; ++I) {
    const double T = static_cast<double>(I) / Flight;
    const double Cut = 0.05 + 0.5 * T * (1.0 - T) * 2.0;
    const double X = Noise.Next();
    const double Band = Low.Step(X, Cut) - High.Step(X, Cut * 0.3);
    Out[static_cast<std::size_t>(I)] = Band * (0.2 + 0.8 * T) * 2.0;
  }
  FadeEnds(Out, 400, 0);
  MixAt(Out, Blast(0.8, 0.25, 0.45, 100.0, 40.0, 1945), Flight - SampleCount(0.05), 1.0);
  FadeEnds(Out, 0, 2000);
  Normalise(Out, 0.85);
  return Out;
}

}  // namespace

const std::vector<TSoundEffect>& SoundEffects() {
  static const std::vector<TSoundEffect> Effects = {
      {"click.wav", Click},     {"error.wav", Error},     {"button.wav", Button},   {"explosion.wav", Explosion},
      {"buzz.wav", Buzz},       {"atomic.wav", Atomic},   {"bombard.wav", Bombard}, {"rockets.wav", Rockets},
  };
  return Effects;
}
