#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "SoundTestSupport.h"
#include "sound/DSound.h"
#include "sound/PlainSound.h"
#include "sound/Wave.h"
#include "support/ScratchFolder.h"

namespace {

struct TParseCase {
  const char* Name;
  TBytes Image;
  const char* Error;
};

std::string ParseError(const TBytes& Image) {
  try {
    TWave Wave;
    Wave.LoadFromImage(Image);
  } catch (const EWave& E) {
    return E.what();
  }
  return "";
}

}  // namespace

TEST(Wave, RefusedImagesRaiseTheirTexts) {
  const TBytes Fmt = Chunk("fmt ", FormatBody(1, 1, 11025, 16));
  const TBytes Data = Chunk("data", Constant16(4, 100));
  TBytes ShortFmtBody = FormatBody(1, 1, 11025, 16);
  ShortFmtBody.resize(14);
  TBytes TruncatedFmt = Riff("WAVE", Chunk("fmt ", FormatBody(1, 1, 11025, 16)));
  TruncatedFmt.resize(TruncatedFmt.size() - 4);
  const TParseCase Cases[] = {
      {"empty image", {}, "Could not open Wave File"},
      {"not RIFF", Concat({Chunk("LIST", {1, 2, 3, 4})}), "Not a valid Wave File"},
      {"RIFF of another form", Riff("AVI ", Concat({Fmt, Data})), "Not a valid Wave File"},
      {"header cut short", {'R', 'I', 'F', 'F', 8, 0}, "Not a valid Wave File"},
      {"no format chunk", Riff("WAVE", Data), "Wave format chunk not found"},
      {"format chunk past the end", TruncatedFmt, "Read of format chunk failed"},
      {"format chunk under 16 bytes", Riff("WAVE", Concat({Chunk("fmt ", ShortFmtBody), Data})),
       "Read of format chunk failed"},
      {"not PCM", Riff("WAVE", Concat({Chunk("fmt ", FormatBody(3, 1, 11025, 32)), Data})),
       "The specified wave format is not supported."},
      {"no data chunk", Riff("WAVE", Fmt), "Wave data chunk not found"},
      {"data only before the format", Riff("WAVE", Concat({Data, Fmt})), "Wave data chunk not found"},
      {"data chunk outside the RIFF chunk", Concat({Riff("WAVE", Fmt), Data}), "Wave data chunk not found"},
  };
  for (const TParseCase& Case : Cases) EXPECT_EQ(ParseError(Case.Image), Case.Error) << Case.Name;
}

TEST(Wave, ReadsTheFormatAndFindsTheSamples) {
  // A chunk before the RIFF one, and an odd-sized chunk (with its pad byte) before the data.
  const TBytes Samples = Constant16(6, 1000, 2);
  const TBytes Image =
      Concat({Chunk("JUNK", {9, 9}),
              Riff("WAVE", Concat({Chunk("fmt ", FormatBody(1, 2, 22050, 16)), Chunk("LIST", {1, 2, 3}),
                                   Chunk("data", Samples)}))});
  TWave Wave;
  Wave.LoadFromImage(Image);
  ASSERT_TRUE(Wave.HasWaveData());
  EXPECT_EQ(Wave.Channels(), 2);
  EXPECT_EQ(Wave.SamplesPerSecond(), 22050u);
  EXPECT_EQ(Wave.AvgBytesPerSecond(), 88200u);
  EXPECT_EQ(Wave.BlockAlign(), 4);
  EXPECT_EQ(Wave.BitsPerSample(), 16);
  EXPECT_EQ(Wave.WaveSize(), Samples.size());
  EXPECT_EQ(0, std::memcmp(Wave.WaveData(), Samples.data(), Samples.size()));
  const TWaveFormat F = Wave.GetWaveFormat();
  EXPECT_EQ(F.FormatTag, WAVE_FORMAT_PCM);
  EXPECT_EQ(F.ExtraSize, 0);
  EXPECT_EQ(F.BlockAlign, 4);
}

TEST(Wave, DataChunkThatClaimsTooMuchIsCutToWhatIsThere) {
  const TBytes Samples = Constant16(10, 5);
  const TBytes Image = Riff("WAVE", Concat({Chunk("fmt ", FormatBody(1, 1, 11025, 16)), Chunk("data", Samples, 1000000)}));
  TWave Wave;
  Wave.LoadFromImage(Image);
  EXPECT_EQ(Wave.WaveSize(), Samples.size());
  EXPECT_EQ(0, std::memcmp(Wave.WaveData(), Samples.data(), Samples.size()));
}

TEST(Wave, RefusedImageLeavesNoDataAndNoFormat) {
  TWave Wave;
  Wave.LoadFromImage(WaveFile(Constant16(4, 1)));
  ASSERT_TRUE(Wave.HasWaveData());
  EXPECT_THROW(Wave.LoadFromImage(Riff("WAVE", Chunk("fmt ", FormatBody(1, 2, 8000, 8)))), EWave);
  EXPECT_FALSE(Wave.HasWaveData());
  EXPECT_EQ(Wave.Channels(), 0);
  EXPECT_EQ(Wave.SamplesPerSecond(), 0u);
  EXPECT_EQ(Wave.WaveSize(), 0u);
}

TEST(Wave, StoredWaveDataRoundTripsAndSizeZeroMeansNone) {
  TWave Source;
  Source.LoadFromImage(WaveFile(Constant16(8, -300)));
  const TBytes Stream = Source.WriteWaveData();
  ASSERT_EQ(Stream.size(), 4 + Source.ImageSize());
  EXPECT_EQ(Stream[0], Source.ImageSize() & 0xFF);

  TWave Copy;
  Copy.ReadWaveData(Stream);
  EXPECT_TRUE(Copy.HasWaveData());
  EXPECT_EQ(Copy.WaveSize(), 16u);
  EXPECT_EQ(Copy.WriteWaveData(), Stream);

  // Size 0 (and a negative size) mean no data; Play is then silent.
  for (const TBytes& Empty : {TBytes{0, 0, 0, 0}, TBytes{0xFF, 0xFF, 0xFF, 0xFF}}) {
    Copy.ReadWaveData(Empty);
    EXPECT_FALSE(Copy.HasWaveData());
    EXPECT_EQ(Copy.WaveSize(), 0u);
    EXPECT_NO_THROW(Copy.Play());
  }
  TWave Blank;
  EXPECT_EQ(Blank.WriteWaveData(), (TBytes{0, 0, 0, 0}));

  // A stream shorter than its size.
  TBytes Cut = Stream;
  Cut.resize(Cut.size() - 1);
  try {
    Copy.ReadWaveData(Cut);
    FAIL() << "a cut stream was read";
  } catch (const EWave& E) {
    EXPECT_STREQ(E.what(), "Stream read error");
  }
}

TEST(Wave, SetHasWaveDataFalseClears) {
  TWave Wave;
  Wave.LoadFromImage(WaveFile(Constant16(4, 1)));
  Wave.SetHasWaveData(true);
  EXPECT_TRUE(Wave.HasWaveData());
  Wave.SetHasWaveData(false);
  EXPECT_FALSE(Wave.HasWaveData());
  EXPECT_EQ(Wave.ImageSize(), 0u);
}

TEST(Wave, LoadsFilesAndResourcesByName) {
  const TScratchFolder Scratch("brenmoor-wave");
  const std::filesystem::path& Folder = Scratch.Path();
  const TBytes Image = WaveFile(Constant16(3, 7), 1, 8000, 16);
  {
    std::ofstream File(Folder / "Boom.WAV", std::ios::binary);
    File.write(reinterpret_cast<const char*>(Image.data()), static_cast<std::streamsize>(Image.size()));
  }
  TWave Wave;
  Wave.LoadFromFile((Folder / "Boom.WAV").string());
  EXPECT_EQ(Wave.SamplesPerSecond(), 8000u);
  EXPECT_THROW(Wave.LoadFromFile((Folder / "none.wav").string()), EWave);
  EXPECT_FALSE(Wave.HasWaveData());

  SetWaveResourceFolder(Folder.string());
  Wave.LoadFromResourceName("boom");
  EXPECT_EQ(Wave.WaveSize(), 6u);
  try {
    Wave.LoadFromResourceName("bang");
    FAIL() << "a missing resource was loaded";
  } catch (const EWave& E) {
    EXPECT_STREQ(E.what(), "Resource bang not found");
  }
  SetWaveResourceFolder("");
}

TEST(Wave, ResultCodeTexts) {
  EXPECT_EQ(DSErrorText(DS_OK), "The request completed successfully.");
  EXPECT_EQ(DSErrorText(DSERR_NODRIVER), "No sound driver is available for use.");
  EXPECT_EQ(DSErrorText(DSERR_BADFORMAT), "The specified wave format is not supported.");
  EXPECT_EQ(DSErrorText(DSERR_CONTROLUNAVAIL),
            "The control (volume, pan, and so forth) requested by the caller is not available.");
  // The apostrophe is the acute accent of Windows-1252.
  EXPECT_EQ(DSErrorText(DSERR_OUTOFMEMORY),
            "The DirectSound subsystem could not allocate sufficient memory to complete the caller\xB4s request.");
  EXPECT_EQ(DSErrorText(1), "Unrecognized Error");
  EXPECT_EQ(DSErrorText(-1), "Unrecognized Error");
}

TEST(Wave, WithoutAnAudioDeviceThePlainPlayerIsSilent) {
  TAudioOutput::Instance().Close();
  const TBytes Image = WaveFile(Constant16(100, 1000));
  EXPECT_FALSE(PlaySoundMemory(Image.data(), Image.size(), SND_MEMORY | SND_SYNC));
  EXPECT_FALSE(PlainSoundPlaying());
  TWave Wave;
  Wave.LoadFromImage(Image);
  Wave.SetSynchronous(true);
  EXPECT_NO_THROW(Wave.Play());
}
