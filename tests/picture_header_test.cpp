#include "platform/pictures/picture_header.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <climits>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numeric>
#include <string>
#include <vector>

#include "encoders.h"
#include "image.h"
#include "platform/pictures/byte_order.h"
#include "platform/pictures/colour_profile.h"
#include "platform/pictures/picture_budget.h"

namespace {

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

Bytes Bmp(std::int32_t width, std::int32_t height, unsigned bits = 24,
          std::uint32_t compression = 0) {
  return Text("BM") + Zeros(12) + Le32(40) + Le32(std::uint32_t(width)) +
         Le32(std::uint32_t(height)) + Le16(1) + Le16(bits) + Le32(compression);
}
Bytes BmpCore(unsigned width, unsigned height, unsigned bits = 24) {
  return Text("BM") + Zeros(12) + Le32(12) + Le16(width) + Le16(height) + Le16(1) + Le16(bits);
}
struct GifFrame {
  unsigned left, top, width, height;
  std::size_t coded = 0;  // bytes of LZW data; 0: the least its pixels need
  bool colourTable = false;
};
// A colour table of two entries: flags, and the entries.
const Bytes kGifColourTable{0x80, 0, 0, 0, 0, 0, 0};
// No trailer: decoders do without one, and every shorter start is then cut inside a frame.
Bytes Gif(unsigned width, unsigned height, const std::vector<GifFrame>& frames,
          const std::string& version = "GIF89a", bool colourTable = true) {
  Bytes file = Text(version) + Le16(width) + Le16(height) +
               (colourTable ? kGifColourTable : Bytes{0}) + Bytes{0, 0};
  for (const GifFrame& f : frames) {
    file = file + Bytes{0x2C} + Le16(f.left) + Le16(f.top) + Le16(f.width) + Le16(f.height) +
           (f.colourTable ? kGifColourTable : Bytes{0}) + Bytes{2};
    std::size_t left = f.coded != 0 ? f.coded : (f.width * f.height * 12 + 32767) / 32768;
    for (; left > 0; left -= std::min<std::size_t>(left, 255)) {
      file.push_back(std::uint8_t(std::min<std::size_t>(left, 255)));
      file.resize(file.size() + file.back());
    }
    file = file + Bytes{0};
  }
  return file;
}
Bytes Checksum(const Bytes& bytes) {
  return Be32(std::uint32_t(crc32(0, bytes.data(), uInt(bytes.size()))));
}
// The signature and the whole header chunk, with its checksum.
Bytes Png(std::uint32_t width, std::uint32_t height, std::uint8_t depth = 8,
          std::uint8_t colourType = 2) {
  const Bytes header =
      Text("IHDR") + Be32(width) + Be32(height) + Bytes{depth, colourType, 0, 0, 0};
  return Bytes{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'} + Be32(13) + header + Checksum(header);
}
Bytes Segment(std::uint8_t marker, std::size_t payload) {
  return Bytes{0xFF, marker} + Be16(unsigned(payload + 2)) + Zeros(payload);
}
// Components sampled 2 x 2, 1 x 1, 1 x 1 (4:2:0), or one grey one.
Bytes Frame(std::uint8_t marker, unsigned width, unsigned height, unsigned components = 3) {
  Bytes frame = Bytes{0xFF, marker} + Be16(8 + 3 * components) + Bytes{8} + Be16(height) +
                Be16(width) + Bytes{std::uint8_t(components)};
  for (unsigned c = 0; c < components; ++c) {
    frame =
        frame + Bytes{std::uint8_t(c + 1), std::uint8_t(c == 0 && components > 1 ? 0x22 : 0x11), 0};
  }
  return frame;
}
const Bytes kJpegStart{0xFF, 0xD8};
Bytes Jpeg(unsigned width, unsigned height, unsigned components = 3) {
  return kJpegStart + Segment(0xE0, 14) + Segment(0xDB, 65) +
         Frame(0xC0, width, height, components);
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
// `count` values: the one in the entry, or where `value` points.
Bytes TiffEntry(bool littleEndian, unsigned tag, unsigned type, std::uint32_t value,
                std::uint32_t count = 1) {
  const auto u16 = littleEndian ? Le16 : Be16;
  const auto u32 = littleEndian ? Le32 : Be32;
  // A short sits at the start of the value field, in the file's byte order.
  const Bytes field = type == 3 && count == 1 ? u16(value) + Zeros(2) : u32(value);
  return u16(tag) + u16(type) + u32(count) + field;
}
// One strip, at the file's start: the reader asks no more than that it lies in the file.
Bytes TiffSized(bool littleEndian, unsigned type, std::uint32_t width, std::uint32_t height,
                std::size_t gap = 0) {
  return Tiff(littleEndian,
              {TiffEntry(littleEndian, 254, 4, 0), TiffEntry(littleEndian, 256, type, width),
               TiffEntry(littleEndian, 257, type, height), TiffEntry(littleEndian, 259, 3, 1),
               TiffEntry(littleEndian, 273, 4, 0)},
              gap);
}
// One entry whose directory bytes say 16 x 16, and the image it points to.
Bytes Ico(const Bytes& image) {
  return Bytes{0, 0, 1, 0} + Le16(1) + Bytes{16, 16, 0, 0} + Le16(1) + Le16(32) +
         Le32(std::uint32_t(image.size())) + Le32(22) + image;
}
Bytes IcoBitmap(std::int32_t width, std::int32_t height) {
  return Le32(40) + Le32(std::uint32_t(width)) + Le32(std::uint32_t(height)) + Le16(1) + Le16(32) +
         Zeros(24);
}

Bytes Dds(std::uint32_t width, std::uint32_t height, const std::string& fourCc = "DXT1") {
  return Text("DDS ") + Le32(124) + Le32(0x1007) + Le32(height) + Le32(width) + Zeros(56) +
         Le32(32) + Le32(4) + Text(fourCc) + Zeros(40);
}

// An enhanced metafile's header: its frame in hundredths of a millimetre, its records `bytes`.
Bytes Emf(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
          std::uint32_t bytes = 1000) {
  return Le32(1) + Le32(108) + Zeros(16) + Le32(std::uint32_t(left)) + Le32(std::uint32_t(top)) +
         Le32(std::uint32_t(right)) + Le32(std::uint32_t(bottom)) + Text(" EMF") + Le32(0x10000) +
         Le32(bytes);
}
// A placeable metafile's header, its box in `unitsPerInch`, and the metafile's own header.
Bytes Wmf(unsigned right, unsigned bottom, unsigned unitsPerInch) {
  return Le32(0x9AC6CDD7) + Le16(0) + Le16(0) + Le16(0) + Le16(right) + Le16(bottom) +
         Le16(unitsPerInch) + Zeros(6) + Le16(1) + Le16(9) + Le16(0x300) + Le32(500) + Zeros(8);
}

// An APP1 segment with an EXIF block whose first directory holds the orientation.
Bytes Exif(unsigned orientation) {
  const Bytes tiff = Text("MM") + Be16(42) + Be32(8) + Be16(1) + Be16(274) + Be16(3) + Be32(1) +
                     Be16(orientation) + Zeros(2) + Be32(0);
  return Bytes{0xFF, 0xE1} + Be16(unsigned(2 + 6 + tiff.size())) + Text("Exif") + Zeros(2) + tiff;
}

std::string Describe(PixelSize size) {
  return std::to_string(size.width) + "x" + std::to_string(size.height);
}
// A switch with no default, so that -Wswitch (an error here) names any format left out.
const char* Describe(platform::PictureFormat format) {
  using enum platform::PictureFormat;
  switch (format) {
    case Bmp:
      return "BMP";
    case Gif:
      return "GIF";
    case Jpeg:
      return "JPEG";
    case Png:
      return "PNG";
    case Tiff:
      return "TIFF";
    case Ico:
      return "ICO";
    case Dds:
      return "DDS";
    case Emf:
      return "EMF";
    case Wmf:
      return "WMF";
  }
  return "no format";
}
std::string Describe(const std::optional<platform::PictureHeader>& header) {
  if (!header) return "nothing";
  std::string text = std::string(Describe(header->format)) + " " + Describe(header->natural);
  if (header->frame != header->natural || header->frameAt != platform::PixelPoint{}) {
    text += ", frame " + Describe(header->frame) + " at " + std::to_string(header->frameAt.x) +
            "," + std::to_string(header->frameAt.y);
  }
  return text;
}

struct Recognised {
  const char* what;
  Bytes bytes;
  const char* read;
  int pixelsPerInch = 96;  // the screen's, which a metafile's size on paper is taken at
};

std::vector<Recognised> RecognisedHeaders() {
  return {
      {"BMP", Bmp(640, 480), "BMP 640x480"},
      {"BMP stored top down", Bmp(640, -480), "BMP 640x480"},
      {"BMP with the old core header", BmpCore(320, 200), "BMP 320x200"},
      {"GIF", Gif(500, 300, {{0, 0, 500, 300}}), "GIF 500x300"},
      {"GIF87a", Gif(2, 3, {{0, 0, 2, 3}}, "GIF87a"), "GIF 2x3"},
      {"GIF whose first frame is smaller than its screen", Gif(500, 300, {{10, 20, 100, 50}}),
       "GIF 500x300, frame 100x50 at 10,20"},
      {"GIF whose first frame leaves its screen", Gif(16, 16, {{8, 0, 40, 10}}),
       "GIF 48x16, frame 40x10 at 8,0"},
      {"GIF with a colour table and an extension",
       Text("GIF89a") + Le16(4) + Le16(4) + Bytes{0x80, 0, 0} + Zeros(6) +
           Bytes{0x21, 0xF9, 4, 1, 0, 0, 0, 0} + Bytes{0x2C} + Le16(0) + Le16(0) + Le16(4) +
           Le16(4) + Bytes{0, 2, 1, 0, 0},
       "GIF 4x4"},
      {"PNG", Png(4000, 3000), "PNG 4000x3000"},
      {"PNG declaring 100000x100000", Png(100000, 100000), "PNG 100000x100000"},
      {"JPEG baseline", Jpeg(6000, 4000), "JPEG 6000x4000"},
      {"JPEG progressive, tables first",
       kJpegStart + Segment(0xDB, 65) + Segment(0xC4, 30) + Frame(0xC2, 1024, 768),
       "JPEG 1024x768"},
      {"JPEG with fill bytes and a restart interval",
       kJpegStart + Bytes{0xFF, 0xFF} + Segment(0xDD, 2) + Bytes{0xFF} + Frame(0xC1, 7, 9, 1),
       "JPEG 7x9"},
      {"JPEG behind 100 KB of metadata",
       kJpegStart + Segment(0xE1, 65000) + Segment(0xE2, 40000) + Frame(0xC0, 800, 600),
       "JPEG 800x600"},
      {"TIFF, little-endian shorts", TiffSized(true, 3, 1200, 900), "TIFF 1200x900"},
      {"TIFF, big-endian shorts", TiffSized(false, 3, 1200, 900), "TIFF 1200x900"},
      {"TIFF, big-endian longs", TiffSized(false, 4, 70000, 3), "TIFF 70000x3"},
      {"TIFF, directory behind the pixels", TiffSized(true, 4, 16, 8, 100000), "TIFF 16x8"},
      // The directory says 16 x 16; the decoder decodes what the entry holds.
      {"ICO holding a PNG", Ico(Png(48, 40, 8, 6) + Zeros(7)), "ICO 48x40"},
      {"ICO holding a bitmap and its mask", Ico(IcoBitmap(32, 64)), "ICO 32x32"},
      {"DDS, block-compressed", Dds(640, 480), "DDS 640x480"},
      // A photo taken upright, stored lying on its side: its natural size is the upright one.
      {"JPEG turned by its EXIF orientation", kJpegStart + Exif(6) + Frame(0xC0, 6000, 4000),
       "JPEG 4000x6000, frame 6000x4000 at 0,0"},
      {"JPEG mirrored by its EXIF orientation", kJpegStart + Exif(2) + Frame(0xC0, 60, 40),
       "JPEG 60x40"},
      {"JPEG of an unknown EXIF orientation", kJpegStart + Exif(9) + Frame(0xC0, 60, 40),
       "JPEG 60x40"},
      {"JPEG whose EXIF block is broken",
       kJpegStart + Bytes{0xFF, 0xE1} + Be16(18) + Text("Exif") + Zeros(2) + Text("MM") + Be16(42) +
           Be32(5000) + Zeros(2) + Frame(0xC0, 60, 40),
       "JPEG 60x40"},
      {"TIFF turned by its orientation",
       Tiff(true, {TiffEntry(true, 256, 3, 30), TiffEntry(true, 257, 3, 20),
                   TiffEntry(true, 273, 4, 0), TiffEntry(true, 274, 3, 8)}),
       "TIFF 20x30, frame 30x20 at 0,0"},
      {"DDS with the DX10 extension", Dds(64, 32, "DX10") + Le32(71) + Zeros(16), "DDS 64x32"},
      // 800 x 600 pixels of a 96 DPI screen, taken on paper.
      {"EMF at 96 DPI", Emf(0, 0, 21167, 15875), "EMF 800x600"},
      {"EMF at 144 DPI", Emf(0, 0, 21167, 15875), "EMF 1200x900", 144},
      {"EMF framed away from the origin", Emf(-5000, 2000, 16167, 17875), "EMF 800x600"},
      {"placeable WMF in twips at 96 DPI", Wmf(2880, 1440, 1440), "WMF 192x96"},
      {"placeable WMF in twips at 144 DPI", Wmf(2880, 1440, 1440), "WMF 288x144", 144},
  };
}

TEST(PictureHeader, ReadsWhatTheDecoderWillDecode) {
  for (const Recognised& c : RecognisedHeaders()) {
    EXPECT_EQ(Describe(platform::ReadPictureHeader(c.bytes, c.pixelsPerInch)), c.read) << c.what;
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
      // A marker that starts no segment: a decoder hunts on for the next marker, so a length
      // read from it could lead to a frame the decoder never sees.
      {"JPEG with a stuffed zero after its start",
       kJpegStart + Bytes{0xFF, 0x00, 0x00, 0x08} + Segment(0xE1, 2) + Frame(0xC0, 16, 16)},
      {"JPEG with a reserved marker", kJpegStart + Segment(0x02, 4) + Frame(0xC0, 16, 16)},
      {"JPEG with marker BF", kJpegStart + Segment(0xBF, 4) + Frame(0xC0, 16, 16)},
      {"JPEG of two components", kJpegStart + Frame(0xC0, 16, 16, 2)},
      // Decoders differ in which of two entries they keep.
      {"TIFF with two widths",
       Tiff(true, {TiffEntry(true, 256, 4, 60000), TiffEntry(true, 256, 3, 160),
                   TiffEntry(true, 257, 3, 120)})},
      {"TIFF with two samples per pixel",
       Tiff(true, {TiffEntry(true, 256, 3, 16), TiffEntry(true, 257, 3, 16),
                   TiffEntry(true, 277, 3, 1), TiffEntry(true, 277, 3, 4)})},
      {"GIF without any image", Gif(16, 16, {}) + Bytes{0x3B}},
      {"GIF whose frame has too little data for its pixels",
       Gif(16, 16, {{0, 0, 30000, 30000, 100}})},
      {"ICO of no entries", Bytes{0, 0, 1, 0} + Le16(0) + Zeros(16)},
      {"ICO pointing past its end", Ico({})},
      {"ICO holding neither a PNG nor a bitmap", Ico(Le32(12) + Zeros(36))},
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
  EXPECT_EQ(Describe(header), "TIFF 3000x2000");
  EXPECT_LT(bytesRead, 200u) << "read " << bytesRead << " bytes for a header";
}

std::uint64_t Mb(double mb) { return std::uint64_t(mb * 1e6); }

TEST(PictureHeader, RefusesWhatCostsTooMuchAndTakesHonestPicturesAtTheBudget) {
  struct Case {
    const char* what;
    Bytes bytes;
    std::uint64_t fileBytes;
    bool affordable;
  };
  const Case cases[] = {
      // Files crafted to cost gigabytes.
      {"ICO whose directory says 16 x 16, holding a 20000 x 20000 PNG",
       Ico(Png(20000, 20000) + Zeros(7)), Mb(1.2), false},
      {"GIF of a 16 x 16 screen whose first frame is 30000 x 30000",
       Gif(16, 16, {{0, 0, 30000, 30000, 609000}}), Mb(0.609), false},
      {"16-bit RGBA PNG of 15800 x 15800", Png(15800, 15800, 16, 6), Mb(2.0), false},
      {"RLE8 BMP of 15811 x 15811 that ends at once", Bmp(15811, 15811, 8, 1), 60, false},
      {"BMP core header of 15811 x 15811, 24-bit, and nothing else", BmpCore(15811, 15811), 30,
       false},
      {"JPEG declaring 16000 x 15000 in 6.4 KB", Jpeg(16000, 15000, 1), 6400, false},
      {"GIF whose frames together cost more than the budget",
       Gif(5000, 5000, std::vector<GifFrame>(7, {0, 0, 5000, 5000, 10000})), 70000, false},
      {"GIF of a 15000 x 15000 screen around a 1 x 1 frame", Gif(15000, 15000, {{0, 0, 1, 1}}), 100,
       false},
      {"TIFF of 20000 x 20000 uncompressed bytes in a small file", TiffSized(true, 3, 8000, 8000),
       1000, false},
      {"a frame of no width", Png(0, 100), 1000, false},
      {"DDS of 8192 x 8192", Dds(8192, 8192), Mb(34), false},
      {"DDS of 4096 x 4096 in too small a file", Dds(4096, 4096), Mb(1), false},
      {"EMF of a 100-metre square", Emf(0, 0, 10'000'000, 10'000'000), 1000, false},
      {"EMF declaring more records than its file holds", Emf(0, 0, 21167, 15875), 999, false},
      // Honest pictures at or near the budget, in files as small as they can honestly be.
      {"16-bit RGBA PNG at the budget", Png(4096, 5120, 16, 6), Mb(0.17), true},
      {"16-bit RGBA PNG a row beyond it", Png(4096, 5121, 16, 6), Mb(1), false},
      {"grey JPEG of 168 megapixels", Jpeg(12952, 12952, 1), Mb(0.66), true},
      {"24-megapixel camera JPEG", Jpeg(6000, 4000), Mb(8), true},
      {"24-megapixel progressive JPEG", kJpegStart + Frame(0xC2, 6000, 4000), Mb(8), true},
      {"GIF of four 5000 x 5000 frames",
       Gif(5000, 5000, std::vector<GifFrame>(4, {0, 0, 5000, 5000, 9200})), 37000, true},
      {"24-bit BMP of 30 megapixels", Bmp(6000, 5000), Mb(90), true},
      {"RLE8 BMP of 30 megapixels", Bmp(6000, 5000, 8, 1), 60, true},
      {"DDS of 4096 x 4096", Dds(4096, 4096), Mb(8.5), true},
      {"EMF of an A0 poster", Emf(0, 0, 84100, 118900), 1000, true},
  };
  for (const Case& c : cases) {
    const auto header = platform::ReadPictureHeader(c.bytes);
    ASSERT_TRUE(header) << c.what;
    EXPECT_EQ(platform::IsAffordable(*header, c.fileBytes), c.affordable)
        << c.what << ": " << Describe(header) << ", " << header->decodedBytes
        << " bytes decoded, at least " << header->leastFileBytes << " bytes of file";
  }
}

// A PNG header of the size, whole, and a chunk after it with `data`.
Bytes PngWith(std::uint32_t width, std::uint32_t height, const std::string& type, const Bytes& data,
              std::uint8_t depth = 8, std::uint8_t colourType = 0) {
  return Png(width, height, depth, colourType) + Be32(std::uint32_t(data.size())) + Text(type) +
         data + Zeros(4);
}
// A 64 x 48 grey TIFF whose one strip of 3072 bytes lies at 200, with `more` entries; 3272 bytes.
constexpr std::uint64_t kGreyTiffBytes = 3272;
Bytes GreyTiff(const std::vector<Bytes>& more) {
  std::vector<Bytes> entries{TiffEntry(true, 256, 3, 64), TiffEntry(true, 257, 3, 48),
                             TiffEntry(true, 258, 3, 8)};
  entries.insert(entries.end(), more.begin(), more.end());
  return Tiff(true, entries);
}
const Bytes kOneStrip[] = {TiffEntry(true, 273, 4, 200), TiffEntry(true, 279, 4, 3072)};
// A progressive JPEG of `scans` scans, each with a stuffed zero and a restart marker in its data.
Bytes ProgressiveJpeg(unsigned side, int scans) {
  Bytes file = kJpegStart + Frame(0xC2, side, side);
  for (int scan = 0; scan < scans; ++scan) {
    file = file + Segment(0xDA, 10) + Bytes{0x12, 0xFF, 0x00, 0x34, 0xFF, 0xD0, 0x56};
  }
  return file + Bytes{0xFF, 0xD9};
}

TEST(PictureHeader, RefusesWhatWouldCrashOrStallADecoderAndTakesItsHonestNeighbour) {
  struct Case {
    const char* what;
    Bytes bytes;
    std::uint64_t fileBytes;  // 0: the bytes' own
    bool affordable;
  };
  const Bytes itxtStart = Text("XML:com.adobe.xmp") + Bytes{0};
  const Case cases[] = {
      {"GIF with no colour table at all", Gif(64, 48, {{0, 0, 64, 48}}, "GIF89a", false), 0, false},
      {"GIF whose frame brings its own table",
       Gif(64, 48, {{0, 0, 64, 48, 0, true}}, "GIF89a", false), 0, true},
      {"GIF whose second frame has no table",
       Gif(64, 48, {{0, 0, 64, 48, 0, true}, {0, 0, 64, 48}}, "GIF89a", false), 0, false},
      {"GIF of 1001 frames", Gif(64, 48, std::vector<GifFrame>(1001, {0, 0, 64, 48})), 0, false},
      {"GIF of 1000 frames", Gif(64, 48, std::vector<GifFrame>(1000, {0, 0, 64, 48})), 0, true},
      {"TIFF with tiles of 0x7FFFFFF0 beside its strips",
       GreyTiff({kOneStrip[0], kOneStrip[1], TiffEntry(true, 322, 4, 0x7FFFFFF0),
                 TiffEntry(true, 323, 4, 0x7FFFFFF0)}),
       kGreyTiffBytes, false},
      {"TIFF in one 256 x 256 tile",
       GreyTiff({TiffEntry(true, 322, 3, 256), TiffEntry(true, 323, 3, 256),
                 TiffEntry(true, 324, 4, 200), TiffEntry(true, 325, 4, 3072)}),
       kGreyTiffBytes, true},
      {"TIFF in one strip", GreyTiff({kOneStrip[0], kOneStrip[1]}), kGreyTiffBytes, true},
      {"TIFF of no strips", GreyTiff({}), kGreyTiffBytes, false},
      {"TIFF of 16-row strips, and one of them",
       GreyTiff({kOneStrip[0], TiffEntry(true, 278, 3, 16), kOneStrip[1]}), kGreyTiffBytes, false},
      {"TIFF whose strip runs past the file",
       GreyTiff({kOneStrip[0], TiffEntry(true, 279, 4, 3073)}), kGreyTiffBytes, false},
      {"TIFF with a description of 0x7FFFFFFF bytes",
       GreyTiff({TiffEntry(true, 270, 2, 100, 0x7FFFFFFF), kOneStrip[0], kOneStrip[1]}),
       kGreyTiffBytes, false},
      {"TIFF with an ICC profile of 0x7FFFFFF0 bytes",
       GreyTiff({kOneStrip[0], kOneStrip[1], TiffEntry(true, 34675, 7, 100, 0x7FFFFFF0)}),
       kGreyTiffBytes, false},
      {"TIFF with a description of 100 bytes",
       GreyTiff({TiffEntry(true, 270, 2, 100, 100), kOneStrip[0], kOneStrip[1]}), kGreyTiffBytes,
       true},
      {"PNG with 204 KB of tEXt", PngWith(64, 48, "tEXt", Text("Comment") + Zeros(204'000)), 0,
       true},
      {"PNG with 204 KB of plain iTXt",
       PngWith(64, 48, "iTXt", itxtStart + Bytes{0, 0} + Zeros(204'000)), 0, true},
      {"PNG whose chunk runs past the file", PngWith(64, 48, "tEXt", Zeros(100)), 100, false},
      {"2048 x 2048 progressive JPEG of 101 scans", ProgressiveJpeg(2048, 101), Mb(8), false},
      {"2048 x 2048 progressive JPEG of 100 scans", ProgressiveJpeg(2048, 100), Mb(8), true},
      {"4000 x 4000 progressive JPEG of 27 scans", ProgressiveJpeg(4000, 27), Mb(8), false},
      {"4000 x 4000 progressive JPEG of 26 scans", ProgressiveJpeg(4000, 26), Mb(8), true},
      {"ICO holding an 8-bit 6476 x 6476 PNG", Ico(Png(6476, 6476) + Zeros(7)), Mb(1), false},
      {"the same PNG alone", Png(6476, 6476), Mb(1), true},
      {"ICO holding an 8-bit 4579 x 4579 PNG", Ico(Png(4579, 4579) + Zeros(7)), Mb(1), true},
      {"ICO holding a 16-bit RGBA 4579 x 4579 PNG", Ico(Png(4579, 4579, 16, 6) + Zeros(7)), Mb(1),
       false},
      {"the same PNG alone", Png(4579, 4579, 16, 6), Mb(1), true},
  };
  for (const Case& c : cases) {
    const auto header = platform::ReadPictureHeader(c.bytes);
    const bool affordable =
        header && platform::IsAffordable(*header, c.fileBytes != 0 ? c.fileBytes : c.bytes.size());
    EXPECT_EQ(affordable, c.affordable)
        << c.what << ": " << Describe(header) << ", "
        << (header ? std::to_string(header->decodedBytes) + " bytes decoded, at least " +
                         std::to_string(header->leastFileBytes) + " bytes of file, " +
                         std::to_string(header->passes) + " passes"
                   : "");
  }
}

Bytes Deflated(const Bytes& bytes) {
  uLongf size = compressBound(uLong(bytes.size()));
  Bytes deflated(size);
  compress2(deflated.data(), &size, bytes.data(), uLong(bytes.size()), 9);
  deflated.resize(size);
  return deflated;
}
// Text as cameras and editors write it (EXIF in hexadecimal, XMP): deflate leaves most of it.
Bytes HonestText(std::size_t bytes) {
  Bytes text(bytes);
  std::uint32_t state = 7;
  for (std::uint8_t& c : text) {
    state = state * 1103515245u + 12345u;
    c = std::uint8_t("0123456789abcdef \n"[(state >> 16) % 18]);
  }
  return text;
}
// A zlib stream of `bytes` zeros, deflated as tightly as deflate goes.
Bytes DeflatedZeros(std::uint64_t bytes) {
  z_stream z{};
  deflateInit(&z, 9);
  Bytes zeros(1 << 20), out(1 << 16), stream;
  for (std::uint64_t left = bytes; left > 0 || z.avail_in > 0;) {
    if (z.avail_in == 0) {
      z.next_in = zeros.data();
      z.avail_in = uInt(std::min<std::uint64_t>(left, zeros.size()));
      left -= z.avail_in;
    }
    z.next_out = out.data();
    z.avail_out = uInt(out.size());
    deflate(&z, Z_NO_FLUSH);
    stream.insert(stream.end(), out.begin(), out.end() - z.avail_out);
  }
  for (int result = Z_OK; result != Z_STREAM_END;) {
    z.next_out = out.data();
    z.avail_out = uInt(out.size());
    result = deflate(&z, Z_FINISH);
    stream.insert(stream.end(), out.begin(), out.end() - z.avail_out);
  }
  deflateEnd(&z);
  return stream;
}

// A decoder keeps compressed text and profiles inflated: they count what they inflate to, and the
// count stops where the budget ends, so a bomb costs no more than that.
TEST(PictureHeader, CompressedChunksCountWhatTheyInflateTo) {
  const Bytes text = Deflated(HonestText(300'000));
  const Bytes bomb = DeflatedZeros(200ull << 20);
  const Bytes itxt = Text("XML:com.adobe.xmp") + Bytes{0, 1, 0} + Text("en") + Bytes{0, 0};
  const Bytes ztxt = Text("Raw profile type exif") + Bytes{0, 0};
  struct Case {
    const char* what;
    Bytes bytes;
    bool affordable;
  };
  const Case cases[] = {
      {"zTXt of 300 KB of text", PngWith(64, 48, "zTXt", ztxt + text), true},
      {"compressed iTXt of 300 KB of text", PngWith(64, 48, "iTXt", itxt + text), true},
      {"zTXt inflating to 200 MiB", PngWith(64, 48, "zTXt", ztxt + bomb), false},
      {"compressed iTXt inflating to 200 MiB", PngWith(64, 48, "iTXt", itxt + bomb), false},
      {"iCCP inflating to 200 MiB", PngWith(64, 48, "iCCP", Text("ICC") + Bytes{0, 0} + bomb),
       false},
      // A decoder drops a chunk it cannot inflate.
      {"zTXt of 204 KB that is no zlib stream", PngWith(64, 48, "zTXt", ztxt + Zeros(204'000)),
       true},
      {"iTXt whose language tag runs past its end",
       PngWith(64, 48, "iTXt", Text("XML:com.adobe.xmp") + Bytes{0, 1, 0} + Text("en")), true},
  };
  for (const Case& c : cases) {
    const auto header = platform::ReadPictureHeader(c.bytes);
    ASSERT_TRUE(header) << c.what;
    EXPECT_EQ(platform::IsAffordable(*header, c.bytes.size()), c.affordable)
        << c.what << ": " << header->decodedBytes << " bytes decoded";
    EXPECT_LT(header->decodedBytes, platform::kMaxDecodedBytes + (1 << 20)) << c.what;
  }
  EXPECT_GT(text.size() * 1032, platform::kMaxDecodedBytes) << "text that inflates little";
}

// The header's checksum is checked, since the budget goes by the header; the other chunks'
// are the decoder's business.
TEST(PictureHeader, APngHeaderCarriesItsChecksum) {
  Bytes flipped = Png(64, 48);
  flipped.back() ^= 1;
  Bytes longer = Png(64, 48);
  longer[11] = 14;
  const std::pair<const char*, Bytes> cases[] = {
      {"PNG 64x48", Png(64, 48)},
      {"nothing", flipped},
      {"nothing", longer},
      {"PNG 64x48", PngWith(64, 48, "tEXt", Text("Comment") + Bytes{0} + Text("hello"))},
  };
  for (const auto& [read, bytes] : cases) {
    EXPECT_EQ(Describe(platform::ReadPictureHeader(bytes)), read);
  }
}

TEST(PictureHeader, FlatPicturesOfEveryFormatFitTheirFiles) {
  // One colour all over: each format's best compression, which the least file size allows.
  pictures::Image flat(3000, 2000);
  flat.Shade([](double, double) { return pictures::Hex(0x336699); });
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "flat-pictures";
  std::filesystem::create_directories(folder);
  for (const auto format :
       {pictures::Format::Jpeg, pictures::Format::ProgressiveJpeg, pictures::Format::Png,
        pictures::Format::PalettePng, pictures::Format::Bmp, pictures::Format::PaletteBmp,
        pictures::Format::Gif, pictures::Format::Tiff}) {
    const std::filesystem::path path = folder / ("flat" + std::to_string(int(format)));
    pictures::Write(flat, format, path);
    std::ifstream file(path, std::ios::binary);
    const Bytes bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const auto header = platform::ReadPictureHeader(bytes);
    EXPECT_EQ(Describe(header).substr(Describe(header).find(' ') + 1), "3000x2000")
        << "format " << int(format);
    EXPECT_TRUE(header && platform::IsAffordable(*header, bytes.size()))
        << "format " << int(format) << ": " << bytes.size() << " bytes, at least "
        << (header ? header->leastFileBytes : 0) << " expected";
  }
  std::filesystem::remove_all(folder);
}

TEST(PictureHeader, FramesADecoderReportsCostTheirPixelFormat) {
  struct Case {
    PixelSize size;
    unsigned bits;
    bool affordable;
  };
  const Case cases[] = {
      {{1, 1}, 32, true},
      {{6000, 4000}, 24, true},
      {{4096, 5120}, 64, true},
      {{4096, 5121}, 64, false},
      {{12952, 12952}, 1, true},
      {{12953, 12953}, 1, false},
      {{100'000, 100'000}, 8, false},
      {{INT_MAX, INT_MAX}, 32, false},
      {{0, 480}, 32, false},
      {{640, 0}, 32, false},
      {{-640, -480}, 32, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(platform::IsAffordableFrame(c.size, c.bits), c.affordable)
        << Describe(c.size) << " at " << c.bits << " bits";
  }
}

// Colour profiles. A JPEG of 64 x 48 with `segments` before its frame.
Bytes JpegWith(const Bytes& segments) {
  return kJpegStart + segments + Segment(0xDB, 65) + Frame(0xC0, 64, 48);
}
// Piece `number` of `count` of a JPEG's profile.
Bytes IccChunk(unsigned number, unsigned count, const Bytes& piece) {
  return Bytes{0xFF, 0xE2} + Be16(unsigned(2 + 14 + piece.size())) + Text("ICC_PROFILE") +
         Bytes{0, std::uint8_t(number), std::uint8_t(count)} + piece;
}
// The profile in `count` pieces, numbered in the order `order` gives.
Bytes IccChunks(const Bytes& profile, const std::vector<unsigned>& order, unsigned count) {
  const std::size_t piece = (profile.size() + count - 1) / count;
  Bytes segments;
  for (const unsigned number : order) {
    const auto from =
        profile.begin() + std::ptrdiff_t(std::min((number - 1) * piece, profile.size()));
    const auto to = profile.begin() + std::ptrdiff_t(std::min(number * piece, profile.size()));
    segments = segments + IccChunk(number, count, Bytes(from, to));
  }
  return segments;
}
// A grey TIFF with the profile behind its strip.
Bytes TiffWithProfile(const Bytes& profile) {
  Bytes file = GreyTiff(
      {kOneStrip[0], kOneStrip[1],
       TiffEntry(true, 34675, 7, std::uint32_t(kGreyTiffBytes), std::uint32_t(profile.size()))});
  file.resize(kGreyTiffBytes);
  return file + profile;
}
// An EXIF block naming a colour space, and an interoperability index.
Bytes ExifColour(unsigned colourSpace, const std::string& index) {
  const Bytes tiff = Text("MM") + Be16(42) + Be32(8) +                     // header
                     Be16(1) + TiffEntry(false, 34665, 4, 26) + Be32(0) +  // at 8
                     Be16(2) + TiffEntry(false, 40961, 3, colourSpace) +   // at 26
                     TiffEntry(false, 40965, 4, 56) + Be32(0) +            //
                     Be16(1) + Be16(1) + Be16(2) + Be32(4) + Text(index) + Zeros(1) + Be32(0);
  return Bytes{0xFF, 0xE1} + Be16(unsigned(2 + 6 + tiff.size())) + Text("Exif") + Zeros(2) + tiff;
}

TEST(ColourProfile, TheEmbeddedProfileIsReadWholeOrNotAtAll) {
  const Bytes adobe = platform::AdobeRgbProfile();
  const Bytes srgb = platform::SrgbProfile();
  ASSERT_TRUE(platform::IsRgbProfile(adobe));
  ASSERT_TRUE(platform::IsRgbProfile(srgb));
  Bytes cut = adobe;
  cut.resize(cut.size() - 8);
  Bytes cmyk = adobe;
  std::copy_n("CMYK", 4, cmyk.begin() + 16);
  Bytes huge = adobe;  // a profile that says it is 4 MiB and a byte
  huge.resize(platform::kMaxProfileBytes + 1);
  std::copy_n(Be32(std::uint32_t(huge.size())).begin(), 4, huge.begin());
  std::vector<unsigned> hugeOrder(65);
  std::iota(hugeOrder.begin(), hugeOrder.end(), 1u);
  Bytes cutTiff = TiffWithProfile(srgb);
  cutTiff.pop_back();
  Bytes brokenStream = Deflated(adobe);
  brokenStream.resize(brokenStream.size() / 2);

  struct Case {
    const char* what;
    Bytes file;
    std::optional<Bytes> profile;
  };
  const Case cases[] = {
      {"JPEG, one piece", JpegWith(IccChunks(adobe, {1}, 1)), adobe},
      {"JPEG, three pieces", JpegWith(IccChunks(srgb, {1, 2, 3}, 3)), srgb},
      {"JPEG, pieces out of order", JpegWith(IccChunks(srgb, {3, 1, 2}, 3)), srgb},
      {"JPEG, a piece missing", JpegWith(IccChunks(srgb, {1, 3}, 3)), std::nullopt},
      {"JPEG, a piece twice", JpegWith(IccChunks(srgb, {1, 2, 2}, 3)), std::nullopt},
      {"JPEG, counts that disagree", JpegWith(IccChunks(srgb, {1}, 2) + IccChunks(srgb, {2}, 3)),
       std::nullopt},
      {"JPEG, profile cut short", JpegWith(IccChunks(cut, {1}, 1)), std::nullopt},
      {"JPEG, profile padded by 64 bytes", JpegWith(IccChunks(adobe + Zeros(64), {1}, 1)), adobe},
      {"JPEG, CMYK profile", JpegWith(IccChunks(cmyk, {1}, 1)), std::nullopt},
      {"JPEG, profile past the limit",
       JpegWith(IccChunks(huge, {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17,
                                 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34,
                                 35, 36, 37, 38, 39, 40, 41, 42, 43, 44, 45, 46, 47, 48, 49, 50, 51,
                                 52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 62, 63, 64, 65},
                          65)),
       std::nullopt},
      {"PNG, deflated", PngWith(64, 48, "iCCP", Text("ICC") + Bytes{0, 0} + Deflated(adobe)),
       adobe},
      {"PNG, stream cut short", PngWith(64, 48, "iCCP", Text("ICC") + Bytes{0, 0} + brokenStream),
       std::nullopt},
      {"PNG, inflating past the limit",
       PngWith(64, 48, "iCCP", Text("ICC") + Bytes{0, 0} + Deflated(huge)), std::nullopt},
      {"TIFF, its tag", TiffWithProfile(srgb), srgb},
      {"TIFF, profile cut at the file's end", cutTiff, std::nullopt},
  };
  for (const Case& c : cases) {
    const auto header = platform::ReadPictureHeader(c.file);
    ASSERT_TRUE(header) << c.what;
    EXPECT_EQ(platform::ProfileOf(platform::ReaderOf(c.file), header->colour), c.profile) << c.what;
  }
  // The decoder keeps a JPEG's pieces: they count against the budget.
  EXPECT_EQ(platform::ReadPictureHeader(JpegWith(IccChunks(adobe, {1}, 1)))->decodedBytes,
            platform::ReadPictureHeader(JpegWith({}))->decodedBytes + adobe.size());
}

// The tag table as colour engines read it: within the size the profile declares, which may be
// less than the bytes a file stores.
TEST(ColourProfile, EveryTagLiesInsideTheDeclaredSize) {
  const Bytes adobe = platform::AdobeRgbProfile();
  constexpr std::size_t kTags = 128, kFirstTag = kTags + 4;
  const auto with = [](Bytes profile, std::size_t at, const Bytes& value) {
    std::copy(value.begin(), value.end(), profile.begin() + std::ptrdiff_t(at));
    return profile;
  };
  const std::uint32_t firstTagAt = platform::Be32(&adobe[kFirstTag + 4]);
  // The first tag grown to end a byte past the profile's declared end.
  const Bytes pastTheEnd = Be32(std::uint32_t(adobe.size()) - firstTagAt + 1);
  const struct {
    const char* what;
    Bytes profile;
    bool rgb;
  } cases[] = {
      {"as written", adobe, true},
      {"no tags", with(adobe, kTags, Be32(0)), false},
      {"a tag past the end", with(adobe, kFirstTag + 8, pastTheEnd), false},
      {"a tag in the padding past the declared end",
       with(adobe + Zeros(64), kFirstTag + 8, pastTheEnd), false},
      {"a tag table larger than the profile", with(adobe, kTags, Be32(1000)), false},
      {"a Lab connection space", with(adobe, 20, Text("Lab ")), true},
      {"a version 4 header", with(adobe, 8, Be32(0x04300000)), true},
      {"padded by 64 bytes", adobe + Zeros(64), true},
      {"declaring more than it holds", Bytes(adobe.begin(), adobe.end() - 8), false},
      {"declaring less than its tag table", with(adobe, 0, Be32(kFirstTag + 11)), false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(platform::IsRgbProfile(c.profile), c.rgb) << c.what;
    const auto handedOn = platform::RgbProfile(c.profile);
    EXPECT_EQ(handedOn.has_value(), c.rgb) << c.what;
    if (handedOn) {
      EXPECT_EQ(handedOn->size(), platform::Be32(c.profile.data())) << c.what;
    }
  }
}

TEST(ColourProfile, ExifNamesAdobeRgbAsUncalibratedWithIndexR03) {
  const Bytes adobe = platform::AdobeRgbProfile();
  const Bytes srgb = platform::SrgbProfile();
  struct Case {
    const char* what;
    Bytes file;
    std::optional<Bytes> profile;
  };
  const Case cases[] = {
      {"uncalibrated, R03", JpegWith(ExifColour(0xFFFF, "R03")), adobe},
      {"sRGB, R03", JpegWith(ExifColour(1, "R03")), std::nullopt},
      {"uncalibrated, R98", JpegWith(ExifColour(0xFFFF, "R98")), std::nullopt},
      {"no colour space", JpegWith(Exif(6)), std::nullopt},
      {"an embedded profile before it",
       JpegWith(IccChunks(srgb, {1}, 1) + ExifColour(0xFFFF, "R03")), srgb},
  };
  for (const Case& c : cases) {
    const auto header = platform::ReadPictureHeader(c.file);
    ASSERT_TRUE(header) << c.what;
    EXPECT_EQ(platform::ProfileOf(platform::ReaderOf(c.file), header->colour), c.profile) << c.what;
  }
}

}  // namespace
