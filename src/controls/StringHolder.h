#pragma once
// A component that only carries a list of lines, set up with its window (the main window keeps
// the built-in computer-player script and other texts in holders). The lines are game text.
#include <QObject>
#include <string>
#include <vector>

class TStringHolder : public QObject {
  Q_OBJECT
public:
  explicit TStringHolder(QObject* Owner = nullptr);

  const std::vector<std::string>& Strings() const { return FStrings; }
  // Copies the lines.
  void SetStrings(const std::vector<std::string>& Value) { FStrings = Value; }

private:
  std::vector<std::string> FStrings;
};
