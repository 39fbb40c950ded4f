#pragma once
// Sound synthesis with nothing but additions, multiplications and divisions of doubles, so the
// same program writes the same samples on every machine (no library sine or exponential, whose
// last bits differ between systems). Mono, 22050 Hz, written as 16-bit PCM.
#include <cstdint>
#include <string>
#include <vector>

inline constexpr int SynthRate = 22050;

using TSamples = std::vector<double>;

// sin(2 pi Cycles), to about 1e-7.
double SineCycles(double Cycles);

// A small fixed-seed noise source: uniform in [-1, 1).
class TNoise {
public:
  explicit TNoise(std::uint32_t Seed) : FState(Seed ? Seed : 1) {}
  double Next();

private:
  std::uint32_t FState;
};

// A one-pole low-pass filter; Amount 0..1 of the way to the input per sample.
class TLowPass {
public:
  double Step(double X, double Amount) {
    FY += Amount * (X - FY);
    return FY;
  }

private:
  double FY = 0.0;
};

// Samples for Seconds of sound.
int SampleCount(double Seconds);
// Adds Source into Target from sample Offset on, times Gain (Target grows as needed).
void MixAt(TSamples& Target, const TSamples& Source, int Offset, double Gain);
// Scales so that the loudest sample is Peak.
void Normalise(TSamples& Samples, double Peak);
// Linear fades at both ends, so no sound starts or stops with a click.
void FadeEnds(TSamples& Samples, int FadeIn, int FadeOut);

// The RIFF WAVE image: PCM, one channel, 16 bits, SynthRate samples per second.
std::vector<std::uint8_t> WaveImage(const TSamples& Samples);
