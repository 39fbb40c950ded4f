#pragma once
// The whole of a text file as bytes, read in one go: scenarios and computer players' scripts.
#include <string>

enum TFileTextResult { ftRead, ftMissing, ftUnreadable };

// Text := the file's bytes when the name is that of a regular file that could be read;
// otherwise Text is left alone and the result says why.
TFileTextResult ReadFileText(const std::string& FileName, std::string& Text);
