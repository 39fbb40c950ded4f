#include "foundation/FileText.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

TFileTextResult ReadFileText(const std::string& FileName, std::string& Text) {
  std::error_code Ignored;
  if (FileName.empty() || !std::filesystem::is_regular_file(FileName, Ignored)) return ftMissing;
  std::ifstream File(FileName, std::ios::binary);
  if (!File) return ftUnreadable;
  std::ostringstream Bytes;
  Bytes << File.rdbuf();
  if (File.bad()) return ftUnreadable;
  Text = Bytes.str();
  return ftRead;
}
