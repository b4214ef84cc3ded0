#include "platform/picture_header.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using platform::PictureFormat;
using platform::PixelSize;
using Bytes = std::vector<std::uint8_t>;

// Little builders for the bytes of each format's header, no more than the reader needs.
Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}
Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }
Bytes Le16(unsigned v) { return {std::uint8_t(v), std::uint8_t(v >> 8)}; }
Bytes Be16(unsigned v) { return {std::uint8_t(v >> 8), std::uint8_t(v)}; }
Bytes Le32(std::uint32_t v) { return Le16(v & 0xFFFF) + Le16(v >> 16); }
Bytes Be32(std::uint32_t v) { return Be16(v >> 16) + Be16(v & 0xFFFF); }
Bytes Zeros(std::size_t count) { return Bytes(count, 0); }

Bytes Bmp(std::int32_t width, std::int32_t height) {
  return Text("BM") + Zeros(12) + Le32(40) + Le32(std::uint32_t(width)) +
         Le32(std::uint32_t(height));
}
Bytes BmpCore(unsigned width, unsigned height) {
  return Text("BM") + Zeros(12) + Le32(12) + Le16(width) + Le16(height);
}
Bytes Gif(unsigned width, unsigned height) { return Text("GIF89a") + Le16(width) + Le16(height); }
Bytes Png(std::uint32_t width, std::uint32_t height) {
  return Bytes{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'} + Be32(13) + Text("IHDR") +
         Be32(width) + Be32(height);
}
Bytes Segment(std::uint8_t marker, std::size_t payload) {
  return Bytes{0xFF, marker} + Be16(unsigned(payload + 2)) + Zeros(payload);
}
Bytes Frame(std::uint8_t marker, unsigned width, unsigned height) {
  return Bytes{0xFF, marker} + Be16(17) + Bytes{8} + Be16(height) + Be16(width);
}
const Bytes kJpegStart{0xFF, 0xD8};
Bytes Jpeg(unsigned width, unsigned height) {
  return kJpegStart + Segment(0xE0, 14) + Segment(0xDB, 65) + Frame(0xC0, width, height);
}
// A directory with the given entries, `gap` bytes behind the 8-byte file header.
Bytes Tiff(bool littleEndian, const std::vector<Bytes>& entries, std::size_t gap = 0) {
  const auto u16 = littleEndian ? Le16 : Be16;
  const auto u32 = littleEndian ? Le32 : Be32;
  Bytes file = (littleEndian ? Text("II") + Le16(42) : Text("MM") + Be16(42)) +
               u32(std::uint32_t(8 + gap)) + Zeros(gap) + u16(unsigned(entries.size()));
  for (const Bytes& entry : entries) file = file + entry;
  return file;
}
Bytes TiffEntry(bool littleEndian, unsigned tag, unsigned type, std::uint32_t value) {
  const auto u16 = littleEndian ? Le16 : Be16;
  const auto u32 = littleEndian ? Le32 : Be32;
  // A short sits at the start of the value field, in the file's byte order.
  const Bytes field = type == 3 ? u16(value) + Zeros(2) : u32(value);
  return u16(tag) + u16(type) + u32(1) + field;
}
Bytes TiffSized(bool littleEndian, unsigned type, std::uint32_t width, std::uint32_t height,
                std::size_t gap = 0) {
  return Tiff(littleEndian,
              {TiffEntry(littleEndian, 254, 4, 0), TiffEntry(littleEndian, 256, type, width),
               TiffEntry(littleEndian, 257, type, height), TiffEntry(littleEndian, 259, 3, 1)},
              gap);
}
Bytes IcoEntry(std::uint8_t width, std::uint8_t height) { return Bytes{width, height} + Zeros(14); }
Bytes Ico(const std::vector<Bytes>& entries) {
  Bytes file = Bytes{0, 0, 1, 0} + Le16(unsigned(entries.size()));
  for (const Bytes& entry : entries) file = file + entry;
  return file;
}

std::string Describe(const std::optional<platform::PictureHeader>& header) {
  if (!header) return "nothing";
  static const char* const kNames[] = {"BMP", "GIF", "JPEG", "PNG", "TIFF", "ICO"};
  return std::string(kNames[int(header->format)]) + " " + std::to_string(header->declared.width) +
         "x" + std::to_string(header->declared.height);
}
std::string Describe(PictureFormat format, PixelSize size) {
  return Describe(platform::PictureHeader{format, size});
}

struct Recognised {
  const char* what;
  Bytes bytes;
  PictureFormat format;
  PixelSize declared;
};

std::vector<Recognised> RecognisedHeaders() {
  return {
      {"BMP", Bmp(640, 480), PictureFormat::Bmp, {640, 480}},
      {"BMP stored top down", Bmp(640, -480), PictureFormat::Bmp, {640, 480}},
      {"BMP with the old core header", BmpCore(320, 200), PictureFormat::Bmp, {320, 200}},
      {"GIF", Gif(500, 300), PictureFormat::Gif, {500, 300}},
      {"GIF87a", Text("GIF87a") + Le16(2) + Le16(3), PictureFormat::Gif, {2, 3}},
      {"PNG", Png(4000, 3000), PictureFormat::Png, {4000, 3000}},
      {"PNG declaring 100000x100000", Png(100000, 100000), PictureFormat::Png, {100000, 100000}},
      {"JPEG baseline", Jpeg(6000, 4000), PictureFormat::Jpeg, {6000, 4000}},
      {"JPEG progressive, tables first",
       kJpegStart + Segment(0xDB, 65) + Segment(0xC4, 30) + Frame(0xC2, 1024, 768),
       PictureFormat::Jpeg,
       {1024, 768}},
      {"JPEG with fill bytes and a restart interval",
       kJpegStart + Bytes{0xFF, 0xFF} + Segment(0xDD, 2) + Bytes{0xFF} + Frame(0xC1, 7, 9),
       PictureFormat::Jpeg,
       {7, 9}},
      {"JPEG behind 100 KB of metadata",
       kJpegStart + Segment(0xE1, 65000) + Segment(0xE2, 40000) + Frame(0xC0, 800, 600),
       PictureFormat::Jpeg,
       {800, 600}},
      {"TIFF, little-endian shorts",
       TiffSized(true, 3, 1200, 900),
       PictureFormat::Tiff,
       {1200, 900}},
      {"TIFF, big-endian shorts", TiffSized(false, 3, 1200, 900), PictureFormat::Tiff, {1200, 900}},
      {"TIFF, big-endian longs", TiffSized(false, 4, 70000, 3), PictureFormat::Tiff, {70000, 3}},
      {"TIFF, directory behind the pixels",
       TiffSized(true, 4, 16, 8, 100000),
       PictureFormat::Tiff,
       {16, 8}},
      {"ICO, the largest entry",
       Ico({IcoEntry(16, 16), IcoEntry(48, 48), IcoEntry(32, 32)}),
       PictureFormat::Ico,
       {48, 48}},
      {"ICO, 0 meaning 256",
       Ico({IcoEntry(32, 32), IcoEntry(0, 0)}),
       PictureFormat::Ico,
       {256, 256}},
  };
}

TEST(PictureHeader, ReadsEachFormatsDeclaredSize) {
  for (const Recognised& c : RecognisedHeaders()) {
    EXPECT_EQ(Describe(platform::ReadPictureHeader(c.bytes)), Describe(c.format, c.declared))
        << c.what;
  }
}

TEST(PictureHeader, AHeaderCutShortIsNothing) {
  for (const Recognised& c : RecognisedHeaders()) {
    // The builders make no more bytes than the header needs, so every shorter start is cut.
    for (std::size_t length = 0; length < c.bytes.size(); ++length) {
      const auto header = platform::ReadPictureHeader({c.bytes.data(), length});
      if (header) {
        ADD_FAILURE() << c.what << " cut to " << length << " of " << c.bytes.size()
                      << " bytes: got " << Describe(header) << ", expected nothing";
        break;
      }
    }
  }
}

TEST(PictureHeader, NonPicturesAndBrokenHeadersAreNothing) {
  struct Case {
    const char* what;
    Bytes bytes;
  };
  const Case cases[] = {
      {"empty", {}},
      {"text", Text("Hello, world. This is no picture at all.")},
      {"WebP", Text("RIFF") + Le32(100) + Text("WEBPVP8 ") + Zeros(20)},
      {"PDF", Text("%PDF-1.7\n") + Zeros(30)},
      {"GIF of an unknown version", Text("GIF88a") + Le16(2) + Le16(3)},
      {"PNG without IHDR first", Bytes{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'} + Be32(13) +
                                     Text("tEXt") + Be32(1) + Be32(1)},
      {"PNG wider than any int", Png(0x80000000u, 1)},
      {"BMP with an unknown header size", Text("BM") + Zeros(12) + Le32(8) + Zeros(8)},
      {"BMP of negative width", Bmp(-5, 5)},
      {"JPEG whose scan starts before any frame",
       kJpegStart + Segment(0xDB, 65) + Segment(0xDA, 10) + Frame(0xC0, 8, 8)},
      {"JPEG ending before any frame", kJpegStart + Segment(0xE0, 14) + Bytes{0xFF, 0xD9}},
      {"JPEG with garbage where a marker belongs", kJpegStart + Segment(0xE0, 14) + Zeros(20)},
      {"JPEG with a segment length below 2", kJpegStart + Bytes{0xFF, 0xE0, 0, 1} + Zeros(20)},
      {"JPEG of nothing but fill bytes", kJpegStart + Bytes(5000, 0xFF)},
      {"TIFF without its length", Tiff(true, {TiffEntry(true, 256, 3, 5)})},
      {"TIFF with a directory past the end", Text("II") + Le16(42) + Le32(1000) + Zeros(8)},
      {"TIFF with a width of a strange type",
       Tiff(true, {TiffEntry(true, 256, 5, 5), TiffEntry(true, 257, 3, 5)})},
      {"ICO of no entries", Ico({})},
      {"ICO with fewer entries than it counts", Bytes{0, 0, 1, 0} + Le16(3) + IcoEntry(16, 16)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Describe(platform::ReadPictureHeader(c.bytes)), "nothing") << c.what;
  }
}

TEST(PictureHeader, ReadsAFileOnlyWhereItsHeaderIs) {
  // A 2 GB TIFF whose directory is at its end: only the header and the directory are read.
  constexpr std::uint64_t kDirectory = 2'000'000'000;
  const Bytes start = Text("II") + Le16(42) + Le32(std::uint32_t(kDirectory));
  const Bytes small = TiffSized(true, 3, 3000, 2000);
  const Bytes directory(small.begin() + 8, small.end());
  std::uint64_t bytesRead = 0;
  const auto header = platform::ReadPictureHeader(
      [&](std::uint64_t offset, std::span<std::uint8_t> into) -> std::size_t {
        bytesRead += into.size();
        const Bytes& part = offset >= kDirectory ? directory : start;
        const std::uint64_t at = offset >= kDirectory ? offset - kDirectory : offset;
        std::size_t count = 0;
        for (; count < into.size() && at + count < part.size(); ++count) {
          into[count] = part[at + count];
        }
        return count;
      });
  EXPECT_EQ(Describe(header), Describe(PictureFormat::Tiff, {3000, 2000}));
  EXPECT_LT(bytesRead, 200u) << "read " << bytesRead << " bytes for a header";
}

TEST(PictureHeader, PlausibleSizes) {
  struct Case {
    PixelSize size;
    bool plausible;
  };
  const Case cases[] = {
      {{1, 1}, true},
      {{6000, 4000}, true},
      {{250'000'000, 1}, true},
      {{1, 250'000'000}, true},
      {{15'811, 15'811}, true},  // just under the cap
      {{15'812, 15'812}, false},
      {{250'000'001, 1}, false},
      {{100'000, 100'000}, false},
      {{INT_MAX, INT_MAX}, false},
      {{0, 480}, false},
      {{640, 0}, false},
      {{-640, -480}, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(platform::IsPlausibleSize(c.size), c.plausible)
        << c.size.width << "x" << c.size.height;
  }
}

}  // namespace
