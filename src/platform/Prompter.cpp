#include "platform/Prompter.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

#include "foundation/StringUtils.h"
#include "platform/TextCodec.h"

namespace {
TPrompter* Installed = nullptr;

QString Caption() { return QGuiApplication::applicationDisplayName(); }

std::string EncodedFileName(const QString& Name) { return QFile::encodeName(Name).toStdString(); }
QString DecodedFileName(const std::string& Name) { return QFile::decodeName(QByteArray::fromStdString(Name)); }

std::optional<std::string> RunFileDialog(const TFileDialogOptions& Options, QFileDialog::AcceptMode Mode) {
  QFileDialog Dialog(QApplication::activeWindow(), ToQString(Options.Title));
  Dialog.setAcceptMode(Mode);
  Dialog.setFileMode(Mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  const QStringList Filters = QtNameFilters(Options.Filter);
  if (!Filters.isEmpty()) Dialog.setNameFilters(Filters);
  if (!Options.DefaultExt.empty()) Dialog.setDefaultSuffix(ToQString(Options.DefaultExt));
  if (!Options.InitialDir.empty()) Dialog.setDirectory(DecodedFileName(Options.InitialDir));
  if (!Options.FileName.empty()) Dialog.selectFile(DecodedFileName(Options.FileName));
  if (Dialog.exec() != QDialog::Accepted || Dialog.selectedFiles().isEmpty()) return std::nullopt;
  return EncodedFileName(Dialog.selectedFiles().constFirst());
}
}  // namespace

void TQtPrompter::ShowMessage(const std::string& Text) {
  // A plain message, without an icon.
  QMessageBox Box(QMessageBox::NoIcon, Caption(), ToQString(Text), QMessageBox::Ok, QApplication::activeWindow());
  Box.exec();
}

bool TQtPrompter::Confirm(const std::string& Text) {
  return QMessageBox::question(QApplication::activeWindow(), Caption(), ToQString(Text),
                               QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) == QMessageBox::Yes;
}

std::optional<std::string> TQtPrompter::InputText(const std::string& Caption, const std::string& Prompt,
                                                  const std::string& Value) {
  bool Ok = false;
  const QString Text = QInputDialog::getText(QApplication::activeWindow(), ToQString(Caption), ToQString(Prompt),
                                             QLineEdit::Normal, ToQString(Value), &Ok);
  if (!Ok) return std::nullopt;
  return FromQString(Text);
}

std::optional<std::string> TQtPrompter::OpenFile(const TFileDialogOptions& Options) {
  return RunFileDialog(Options, QFileDialog::AcceptOpen);
}

std::optional<std::string> TQtPrompter::SaveFile(const TFileDialogOptions& Options) {
  return RunFileDialog(Options, QFileDialog::AcceptSave);
}

TPrompter& Prompter() {
  static TQtPrompter Dialogs;
  return Installed ? *Installed : Dialogs;
}

TPrompter* SetPrompter(TPrompter* Prompter) {
  TPrompter* Previous = Installed;
  Installed = Prompter;
  return Previous;
}

QStringList QtNameFilters(const std::string& Filter) {
  QStringList Result;
  std::string Rest = Filter;
  while (!Rest.empty()) {
    const QString Description = ToQString(NextToken(Rest, "|")).trimmed();
    QString Patterns = ToQString(NextToken(Rest, "|")).trimmed();
    Patterns.replace(';', ' ');
    Patterns = Patterns.simplified();
    if (Patterns.isEmpty()) Patterns = "*";
    if (Description.isEmpty()) {
      Result << Patterns;
    } else if (Description.contains('(' + Patterns + ')')) {
      Result << Description;
    } else {
      // Qt reads the patterns from the parentheses, so the description's own are replaced.
      QString Words = Description;
      if (const qsizetype Open = Words.lastIndexOf('('); Open > 0 && Words.endsWith(')')) Words = Words.left(Open).trimmed();
      Result << Words + " (" + Patterns + ')';
    }
  }
  return Result;
}
