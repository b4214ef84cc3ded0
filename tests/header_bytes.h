#pragma once
// Little builders for the bytes of each format's header, no more than the reader needs, and the
// reader's answer in a line, shared by the header reader's tests.
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/pictures/picture_header.h"

namespace header_bytes {

using platform::PixelSize;
using Bytes = std::vector<std::uint8_t>;

inline Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}
inline Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }
inline Bytes Le16(unsigned v) { return {std::uint8_t(v), std::uint8_t(v >> 8)}; }
inline Bytes Be16(unsigned v) { return {std::uint8_t(v >> 8), std::uint8_t(v)}; }
inline Bytes Le32(std::uint32_t v) { return Le16(v & 0xFFFF) + Le16(v >> 16); }
inline Bytes Be32(std::uint32_t v) { return Be16(v >> 16) + Be16(v & 0xFFFF); }
inline Bytes Zeros(std::size_t count) { return Bytes(count, 0); }

inline Bytes Bmp(std::int32_t width, std::int32_t height, unsigned bits = 24,
                 std::uint32_t compression = 0) {
  return Text("BM") + Zeros(12) + Le32(40) + Le32(std::uint32_t(width)) +
         Le32(std::uint32_t(height)) + Le16(1) + Le16(bits) + Le32(compression);
}
inline Bytes BmpCore(unsigned width, unsigned height, unsigned bits = 24) {
  return Text("BM") + Zeros(12) + Le32(12) + Le16(width) + Le16(height) + Le16(1) + Le16(bits);
}
struct GifFrame {
  unsigned left, top, width, height;
  std::size_t coded = 0;  // bytes of LZW data; 0: the least its pixels need
  bool colourTable = false;
};
// A colour table of two entries: flags, and the entries.
inline const Bytes kGifColourTable{0x80, 0, 0, 0, 0, 0, 0};
// No trailer: decoders do without one, and every shorter start is then cut inside a frame.
inline Bytes Gif(unsigned width, unsigned height, const std::vector<GifFrame>& frames,
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
inline Bytes Checksum(const Bytes& bytes) {
  return Be32(std::uint32_t(crc32(0, bytes.data(), uInt(bytes.size()))));
}
// The signature and the whole header chunk, with its checksum.
inline Bytes Png(std::uint32_t width, std::uint32_t height, std::uint8_t depth = 8,
                 std::uint8_t colourType = 2) {
  const Bytes header =
      Text("IHDR") + Be32(width) + Be32(height) + Bytes{depth, colourType, 0, 0, 0};
  return Bytes{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'} + Be32(13) + header + Checksum(header);
}
inline Bytes Segment(std::uint8_t marker, std::size_t payload) {
  return Bytes{0xFF, marker} + Be16(unsigned(payload + 2)) + Zeros(payload);
}
// Components sampled 2 x 2, 1 x 1, 1 x 1 (4:2:0), or one grey one.
inline Bytes Frame(std::uint8_t marker, unsigned width, unsigned height, unsigned components = 3) {
  Bytes frame = Bytes{0xFF, marker} + Be16(8 + 3 * components) + Bytes{8} + Be16(height) +
                Be16(width) + Bytes{std::uint8_t(components)};
  for (unsigned c = 0; c < components; ++c) {
    frame =
        frame + Bytes{std::uint8_t(c + 1), std::uint8_t(c == 0 && components > 1 ? 0x22 : 0x11), 0};
  }
  return frame;
}
inline const Bytes kJpegStart{0xFF, 0xD8};
inline Bytes Jpeg(unsigned width, unsigned height, unsigned components = 3) {
  return kJpegStart + Segment(0xE0, 14) + Segment(0xDB, 65) +
         Frame(0xC0, width, height, components);
}
// A directory with the given entries, `gap` bytes behind the 8-byte file header.
inline Bytes Tiff(bool littleEndian, const std::vector<Bytes>& entries, std::size_t gap = 0) {
  const auto u16 = littleEndian ? Le16 : Be16;
  const auto u32 = littleEndian ? Le32 : Be32;
  Bytes file = (littleEndian ? Text("II") + Le16(42) : Text("MM") + Be16(42)) +
               u32(std::uint32_t(8 + gap)) + Zeros(gap) + u16(unsigned(entries.size()));
  for (const Bytes& entry : entries) file = file + entry;
  return file;
}
// `count` values: the one in the entry, or where `value` points.
inline Bytes TiffEntry(bool littleEndian, unsigned tag, unsigned type, std::uint32_t value,
                       std::uint32_t count = 1) {
  const auto u16 = littleEndian ? Le16 : Be16;
  const auto u32 = littleEndian ? Le32 : Be32;
  // A short sits at the start of the value field, in the file's byte order.
  const Bytes field = type == 3 && count == 1 ? u16(value) + Zeros(2) : u32(value);
  return u16(tag) + u16(type) + u32(count) + field;
}
// One strip, at the file's start: the reader asks no more than that it lies in the file.
inline Bytes TiffSized(bool littleEndian, unsigned type, std::uint32_t width, std::uint32_t height,
                       std::size_t gap = 0) {
  return Tiff(littleEndian,
              {TiffEntry(littleEndian, 254, 4, 0), TiffEntry(littleEndian, 256, type, width),
               TiffEntry(littleEndian, 257, type, height), TiffEntry(littleEndian, 259, 3, 1),
               TiffEntry(littleEndian, 273, 4, 0)},
              gap);
}
// One entry whose directory bytes say 16 x 16, and the image it points to.
inline Bytes Ico(const Bytes& image) {
  return Bytes{0, 0, 1, 0} + Le16(1) + Bytes{16, 16, 0, 0} + Le16(1) + Le16(32) +
         Le32(std::uint32_t(image.size())) + Le32(22) + image;
}
inline Bytes IcoBitmap(std::int32_t width, std::int32_t height) {
  return Le32(40) + Le32(std::uint32_t(width)) + Le32(std::uint32_t(height)) + Le16(1) + Le16(32) +
         Zeros(24);
}

inline Bytes Dds(std::uint32_t width, std::uint32_t height, const std::string& fourCc = "DXT1") {
  return Text("DDS ") + Le32(124) + Le32(0x1007) + Le32(height) + Le32(width) + Zeros(56) +
         Le32(32) + Le32(4) + Text(fourCc) + Zeros(40);
}

// An enhanced metafile's header: its frame in hundredths of a millimetre, its records `bytes`.
inline Bytes Emf(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                 std::uint32_t bytes = 1000) {
  return Le32(1) + Le32(108) + Zeros(16) + Le32(std::uint32_t(left)) + Le32(std::uint32_t(top)) +
         Le32(std::uint32_t(right)) + Le32(std::uint32_t(bottom)) + Text(" EMF") + Le32(0x10000) +
         Le32(bytes);
}
// A placeable metafile's header, its box in `unitsPerInch`, and the metafile's own header.
inline Bytes Wmf(unsigned right, unsigned bottom, unsigned unitsPerInch) {
  return Le32(0x9AC6CDD7) + Le16(0) + Le16(0) + Le16(0) + Le16(right) + Le16(bottom) +
         Le16(unitsPerInch) + Zeros(6) + Le16(1) + Le16(9) + Le16(0x300) + Le32(500) + Zeros(8);
}

// An APP1 segment with an EXIF block whose first directory holds the orientation.
inline Bytes Exif(unsigned orientation) {
  const Bytes tiff = Text("MM") + Be16(42) + Be32(8) + Be16(1) + Be16(274) + Be16(3) + Be32(1) +
                     Be16(orientation) + Zeros(2) + Be32(0);
  return Bytes{0xFF, 0xE1} + Be16(unsigned(2 + 6 + tiff.size())) + Text("Exif") + Zeros(2) + tiff;
}

inline std::string Describe(PixelSize size) {
  return std::to_string(size.width) + "x" + std::to_string(size.height);
}
// A switch with no default, so that -Wswitch (an error here) names any format left out.
inline const char* Describe(platform::PictureFormat format) {
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
inline std::string Describe(const std::optional<platform::PictureHeader>& header) {
  if (!header) return "nothing";
  std::string text = std::string(Describe(header->format)) + " " + Describe(header->natural);
  if (header->frame != header->natural || header->frameAt != platform::PixelPoint{}) {
    text += ", frame " + Describe(header->frame) + " at " + std::to_string(header->frameAt.x) +
            "," + std::to_string(header->frameAt.y);
  }
  return text;
}

// A PNG header of the size, whole, and a chunk after it with `data`.
inline Bytes PngWith(std::uint32_t width, std::uint32_t height, const std::string& type,
                     const Bytes& data, std::uint8_t depth = 8, std::uint8_t colourType = 0) {
  return Png(width, height, depth, colourType) + Be32(std::uint32_t(data.size())) + Text(type) +
         data + Zeros(4);
}
// A 64 x 48 grey TIFF whose one strip of 3072 bytes lies at 200, with `more` entries; 3272 bytes.
inline constexpr std::uint64_t kGreyTiffBytes = 3272;
inline Bytes GreyTiff(const std::vector<Bytes>& more) {
  std::vector<Bytes> entries{TiffEntry(true, 256, 3, 64), TiffEntry(true, 257, 3, 48),
                             TiffEntry(true, 258, 3, 8)};
  entries.insert(entries.end(), more.begin(), more.end());
  return Tiff(true, entries);
}
inline const Bytes kOneStrip[] = {TiffEntry(true, 273, 4, 200), TiffEntry(true, 279, 4, 3072)};
inline Bytes Deflated(const Bytes& bytes) {
  uLongf size = compressBound(uLong(bytes.size()));
  Bytes deflated(size);
  compress2(deflated.data(), &size, bytes.data(), uLong(bytes.size()), 9);
  deflated.resize(size);
  return deflated;
}
// Text as cameras and editors write it (EXIF in hexadecimal, XMP): deflate leaves most of it.
inline Bytes HonestText(std::size_t bytes) {
  Bytes text(bytes);
  std::uint32_t state = 7;
  for (std::uint8_t& c : text) {
    state = state * 1103515245u + 12345u;
    c = std::uint8_t("0123456789abcdef \n"[(state >> 16) % 18]);
  }
  return text;
}
// A zlib stream of `bytes` zeros, deflated as tightly as deflate goes.
inline Bytes DeflatedZeros(std::uint64_t bytes) {
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

}  // namespace header_bytes
