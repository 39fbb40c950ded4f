#include <gtest/gtest.h>

#include "foundation/NumberText.h"
#include "lobby/VexilServerStats.h"
#include "lobby/VexilUser.h"
#include "lobby/VexilUtils.h"

TEST(VexilUser, NewUserWritesEmptyInfoAndAnEmptyGlyph) {
  TVexilUser U;
  EXPECT_EQ(U.SaveToString(), "^^^^^^^^^12/30/1899^12/30/1899^0^^0`0`^^");
}

TEST(VexilUser, RecordRoundTripsEveryField) {
  TVexilUser U;
  U.SetUserId("bob");
  U.SetPassword("pw");
  U.SetFirstName("Bob");
  U.SetLastName("Jones");
  U.SetCity("Leeds");
  U.SetCountry("UK");
  U.SetEMail("b@x");
  U.SetHomePage("http://x");
  U.SetComments("hi there ");
  U.SetFirstDate(EncodeDate(1999, 3, 7));
  U.SetSecondDate(EncodeDate(2026, 12, 10));
  U.SetServerNumber(-42);
  U.SetInfo({"BRMWins=3", "BRMRank=Major", "Odd"});
  TUserGlyph G;
  G.SetSize(2, 1);
  G.SetPixel(0, 0, 255);
  G.SetPixel(1, 0, 16777215);
  U.SetGlyph(G);
  U.SetIcq("123");
  const std::string R = U.SaveToString();
  EXPECT_EQ(R,
            "bob^pw^Bob^Jones^Leeds^UK^b@x^http://x^hi there ^03/07/1999^12/10/2026^-42^"
            "BRMWins=3`BRMRank=Major`Odd`^2`1`255`16777215`^123^");

  TVexilUser V;
  V.AddPing(50);
  V.LoadFromString(R);
  EXPECT_EQ(V.SaveToString(), R);
  EXPECT_EQ(V.AveragePing(), 50);  // samples survive a reload
  EXPECT_EQ(V.InfoCount(), 3);
  EXPECT_EQ(V.InfoName(0), "BRMWins");
  EXPECT_EQ(V.InfoValue(0), "3");
  EXPECT_EQ(V.InfoName(2), "Odd");
  EXPECT_EQ(V.InfoValue(2), "");
  EXPECT_EQ(V.InfoByName("BRMRank"), "Major");
  EXPECT_EQ(V.InfoByName("BRMScore"), "");
  EXPECT_EQ(V.Glyph().Pixel(1, 0), 16777215);
}

TEST(VexilUser, GlyphPixelsGoColumnByColumn) {
  TVexilUser U;
  U.LoadFromString("a^^^^^^^^^01/01/2000^01/01/2000^1^^2`2`1`2`3`4`^^");
  ASSERT_EQ(U.Glyph().Width(), 2);
  EXPECT_EQ(U.Glyph().Pixel(0, 0), 1);
  EXPECT_EQ(U.Glyph().Pixel(0, 1), 2);
  EXPECT_EQ(U.Glyph().Pixel(1, 0), 3);
  EXPECT_EQ(U.Glyph().Pixel(1, 1), 4);
}

TEST(VexilUser, UntrustedGlyphsBecomeEmpty) {
  const std::string Glyphs[] = {
      "33`1`" + std::string(),        // wider than 32
      "2`2`1`2`3`",                   // one colour missing
      "1`1`5`6`",                     // one colour too many
      "2`x`",                         // not a number
      "-1`0`",                        // negative
      "1000000`1000000`",             // a peer asking for a huge picture
  };
  for (const std::string& G : Glyphs) {
    TVexilUser U;
    U.LoadFromString("a^^^^^^^^^01/01/2000^01/01/2000^1^^" + G + "^icq^");
    EXPECT_TRUE(U.Glyph().Empty()) << G;
    EXPECT_EQ(U.Icq(), "icq") << G;
  }
  TVexilUser Full;
  std::string G = "32`32`";
  for (int I = 0; I < 32 * 32; ++I) G += "7`";
  Full.LoadFromString("a^^^^^^^^^01/01/2000^01/01/2000^1^^" + G + "^^");
  EXPECT_EQ(Full.Glyph().Height(), 32);
}

TEST(VexilUser, BadDateIsTodayAndBadServerNumberRaisesAndKeepsTheUser) {
  TVexilUser U;
  U.LoadFromString("a^^^^^^^^^garbage^02/29/2001^7^^0`0`^^");
  EXPECT_EQ(U.FirstDate(), VexilToday());
  EXPECT_EQ(U.SecondDate(), VexilToday());
  EXPECT_EQ(U.ServerNumber(), 7);
  EXPECT_THROW(U.LoadFromString("b^^^^^^^^^01/01/2000^01/01/2000^seven^^0`0`^^"), EConvertError);
  EXPECT_EQ(U.UserId(), "a");
  EXPECT_EQ(U.ServerNumber(), 7);
}

TEST(VexilUser, AveragePingIgnoresEmptySamples) {
  TVexilUser U;
  EXPECT_EQ(U.AveragePing(), 0);
  for (int P : {0, 0, 120, 80, 100}) U.AddPing(P);
  EXPECT_EQ(U.AveragePing(), 100);
  U.AddPing(1);  // drops the oldest (a 0)
  EXPECT_EQ(U.AveragePing(), 75);
  for (int I = 0; I < 5; ++I) U.AddPing(0);
  EXPECT_EQ(U.AveragePing(), 0);
  U.AddPing(3);
  U.AddPing(4);
  EXPECT_EQ(U.AveragePing(), 3);  // 7 / 2 rounded toward zero
}

TEST(VexilServerStats, ReadsWritesAndRefusesBadFields) {
  TVexilServerStats S;
  S.LoadFromString("90061`3`1234567`2`40`9`1024`2.5E20`");
  EXPECT_EQ(S.TimeActive(), 90061);
  EXPECT_EQ(S.CurrentConnections(), 3);
  EXPECT_EQ(S.TotalConnections(), 1234567);
  EXPECT_EQ(S.CurrentSubjects(), 2);
  EXPECT_EQ(S.TotalSubjects(), 40);
  EXPECT_EQ(S.PeakConnections(), 9);
  EXPECT_EQ(S.BytesRead(), 1024);
  EXPECT_EQ(S.BytesWritten(), 2.5E20L);
  EXPECT_EQ(S.SaveToString(), "90061`3`1234567`2`40`9`1024`2.5E20`");
  EXPECT_THROW(S.LoadFromString("1`2`3`4`5`6`x`8`"), EConvertError);
  EXPECT_THROW(S.LoadFromString("1`2`"), EConvertError);
  EXPECT_EQ(S.TotalConnections(), 1234567);
}

TEST(VexilServerStats, TimeActiveText) {
  const std::pair<int, const char*> Cases[] = {
      {90061, "1 day 1 hr 1 min 1 sec"}, {7320, "2 hrs 2 mins 0 secs"}, {0, "0 secs"},
      {1, "1 sec"},  {172800, "2 days 0 secs"}, {86399, "23 hrs 59 mins 59 secs"}};
  for (const auto& [Seconds, Text] : Cases) {
    TVexilServerStats S;
    S.SetTimeActive(Seconds);
    EXPECT_EQ(S.TimeActiveText(), Text) << Seconds;
  }
}

TEST(VexilUtils, DottedAddresses) {
  const std::pair<const char*, bool> Cases[] = {
      {"127.0.0.1", true},   {"999.1.1.1", true},  {"localhost", false}, {"1.2.3", false},
      {"1.2.3.4.5", false},  {"1.2.3.", false},    {"a.b.c.d", false},   {"", false},
      {"10.0.0.x1", false}};
  for (const auto& [Host, Dotted] : Cases) EXPECT_EQ(IsDottedAddress(Host), Dotted) << Host;
}

TEST(VexilUtils, FramingKeepsLineFeedsAndEscapesOut) {
  std::string All;
  for (int C = 0; C < 256; ++C) All += static_cast<char>(C);
  const std::string Wire = EscapeLine(All);
  EXPECT_EQ(Wire.find('\n'), std::string::npos);
  EXPECT_EQ(UnescapeLine(Wire), All);
  EXPECT_EQ(EscapeLine("plain ASCII | line"), "plain ASCII | line");
  EXPECT_EQ(EscapeLine("\x1b\n"), "\x1b\x1b\x1bn");
  EXPECT_FALSE(UnescapeLine("abc\x1b"));
  EXPECT_FALSE(UnescapeLine("a\x1bx"));
  std::string S = "a|b||c";
  EXPECT_EQ(Split(S), "a");
  EXPECT_EQ(Split(S), "b");
  EXPECT_EQ(Split(S), "");
  EXPECT_EQ(Split(S), "c");
  EXPECT_EQ(S, "");
}
