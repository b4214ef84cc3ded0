// picture-generator OUTDIR: writes the 50 shipped pictures, QMAR5201.DAT to QMAR5250.DAT, into
// OUTDIR and nothing else. The same program always writes the same bytes.
#include <exception>
#include <filesystem>
#include <iostream>

#include "catalogue.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: picture-generator OUTDIR\n";
    return 2;
  }
  try {
    const std::filesystem::path directory = argv[1];
    std::filesystem::create_directories(directory);
    for (const pictures::CataloguedPicture& picture : pictures::Catalogue()) {
      pictures::Image image(picture.width, picture.height);
      picture.paint(image);
      pictures::Write(image, picture.format, directory / pictures::FileName(picture.number));
    }
  } catch (const std::exception& error) {
    std::cerr << "picture-generator: " << error.what() << '\n';
    return 1;
  }
  return 0;
}
