#include "Synth.h"

#include <algorithm>
#include <cmath>

double SineCycles(double Cycles) {
  // Into [-0.5, 0.5), then folded into [-0.25, 0.25] where the series is short.
  double X = Cycles - std::floor(Cycles);
  if (X >= 0.5) X -= 1.0;
  if (X > 0.25) X = 0.5 - X;
  if (X < -0.25) X = -0.5 - X;
  const double T = X * 6.283185307179586;
  const double T2 = T * T;
  // Taylor series to t^13; at |t| <= pi/2 the first term left out is below 1e-9.
  double Sum = 1.0 / 6227020800.0;
  Sum = 1.0 / 39916800.0 - T2 * Sum;
  Sum = 1.0 / 362880.0 - T2 * Sum;
  Sum = 1.0 / 5040.0 - T2 * Sum;
  Sum = 1.0 / 120.0 - T2 * Sum;
  Sum = 1.0 / 6.0 - T2 * Sum;
  Sum = 1.0 - T2 * Sum;
  return T * Sum;
}

double TNoise::Next() {
  FState ^= FState << 13;
  FState ^= FState >> 17;
  FState ^= FState << 5;
  return static_cast<double>(FState) / 2147483648.0 - 1.0;
}

int SampleCount(double Seconds) { return static_cast<int>(Seconds * SynthRate); }

void MixAt(TSamples& Target, const TSamples& Source, int Offset, double Gain) {
  const std::size_t End = static_cast<std::size_t>(Offset) + Source.size();
  if (Target.size() < End) Target.resize(End, 0.0);
  for (std::size_t I = 0; I < Source.size(); ++I) Target[static_cast<std::size_t>(Offset) + I] += Source[I] * Gain;
}

void Normalise(TSamples& Samples, double Peak) {
  double Max = 0.0;
  for (double S : Samples) Max = std::max(Max, std::fabs(S));
  if (Max <= 0.0) return;
  const double Scale = Peak / Max;
  for (double& S : Samples) S *= Scale;
}

void FadeEnds(TSamples& Samples, int FadeIn, int FadeOut) {
  const int N = static_cast<int>(Samples.size());
  for (int I = 0; I < FadeIn && I < N; ++I) Samples[static_cast<std::size_t>(I)] *= static_cast<double>(I) / FadeIn;
  for (int I = 0; I < FadeOut && I < N; ++I) {
    Samples[static_cast<std::size_t>(N - 1 - I)] *= static_cast<double>(I) / FadeOut;
  }
}

namespace {

void Put16(std::vector<std::uint8_t>& Out, std::uint16_t V) {
  Out.push_back(static_cast<std::uint8_t>(V & 0xFF));
  Out.push_back(static_cast<std::uint8_t>(V >> 8));
}

void Put32(std::vector<std::uint8_t>& Out, std::uint32_t V) {
  for (int I = 0; I < 4; ++I) Out.push_back(static_cast<std::uint8_t>((V >> (8 * I)) & 0xFF));
}

void PutId(std::vector<std::uint8_t>& Out, const char* Id) {
  for (int I = 0; I < 4; ++I) Out.push_back(static_cast<std::uint8_t>(Id[I]));
}

}  // namespace

std::vector<std::uint8_t> WaveImage(const TSamples& Samples) {
  const auto DataBytes = static_cast<std::uint32_t>(Samples.size() * 2);
  std::vector<std::uint8_t> Out;
  Out.reserve(44 + DataBytes);
  PutId(Out, "RIFF");
  Put32(Out, 36 + DataBytes);
  PutId(Out, "WAVE");
  PutId(Out, "fmt ");
  Put32(Out, 16);
  Put16(Out, 1);  // PCM
  Put16(Out, 1);  // one channel
  Put32(Out, SynthRate);
  Put32(Out, SynthRate * 2);
  Put16(Out, 2);
  Put16(Out, 16);
  PutId(Out, "data");
  Put32(Out, DataBytes);
  for (double S : Samples) {
    const double Scaled = std::clamp(S, -1.0, 1.0) * 32767.0;
    Put16(Out, static_cast<std::uint16_t>(static_cast<std::int16_t>(std::floor(Scaled + 0.5))));
  }
  return Out;
}
