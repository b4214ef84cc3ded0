#pragma once
// The file formats the pictures ship in. The set deliberately mixes containers and their common
// variants (progressive JPEG, palette PNG and BMP) so the saver's loader meets each of them.
#include <filesystem>

#include "image.h"

namespace pictures {

enum class Format {
  Jpeg,             // baseline, 4:2:0, quality 90
  ProgressiveJpeg,  // progressive scans, otherwise as Jpeg
  Png,              // 8-bit RGB
  PalettePng,       // 8-bit palette
  Bmp,              // 24-bit, bottom-up
  PaletteBmp,       // 8-bit palette, bottom-up
  Gif,              // GIF87a, one frame
  Tiff,             // 8-bit RGB, LZW with horizontal prediction
};

// Writes the image in the format. The result depends on nothing but its arguments: no dates,
// no program names. Throws std::runtime_error when the file cannot be written.
void Write(const Image& image, Format format, const std::filesystem::path& path);

}  // namespace pictures
