#pragma once
// A TIFF's directory, a file's or an EXIF block's, read by two rules. The fields that say how the
// pixels are stored are read strictly: a decoder that found them otherwise would decode another
// picture. The fields that only say what colours the pixels are in are read leniently, as photo
// viewers read broken metadata.
#include <array>
#include <cstdint>
#include <optional>

#include "platform/pictures/byte_order.h"
#include "platform/pictures/header_reading.h"
#include "platform/pictures/picture_header.h"

namespace platform {

// The fields of a TIFF's first directory: a file's, or an EXIF block's inside a JPEG, whose
// offsets count from `base`.
namespace tiff {
enum Field {
  kWidth,
  kLength,
  kBitsPerSample,
  kCompression,
  kSamplesPerPixel,
  kOrientation,
  kRowsPerStrip,
  kPlanarConfiguration,
  kTileWidth,
  kTileLength,
  kStripOffsets,
  kStripByteCounts,
  kTileOffsets,
  kTileByteCounts,
  kFieldCount
};
}  // namespace tiff

struct TiffValues {
  std::uint32_t first;  // of several (bits per sample, strip offsets), the first stands for all
  std::uint32_t count;
  bool isShort;
  std::uint64_t at;  // where they lie: in their entry, or where it points
};

// The fields that only say what colours the pixels are in, and where the EXIF directories that say
// it lie. Photo viewers ignore such metadata when it is broken, and so does the show: a field of
// an unexpected type is left out, a second copy ignored, and the picture read all the same.
namespace tiff {
enum ColourField {
  kIccProfile,
  kExifDirectory,
  kColourSpace,
  kInteroperabilityDirectory,
  kInteroperabilityIndex,
  kColourFieldCount
};
}  // namespace tiff

struct TiffColourValues {
  std::uint16_t type;
  std::uint32_t count;
  std::uint64_t at;
};

struct TiffDirectory {
  bool littleEndian;
  std::array<std::optional<TiffValues>, tiff::kFieldCount> fields;
  std::array<std::optional<TiffColourValues>, tiff::kColourFieldCount> colourFields;
  // The values of every tag kept outside its entry, which a decoder reads into memory: their
  // bytes, and the farthest byte of the file they reach.
  std::uint64_t outsideBytes = 0;
  std::uint64_t outsideEnd = 0;
  // How many entries (tags) it holds, and where the offset of the directory after it lies.
  std::uint16_t entries = 0;
  std::uint64_t nextAt = 0;

  [[nodiscard]] std::uint32_t Value(tiff::Field field, std::uint32_t absent) const {
    return fields[field] ? fields[field]->first : absent;
  }
  [[nodiscard]] std::uint32_t U32(const std::uint8_t* p) const {
    return littleEndian ? Le32(p) : Be32(p);
  }
  [[nodiscard]] std::uint16_t U16(const std::uint8_t* p) const {
    return littleEndian ? Le16(p) : Be16(p);
  }
  // The `index`th of the values, which must lie in the file.
  [[nodiscard]] std::optional<std::uint32_t> ValueAt(const PictureFileReader& read,
                                                     const TiffValues& values,
                                                     std::uint64_t index) const {
    std::array<std::uint8_t, 4> value{};
    const std::size_t bytes = values.isShort ? 2 : 4;
    if (!ReadExactly(read, values.at + index * bytes, std::span(value).first(bytes))) {
      return std::nullopt;
    }
    return values.isShort ? U16(value.data()) : U32(value.data());
  }
};

// A file's first directory, or an EXIF block's, behind the TIFF header at `base`. Nothing when it
// is cut short, or a structural field breaks the strict rule.
std::optional<TiffDirectory> ReadTiffDirectory(const PictureFileReader& read, std::uint64_t base);
// What a TIFF directory (a file's first, or a photo's EXIF block) says about colours: the profile
// embedded in it, or Adobe RGB as EXIF names it, with no profile, in the colour space field of its
// EXIF directory ("uncalibrated") and the index of its interoperability directory ("R03").
ColourTag ColourTagOf(const PictureFileReader& read, std::uint64_t base,
                      const TiffDirectory& directory);
// The orientation a directory gives; a missing or unknown value shows the stored rows.
Orientation OrientationOf(const std::optional<TiffDirectory>& directory);

}  // namespace platform
