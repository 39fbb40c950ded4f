#include "lobby/VexilUtils.h"

#include "foundation/NumberText.h"
#include "foundation/StringUtils.h"

std::string Split(std::string& S) { return NextToken(S, std::string_view(&kVexilDelimiter, 1)); }

std::string EscapeLine(std::string_view Line) {
  std::string Wire;
  Wire.reserve(Line.size() + Line.size() / 64 + 1);
  for (const char C : Line) {
    if (C == kVexilEscape) {
      Wire += kVexilEscape;
      Wire += kVexilEscape;
    } else if (C == kVexilLineEnd) {
      Wire += kVexilEscape;
      Wire += 'n';
    } else {
      Wire += C;
    }
  }
  return Wire;
}

std::optional<std::string> UnescapeLine(std::string_view Wire) {
  std::string Line;
  Line.reserve(Wire.size());
  for (std::size_t I = 0; I < Wire.size(); ++I) {
    const char C = Wire[I];
    if (C != kVexilEscape) {
      Line += C;
      continue;
    }
    if (++I == Wire.size()) return std::nullopt;
    if (Wire[I] == kVexilEscape)
      Line += kVexilEscape;
    else if (Wire[I] == 'n')
      Line += kVexilLineEnd;
    else
      return std::nullopt;
  }
  return Line;
}

bool IsDottedAddress(std::string_view Host) {
  int Parts = 0;
  std::size_t Start = 0;
  while (true) {
    const std::size_t Dot = Host.find('.', Start);
    const std::string_view Part = Host.substr(Start, Dot == std::string_view::npos ? Dot : Dot - Start);
    if (++Parts > 4 || !TryStrToInt(Part)) return false;
    if (Dot == std::string_view::npos) break;
    Start = Dot + 1;
  }
  return Parts == 4;
}
