#include "platform/Fonts.h"

#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QHash>
#include <optional>

#include "foundation/NumberText.h"
#include "foundation/StringUtils.h"
#include "platform/TextCodec.h"

namespace {
std::string Trimmed(const std::string& S) {
  const auto First = S.find_first_not_of(" \t\r");
  if (First == std::string::npos) return {};
  const auto Last = S.find_last_not_of(" \t\r");
  return S.substr(First, Last - First + 1);
}

// Game font name -> bundled family, filled by RegisterBundledFonts.
QHash<QString, QString>& Families() {
  static QHash<QString, QString> Map;
  return Map;
}

// Font files already handed to the font database, with the families they hold.
QHash<QString, QStringList>& RegisteredFiles() {
  static QHash<QString, QStringList> Files;
  return Files;
}

// Registers Path once; the families it holds, or nothing when it is no font.
std::optional<QStringList> Register(const QString& Path) {
  if (auto Known = RegisteredFiles().constFind(Path); Known != RegisteredFiles().constEnd()) return *Known;
  const int Id = QFontDatabase::addApplicationFont(Path);
  if (Id < 0) return std::nullopt;
  const QStringList Held = QFontDatabase::applicationFontFamilies(Id);
  RegisteredFiles().insert(Path, Held);
  return Held;
}
}  // namespace

TFontList ParseFontList(const std::string& Text) {
  TFontList Result;
  std::string Rest = Text;
  int LineNumber = 0;
  while (!Rest.empty()) {
    const std::string Line = Trimmed(NextToken(Rest, "\n"));
    ++LineNumber;
    if (Line.empty() || Line[0] == '#') continue;
    const auto Equals = Line.find('=');
    std::string Fields = Equals == std::string::npos ? std::string() : Line.substr(Equals + 1);
    TFontSubstitution S;
    S.GameName = Equals == std::string::npos ? std::string() : Trimmed(Line.substr(0, Equals));
    S.Family = Trimmed(NextToken(Fields, ";"));
    S.RegularFile = Trimmed(NextToken(Fields, ";"));
    S.BoldFile = Trimmed(NextToken(Fields, ";"));
    if (S.BoldFile.empty()) S.BoldFile = S.RegularFile;
    if (S.GameName.empty() || S.Family.empty() || S.RegularFile.empty()) {
      Result.Problems.push_back("fonts.txt line " + IntToStr(LineNumber) +
                                ": expected \"game font name=family;regular file;bold file;\" but read \"" + Line +
                                "\"");
      continue;
    }
    Result.Substitutions.push_back(S);
  }
  return Result;
}

std::vector<std::string> RegisterBundledFonts(const QString& Folder) {
  const QDir Dir(Folder);
  QFile ListFile(Dir.filePath("fonts.txt"));
  if (!ListFile.open(QIODevice::ReadOnly)) return {"the font list " + FromQString(ListFile.fileName()) + " cannot be read"};
  TFontList List = ParseFontList(ListFile.readAll().toStdString());
  std::vector<std::string> Problems = std::move(List.Problems);

  for (const TFontSubstitution& S : List.Substitutions) {
    const QString Family = ToQString(S.Family);
    bool Usable = true;
    std::vector<std::string> Files{S.RegularFile};
    if (S.BoldFile != S.RegularFile) Files.push_back(S.BoldFile);
    for (const std::string& File : Files) {
      const QString Path = Dir.filePath(ToQString(File));
      if (!QFile::exists(Path)) {
        Problems.push_back("the font file " + FromQString(Path) + " is missing");
        Usable = false;
        continue;
      }
      const std::optional<QStringList> Held = Register(Path);
      if (!Held) {
        Problems.push_back("the font file " + FromQString(Path) + " holds no font");
        Usable = false;
      } else if (!Held->contains(Family, Qt::CaseInsensitive)) {
        Problems.push_back("the font file " + FromQString(Path) + " holds no face of the family " + S.Family);
        Usable = false;
      }
    }
    if (!Usable && !QFontDatabase::families().contains(Family, Qt::CaseInsensitive)) continue;
    const QString GameName = ToQString(S.GameName);
    Families().insert(GameName, Family);
    // For the fonts made by name alone (QFont("Arial")) on a machine without that face.
    QFont::removeSubstitutions(GameName);
    QFont::insertSubstitution(GameName, Family);
  }
  return Problems;
}

QString GameFontFamily(const QString& GameName) { return Families().value(GameName, GameName); }

QFont GameFont(const QString& GameName, int PixelSize, bool Bold) {
  QFont Font(GameFontFamily(GameName));
  Font.setPixelSize(PixelSize);
  Font.setBold(Bold);
  return Font;
}
