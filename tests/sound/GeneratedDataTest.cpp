#include <gtest/gtest.h>

#include "sound/Wave.h"
#include "support/GeneratedData.h"

TEST(GeneratedData, RegeneratingTheSoundsAndMusicChangesNothing) {
  ExpectRegeneratesData(BRENMOOR_MAKESOUNDS, {"sounds", "music"});
}

TEST(GeneratedData, EveryEffectOfTheMainWindowIsAWaveTheMixerPlays) {
  for (const char* Name : {"click", "error", "button", "explosion", "buzz", "atomic", "bombard", "rockets"}) {
    TWave Wave;
    ASSERT_NO_THROW(Wave.LoadFromFile(std::string(BRENMOOR_SOURCE_DIR) + "/data/sounds/" + Name + ".wav")) << Name;
    EXPECT_TRUE(IsPlayableFormat(Wave.GetWaveFormat())) << Name;
    EXPECT_EQ(Wave.Channels(), 1) << Name;
    EXPECT_EQ(Wave.BitsPerSample(), 16) << Name;
    EXPECT_GT(Wave.WaveSize(), 1000u) << Name;
  }
}

TEST(GeneratedData, TheEffectsAreFoundByNameInTheProgramFolder) {
  // The build copies the data beside the program; the names are matched without regard to case.
  for (const char* Name : {"Click", "ERROR", "button", "Explosion", "buzz", "Atomic", "bombard", "ROCKETS"}) {
    TWave Wave;
    EXPECT_NO_THROW(Wave.LoadFromResourceName(Name)) << Name;
    EXPECT_TRUE(Wave.HasWaveData()) << Name;
  }
}
