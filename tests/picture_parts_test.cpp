// Floods of tiny parts: each costs a decoder something while costing the file a few bytes, so
// each format's parts are counted, and a file past the bound is refused while its honest
// neighbour is shown.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "header_bytes.h"
#include "platform/pictures/picture_budget.h"

namespace {

using namespace header_bytes;

Bytes Repeated(const Bytes& part, std::uint64_t times) {
  Bytes parts;
  parts.reserve(part.size() * times);
  for (std::uint64_t i = 0; i < times; ++i) parts.insert(parts.end(), part.begin(), part.end());
  return parts;
}
Bytes Chunk(const std::string& type, const Bytes& data) {
  return Be32(std::uint32_t(data.size())) + Text(type) + data + Checksum(Text(type) + data);
}
// A 64 x 48 grey PNG with `chunks` before its end.
Bytes PngWithChunks(const Bytes& chunks) { return Png(64, 48, 8, 0) + chunks + Chunk("IEND", {}); }
// An 8 x 8 GIF of `frames` frames, `before` coming before each.
Bytes GifWith(const Bytes& before, int frames) {
  Bytes file = Gif(8, 8, {});
  const Bytes frame = Gif(8, 8, {{0, 0, 8, 8}});
  const Bytes image(frame.begin() + std::ptrdiff_t(file.size()), frame.end());
  for (int i = 0; i < frames; ++i) file = file + before + image;
  return file + Bytes{0x3B};
}
// The same of one frame, with `after` behind it.
Bytes GifAfter(const Bytes& after) {
  Bytes file = GifWith({}, 1);
  file.pop_back();
  return file + after + Bytes{0x3B};
}
Bytes Comment(int subBlocks) {
  return Bytes{0x21, 0xFE} + Repeated({1, 'c'}, subBlocks) + Bytes{0};
}
// A 64 x 48 grey TIFF of one strip with `tags` private tags, and `pages` empty directories after.
Bytes TiffWith(unsigned tags, unsigned pages) {
  std::vector<Bytes> entries{TiffEntry(true, 256, 3, 64), TiffEntry(true, 257, 3, 48),
                             TiffEntry(true, 273, 4, 8), TiffEntry(true, 279, 4, 3072)};
  for (unsigned t = 0; t < tags; ++t) entries.push_back(TiffEntry(true, 40000 + t, 3, 0));
  Bytes file = Tiff(true, entries);
  for (unsigned p = 0; p < pages; ++p) {
    file = file + Le32(std::uint32_t(file.size() + 4)) + Le16(1) + TiffEntry(true, 256, 3, 8);
  }
  return file + Le32(0) + Zeros(3072);
}
// An icon of `entries` entries, all for one 16 x 16 PNG.
Bytes IcoWith(unsigned entries) {
  const Bytes image = Png(16, 16, 8, 6) + Chunk("IEND", {});
  const Bytes entry = Bytes{16, 16, 0, 0} + Le16(1) + Le16(32) + Le32(std::uint32_t(image.size())) +
                      Le32(6 + 16 * entries);
  return Bytes{0, 0, 1, 0} + Le16(entries) + Repeated(entry, entries) + image;
}
// An 800 x 600 EMF of `records` one-pixel records and its end.
Bytes EmfWith(std::uint64_t records) {
  const Bytes pixel = Le32(15) + Le32(20) + Le32(1) + Le32(1) + Le32(0x336699);
  const Bytes end = Le32(14) + Le32(20) + Zeros(12);
  Bytes header = Emf(0, 0, 21167, 15875, std::uint32_t(108 + 20 * records + 20)) + Zeros(56);
  return header + Repeated(pixel, records) + end;
}
// A placeable WMF of `records` empty records (three words, a function that draws nothing).
Bytes WmfWith(std::uint64_t records) {
  Bytes file = Wmf(2880, 1440, 1440);
  const std::uint32_t words = std::uint32_t(9 + 3 * records + 3);
  std::copy_n(Le32(words).begin(), 4, file.begin() + 28);
  return file + Repeated(Le32(3) + Le16(0x0001), records) + Le32(3) + Le16(0);
}

TEST(PictureParts, AFloodIsRefusedAndItsHonestNeighbourShown) {
  const Bytes ztxt = Chunk("zTXt", Text("k") + Bytes{0, 0});
  struct Case {
    const char* what;
    Bytes bytes;
    bool affordable;
  };
  const Case cases[] = {
      {"PNG with 60 text chunks", PngWithChunks(Repeated(Chunk("tEXt", Text("k") + Bytes{0}), 60)),
       true},
      {"PNG with 4096 empty zTXt chunks", PngWithChunks(Repeated(ztxt, 4096)), true},
      {"PNG with 4097 empty zTXt chunks", PngWithChunks(Repeated(ztxt, 4097)), false},
      {"PNG with 4097 private chunks", PngWithChunks(Repeated(Chunk("prVt", {}), 4097)), false},
      {"GIF of 1000 frames, a comment each", GifWith(Comment(1), 1000), true},
      {"GIF with 4097 comments before its frame", GifWith(Repeated(Comment(1), 4097), 1), false},
      {"GIF with 4097 comments after its frame", GifAfter(Repeated(Comment(1), 4097)), false},
      {"GIF with a comment of 8192 sub-blocks", GifAfter(Comment(8192)), false},
      {"TIFF with 60 private tags and 100 pages", TiffWith(60, 100), true},
      {"TIFF with 1100 private tags", TiffWith(1100, 0), false},
      {"TIFF of 1100 pages", TiffWith(4, 1100), false},
      {"icon of 16 entries", IcoWith(16), true},
      {"icon of 257 entries", IcoWith(257), false},
      {"EMF of 300 000 records", EmfWith(300'000), true},
      {"EMF of a million records and one", EmfWith(1'000'001), false},
      {"WMF of a million records and one", WmfWith(1'000'001), false},
  };
  for (const Case& c : cases) {
    const auto header = platform::ReadPictureHeader(c.bytes);
    const bool affordable = header && platform::IsAffordable(*header, c.bytes.size());
    EXPECT_EQ(affordable, c.affordable)
        << c.what << ": " << Describe(header) << ", "
        << (header ? std::to_string(header->parts) + " parts" : std::string());
  }
}

TEST(PictureParts, JpegSegmentsPastTheBoundLeaveNoHeader) {
  const Bytes comment = Segment(0xFE, 0);
  EXPECT_EQ(Describe(platform::ReadPictureHeader(kJpegStart + Repeated(Segment(0xE5, 4), 20) +
                                                 Frame(0xC0, 64, 48))),
            "JPEG 64x48");
  EXPECT_EQ(Describe(platform::ReadPictureHeader(kJpegStart + Repeated(comment, 1024) +
                                                 Frame(0xC0, 64, 48))),
            "nothing");
}

// The walk stops one part past the bound: a file of a million parts costs no more reads than one
// of a few thousand.
TEST(PictureParts, TheWalkStopsPastTheBound) {
  const Bytes file = PngWithChunks(Repeated(Chunk("zTXt", Text("k") + Bytes{0, 0}), 1'000'000));
  std::uint64_t reads = 0;
  const platform::PictureFileReader counting = [&](std::uint64_t at, std::span<std::uint8_t> into) {
    ++reads;
    return platform::ReaderOf(file)(at, into);
  };
  const auto header = platform::ReadPictureHeader(counting);
  ASSERT_TRUE(header);
  EXPECT_FALSE(platform::IsAffordable(*header, file.size()));
  EXPECT_LT(reads, 3 * (platform::kMaxPngAncillaryChunks + 2));
}

}  // namespace
