#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QTemporaryDir>

#include "platform/Fonts.h"

TEST(Fonts, ReadsTheFontList) {
  const TFontList List = ParseFontList(
      "# notes\n"
      "\n"
      "Arial=Liberation Sans;LiberationSans-Regular.ttf;LiberationSans-Bold.ttf;\r\n"
      "Small Fonts = DejaVu Sans ; DejaVuSans.ttf;\n"
      "no equals sign\n"
      "System=;x.ttf;\n"
      "=Liberation Sans;a.ttf;b.ttf;\n"
      "Times New Roman=Liberation Serif;");
  EXPECT_EQ(List.Substitutions,
            (std::vector<TFontSubstitution>{
                {"Arial", "Liberation Sans", "LiberationSans-Regular.ttf", "LiberationSans-Bold.ttf"},
                {"Small Fonts", "DejaVu Sans", "DejaVuSans.ttf", "DejaVuSans.ttf"}}));
  ASSERT_EQ(List.Problems.size(), 4u);
  EXPECT_EQ(List.Problems[0].rfind("fonts.txt line 5: ", 0), 0u) << List.Problems[0];
  EXPECT_EQ(List.Problems[3].rfind("fonts.txt line 8: ", 0), 0u) << List.Problems[3];
}

TEST(Fonts, TheGameFontNamesDrawInTheBundledFaces) {
  struct Case {
    const char* GameName;
    const char* Family;
  };
  for (const Case& C : std::vector<Case>{{"Imprint MT Shadow", "Liberation Serif"},
                                         {"MS Sans Serif", "Liberation Sans"},
                                         {"Arial", "Liberation Sans"},
                                         {"Small Fonts", "DejaVu Sans"},
                                         {"Times New Roman", "Liberation Serif"},
                                         {"System", "Liberation Sans"}}) {
    EXPECT_EQ(GameFontFamily(C.GameName), C.Family) << C.GameName;
    EXPECT_EQ(QFontInfo(GameFont(C.GameName, 13)).family(), C.Family) << C.GameName;
    // A font made by the game's name alone finds the bundled face too.
    EXPECT_EQ(QFontInfo(QFont(C.GameName)).family(), C.Family) << C.GameName;
  }
  EXPECT_EQ(QFontInfo(GameFont("Arial", 16, true)).pixelSize(), 16);
  EXPECT_TRUE(QFontInfo(GameFont("Arial", 16, true)).bold());
  EXPECT_EQ(GameFontFamily("Courier"), "Courier");
}

TEST(Fonts, NamesWhatCannotBeRegistered) {
  QTemporaryDir Dir;
  EXPECT_EQ(RegisterBundledFonts(Dir.path()),
            std::vector<std::string>{"the font list " + Dir.filePath("fonts.txt").toStdString() + " cannot be read"});

  const QString Bundled = QDir(QCoreApplication::applicationDirPath()).filePath("fonts/");
  ASSERT_TRUE(QFile::copy(Bundled + "DejaVuSans.ttf", Dir.filePath("face.ttf")));
  QFile Broken(Dir.filePath("broken.ttf"));
  ASSERT_TRUE(Broken.open(QIODevice::WriteOnly));
  Broken.write("not a font");
  Broken.close();
  QFile List(Dir.filePath("fonts.txt"));
  ASSERT_TRUE(List.open(QIODevice::WriteOnly));
  List.write("Odd Game Font=Liberation Sans;face.ttf;missing.ttf;\nBroken Font=DejaVu Sans;broken.ttf;\n");
  List.close();
  const std::vector<std::string> Problems = RegisterBundledFonts(Dir.path());
  ASSERT_EQ(Problems.size(), 3u);
  EXPECT_EQ(Problems[0], "the font file " + Dir.filePath("face.ttf").toStdString() +
                             " holds no face of the family Liberation Sans");
  EXPECT_EQ(Problems[1], "the font file " + Dir.filePath("missing.ttf").toStdString() + " is missing");
  EXPECT_EQ(Problems[2], "the font file " + Dir.filePath("broken.ttf").toStdString() + " holds no font");
  // The listed families are there all the same (bundled with the program), so the names stand.
  EXPECT_EQ(GameFontFamily("Odd Game Font"), "Liberation Sans");
}
