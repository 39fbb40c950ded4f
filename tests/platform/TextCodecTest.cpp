#include <gtest/gtest.h>

#include "platform/TextCodec.h"

TEST(TextCodec, RoundTripsEveryByte) {
  std::string All;
  for (int I = 0; I < 256; ++I) All += static_cast<char>(I);
  EXPECT_EQ(FromQString(ToQString(All)), All);
}

TEST(TextCodec, MapsWindows1252Characters) {
  EXPECT_EQ(ToQString("\x80"), QString(QChar(0x20AC)));
  EXPECT_EQ(ToQString("Caf\xe9"), QString::fromUtf8("Café"));
  EXPECT_EQ(FromQString(QString::fromUtf8("€ é")), "\x80 \xe9");
  EXPECT_EQ(FromQString(QString::fromUtf8("日本")), "??");
}
