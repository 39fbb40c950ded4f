#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <QWidget>

#include "platform/RegistryManager.h"

namespace {
struct RegistryManagerTest : ::testing::Test {
  QTemporaryDir Dir;
  QString Path() const { return Dir.filePath("settings.ini"); }
};
}  // namespace

TEST_F(RegistryManagerTest, KeepsEveryValueAsAStringUnderTheSubKey) {
  {
    TRegistryManager Store(Path());
    Store.SetSubKey("Software\\Quillfen\\Brenmoor\\");
    EXPECT_EQ(Store.ReadString("Missing"), "");
    EXPECT_EQ(Store.ReadInteger("Missing"), 0);
    Store.WriteString("Sound", "1");
    Store.WriteInteger("TipNumber", -12);
    Store.WriteString("Script", "Caf\xe9;x=y|z");
  }
  TRegistryManager Again(Path());
  Again.SetSubKey("Software\\Quillfen\\Brenmoor\\");
  EXPECT_EQ(Again.ReadString("Sound"), "1");
  EXPECT_EQ(Again.ReadInteger("TipNumber"), -12);
  EXPECT_EQ(Again.ReadString("TipNumber"), "-12");
  EXPECT_EQ(Again.ReadString("Script"), "Caf\xe9;x=y|z");
  Again.WriteString("Word", "abc");
  EXPECT_EQ(Again.ReadInteger("Word"), 0);

  TRegistryManager Other(Path());
  Other.SetSubKey("Software\\Elsewhere\\");
  EXPECT_EQ(Other.ReadString("Sound"), "");
}

TEST_F(RegistryManagerTest, RestoresBoundsOnlyWhenALeftWasStored) {
  TRegistryManager Store(Path());
  QWidget W;
  W.setGeometry(5, 6, 70, 80);
  Store.RestoreBounds(W, "frmNews");
  EXPECT_EQ(W.size(), QSize(70, 80));

  Store.WriteInteger("frmNewsLeft", 0);
  Store.WriteInteger("frmNewsWidth", 300);
  Store.RestoreBounds(W, "frmNews");
  EXPECT_EQ(W.size(), QSize(70, 80));

  QWidget Saved;
  Saved.move(120, 130);
  Saved.resize(320, 240);
  Store.SaveBounds(Saved, "frmNews");
  EXPECT_EQ(Store.ReadInteger("frmNewsLeft"), 120);
  Store.RestoreBounds(W, "frmNews");
  EXPECT_EQ(W.pos(), QPoint(120, 130));
  EXPECT_EQ(W.size(), QSize(320, 240));
}

TEST_F(RegistryManagerTest, AWriteThatCannotBeStoredRaises) {
  // A settings file whose folder is a plain file cannot be written, even by root.
  QFile Blocker(Dir.filePath("blocker"));
  ASSERT_TRUE(Blocker.open(QIODevice::WriteOnly));
  Blocker.close();
  TRegistryManager Store(Dir.filePath("blocker/settings.ini"));
  try {
    Store.WriteString("Sound", "1");
    ADD_FAILURE() << "the write reported success";
  } catch (const ERegistryException& E) {
    EXPECT_STREQ(E.what(), "Failed to set data for 'Sound'");
  }
}
