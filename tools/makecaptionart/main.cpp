// brenmoor_makecaptionart <data folder>: writes the caption bar's bitmaps into
// <data folder>/art/caption/, the same bytes on every machine.
#include <cstdio>
#include <exception>
#include <filesystem>

#include "CaptionArt.h"

int main(int argc, char* argv[]) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <data folder>\n", argv[0]);
    return 2;
  }
  try {
    const std::filesystem::path Folder = std::filesystem::path(argv[1]) / "art" / "caption";
    std::filesystem::create_directories(Folder);
    for (const TCaptionPicture& Picture : MakeCaptionPictures()) {
      const std::filesystem::path File = Folder / (Picture.Name + ".bmp");
      Picture.Bitmap.SaveToFile(File.string());
      std::printf("%s\n", File.string().c_str());
    }
  } catch (const std::exception& Error) {
    std::fprintf(stderr, "brenmoor_makecaptionart: %s\n", Error.what());
    return 1;
  }
  return 0;
}
