// Writes the program's icon: a framed landscape (sky, sun, cloud and hills) in front of a second
// picture, the night sky, as two slides of a show. Two images, 32 x 32 and 16 x 16, each with
// 16 colours (4 bits per pixel) and a transparency mask. Run by the build, so the icon is made
// from this source; the same art always gives the same bytes.
//
//   program_icon_art <output.ico>
#include <array>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string_view>
#include <vector>

namespace {

// The 16 colours of the standard palette, each named by the letter the art uses for it; '.' is
// transparent.
struct PaletteEntry {
  char letter;
  std::uint8_t red, green, blue;
};
constexpr std::array<PaletteEntry, 16> kPalette{{
    {'k', 0x00, 0x00, 0x00},  // black
    {'r', 0x80, 0x00, 0x00},  // maroon
    {'g', 0x00, 0x80, 0x00},  // green
    {'o', 0x80, 0x80, 0x00},  // olive
    {'n', 0x00, 0x00, 0x80},  // navy
    {'p', 0x80, 0x00, 0x80},  // purple
    {'t', 0x00, 0x80, 0x80},  // teal
    {'s', 0xC0, 0xC0, 0xC0},  // silver
    {'d', 0x80, 0x80, 0x80},  // grey
    {'R', 0xFF, 0x00, 0x00},  // red
    {'G', 0x00, 0xFF, 0x00},  // lime
    {'Y', 0xFF, 0xFF, 0x00},  // yellow
    {'B', 0x00, 0x00, 0xFF},  // blue
    {'M', 0xFF, 0x00, 0xFF},  // magenta
    {'C', 0x00, 0xFF, 0xFF},  // cyan
    {'W', 0xFF, 0xFF, 0xFF},  // white
}};
constexpr char kTransparent = '.';

constexpr std::array<std::string_view, 32> kLarge{
    "................................", "........kkkkkkkkkkkkkkkkkkkkkkk.",
    "........kWWWWWWWWWWWWWWWWWWWWWk.", "........kWdddddddddddddddddddWk.",
    "........kWdBBBBBBBBBBBBBBBBBdWk.", "........kWdBBBBBBWBBBBBBBBBBdWk.",
    "........kWdBBBBBBBBBBBBBWBBBdWk.", "........kWdBBBBBBBBBBCBBBBBBdWk.",
    ".kkkkkkkkkkkkkkkkkkkkkkkkBBBdWk.", ".kYYYYYYYYYYYYYYYYYYYYYrkBYBdWk.",
    ".kYoooooooooooooooooooorkBBBdWk.", ".kYorrrrrrrrrrrrrrrrrrorkBBBdWk.",
    ".kYorCCCCCCCCCCCCCCCCrorkBBBdWk.", ".kYorCCCCCCCCCCCYYYCCrorkBBBdWk.",
    ".kYorCCWWWCCCCCYYYYYCrorkBBBdWk.", ".kYorCWWWWWCCCCYYYYYCrorkBBBdWk.",
    ".kYorCCCCCCCCCCYYYYYCrorkBBBdWk.", ".kYorCCCCCCCCCCCYYYCCrorkBBBdWk.",
    ".kYorCCCCCgggCCCCCCCCrorkBBBdWk.", ".kYorCCCgggggggCCCCCCrorkBBBdWk.",
    ".kYorCggggggggggCCCCCrorkBBBdWk.", ".kYorggggggggggggGGCCrorkddddWk.",
    ".kYorgggggggggGGGGGGGrorkWWWWWk.", ".kYorggggggGGGGGGGGGGrorkkkkkkk.",
    ".kYorGGGGGGGGGGGGGGGGrork.......", ".kYorGGGGGGGGGGGGGGGGrork.......",
    ".kYorGGGGGGGGGGGGGGGGrork.......", ".kYorrrrrrrrrrrrrrrrrrork.......",
    ".kYoooooooooooooooooooork.......", ".krrrrrrrrrrrrrrrrrrrrrrk.......",
    ".kkkkkkkkkkkkkkkkkkkkkkkk.......", "................................",
};

constexpr std::array<std::string_view, 16> kSmall{
    "....kkkkkkkkkkkk", "....kssssssssssk", "....ksBBBBBBBBsk", "....ksBBBBBBYBsk",
    "kkkkkkkkkkkkBBsk", "kYYYYYYYYYrkBBsk", "kYCCCCCCCCrkBBsk", "kYCWWCCYYCrkBBsk",
    "kYCCCCCYYCrkBBsk", "kYCggCCCCCrksssk", "kYggggCCggrkkkkk", "kYggGGggggrk....",
    "kYGGGGGGGgrk....", "kYGGGGGGGGrk....", "krrrrrrrrrrk....", "kkkkkkkkkkkk....",
};

constexpr int IndexOf(char letter) {
  for (std::size_t i = 0; i < kPalette.size(); ++i) {
    if (kPalette[i].letter == letter) return static_cast<int>(i);
  }
  return -1;
}

template <std::size_t N>
constexpr bool WellFormed(const std::array<std::string_view, N>& art) {
  for (std::string_view row : art) {
    if (row.size() != N) return false;
    for (char letter : row) {
      if (letter != kTransparent && IndexOf(letter) < 0) return false;
    }
  }
  return true;
}
static_assert(WellFormed(kLarge) && WellFormed(kSmall),
              "every row as wide as the image is high, "
              "every letter a colour of the palette");

void PutLittleEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// One image as the icon file stores it: the bitmap header (twice the height: colours, then
// mask), the palette, the colour rows and the mask rows, both bottom row first and padded to
// four bytes. A transparent pixel is colour 0 with its mask bit set.
template <std::size_t N>
std::vector<std::uint8_t> IconImage(const std::array<std::string_view, N>& art) {
  constexpr std::size_t kColorRow = (N / 2 + 3) / 4 * 4;
  constexpr std::size_t kMaskRow = (N / 8 + 3) / 4 * 4;
  std::vector<std::uint8_t> image;
  PutLittleEndian(image, 40, 4);  // BITMAPINFOHEADER
  PutLittleEndian(image, N, 4);
  PutLittleEndian(image, 2 * N, 4);
  PutLittleEndian(image, 1, 2);  // planes
  PutLittleEndian(image, 4, 2);  // bits per pixel
  PutLittleEndian(image, 0, 4);  // BI_RGB
  PutLittleEndian(image, static_cast<std::uint32_t>(N * (kColorRow + kMaskRow)), 4);
  image.insert(image.end(), 4 * 4, 0);  // resolution and colour counts: the defaults
  for (const PaletteEntry& entry : kPalette) {
    image.insert(image.end(), {entry.blue, entry.green, entry.red, 0});
  }
  for (std::size_t y = N; y-- > 0;) {
    std::vector<std::uint8_t> row(kColorRow, 0);
    for (std::size_t x = 0; x < N; ++x) {
      const char letter = art[y][x];
      const auto index = static_cast<std::uint8_t>(letter == kTransparent ? 0 : IndexOf(letter));
      row[x / 2] |= static_cast<std::uint8_t>(x % 2 == 0 ? index << 4 : index);
    }
    image.insert(image.end(), row.begin(), row.end());
  }
  for (std::size_t y = N; y-- > 0;) {
    std::vector<std::uint8_t> row(kMaskRow, 0);
    for (std::size_t x = 0; x < N; ++x) {
      if (art[y][x] == kTransparent) row[x / 8] |= static_cast<std::uint8_t>(0x80u >> (x % 8));
    }
    image.insert(image.end(), row.begin(), row.end());
  }
  return image;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <output.ico>\n", argv[0]);
    return 2;
  }
  const std::vector<std::uint8_t> images[] = {IconImage(kLarge), IconImage(kSmall)};
  const std::uint8_t sizes[] = {static_cast<std::uint8_t>(kLarge.size()),
                                static_cast<std::uint8_t>(kSmall.size())};
  std::vector<std::uint8_t> file;
  PutLittleEndian(file, 0, 2);  // ICONDIR: reserved, type 1 (icon), two images
  PutLittleEndian(file, 1, 2);
  PutLittleEndian(file, 2, 2);
  std::uint32_t offset = 6 + 2 * 16;
  for (int i = 0; i < 2; ++i) {
    file.insert(file.end(), {sizes[i], sizes[i], 16, 0});  // width, height, colours, reserved
    PutLittleEndian(file, 1, 2);                           // planes
    PutLittleEndian(file, 4, 2);                           // bits per pixel
    PutLittleEndian(file, static_cast<std::uint32_t>(images[i].size()), 4);
    PutLittleEndian(file, offset, 4);
    offset += static_cast<std::uint32_t>(images[i].size());
  }
  for (const std::vector<std::uint8_t>& image : images) {
    file.insert(file.end(), image.begin(), image.end());
  }
  std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
  out.close();
  if (!out) {
    std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
    return 1;
  }
  return 0;
}
