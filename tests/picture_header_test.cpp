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
#include "header_bytes.h"
#include "image.h"
#include "platform/pictures/byte_order.h"
#include "platform/pictures/colour_profile.h"
#include "platform/pictures/picture_budget.h"

namespace {

using namespace header_bytes;
using platform::PixelSize;

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

}  // namespace
