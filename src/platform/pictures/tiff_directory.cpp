#include "platform/pictures/tiff_directory.h"

#include <algorithm>
#include <iterator>
#include <vector>

namespace platform {

using namespace std::string_view_literals;
namespace {

// An entry of a directory: its type, its count of values, and where they lie.
struct TiffEntry {
  std::uint16_t type;
  std::uint32_t count;
  std::uint64_t at;
};

// The strict rule, for the fields that say how the pixels are stored: a second copy (decoders
// differ in which they keep), a type other than a short or a long, or a first value outside the
// file leave no directory to trust. False then.
bool TakeStructuralField(const PictureFileReader& read, TiffDirectory& directory, tiff::Field field,
                         const TiffEntry& entry) {
  constexpr std::uint16_t kShort = 3, kLong = 4;
  std::optional<TiffValues>& values = directory.fields[field];
  if (values || (entry.type != kShort && entry.type != kLong)) return false;
  values = TiffValues{0, entry.count, entry.type == kShort, entry.at};
  const std::optional<std::uint32_t> first = directory.ValueAt(read, *values, 0);
  if (!first) return false;
  values->first = *first;
  return true;
}

// The lenient rule, for the fields that only say what colours the pixels are in: the first copy
// is kept whatever its type, to be judged where it is read, and any other ignored.
void TakeColourField(TiffDirectory& directory, tiff::ColourField field, const TiffEntry& entry) {
  std::optional<TiffColourValues>& values = directory.colourFields[field];
  if (!values) values = TiffColourValues{entry.type, entry.count, entry.at};
}

// The directory at `at` of a TIFF whose offsets count from `base`; nothing where it is cut short
// or a structural field breaks the strict rule.
std::optional<TiffDirectory> ReadTiffDirectoryAt(const PictureFileReader& read, std::uint64_t base,
                                                 bool littleEndian, std::uint64_t at) {
  TiffDirectory directory{littleEndian, {}, {}};
  std::array<std::uint8_t, 2> count{};
  if (!ReadExactly(read, at, count)) return std::nullopt;
  constexpr std::size_t kEntryBytes = 12;  // tag, type, count, value or offset
  directory.entries = directory.U16(count.data());
  std::vector<std::uint8_t> entries(std::size_t{directory.entries} * kEntryBytes);
  if (!ReadExactly(read, at + count.size(), entries)) return std::nullopt;
  directory.nextAt = at + count.size() + entries.size();

  constexpr std::uint16_t kTags[tiff::kFieldCount] = {256, 257, 258, 259, 277, 274, 278,
                                                      284, 322, 323, 273, 279, 324, 325};
  constexpr std::uint16_t kColourTags[tiff::kColourFieldCount] = {34675, 34665, 40961, 40965, 1};
  // The bytes a value of each type takes, types 1 to 13; decoders skip entries of other types.
  constexpr std::uint8_t kTypeBytes[] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8, 4};
  for (std::size_t offset = 0; offset < entries.size(); offset += kEntryBytes) {
    const std::uint8_t* bytes = &entries[offset];
    const std::uint16_t type = directory.U16(bytes + 2);
    const std::uint32_t values = directory.U32(bytes + 4);
    const std::uint64_t size =
        std::uint64_t{values} * (type < std::size(kTypeBytes) ? kTypeBytes[type] : 0);
    // Values that fit the entry sit in it, at its start.
    const bool inEntry = size <= 4;
    const TiffEntry entry{
        type, values, inEntry ? at + count.size() + offset + 8 : base + directory.U32(bytes + 8)};
    if (!inEntry) {
      directory.outsideBytes += size;
      directory.outsideEnd = std::max(directory.outsideEnd, entry.at + size);
    }
    const std::uint16_t tag = directory.U16(bytes);
    if (const auto* colour = std::find(std::begin(kColourTags), std::end(kColourTags), tag);
        colour != std::end(kColourTags)) {
      TakeColourField(directory, static_cast<tiff::ColourField>(colour - kColourTags), entry);
    } else if (const auto* field = std::find(std::begin(kTags), std::end(kTags), tag);
               field != std::end(kTags) &&
               !TakeStructuralField(read, directory, static_cast<tiff::Field>(field - kTags),
                                    entry)) {
      return std::nullopt;
    }
  }
  return directory;
}

// The directory a field of `directory` points to (EXIF's, or its interoperability directory).
std::optional<TiffDirectory> SubDirectory(const PictureFileReader& read, std::uint64_t base,
                                          const TiffDirectory& directory, tiff::ColourField field) {
  constexpr std::uint16_t kLong = 4, kDirectory = 13;
  const std::optional<TiffColourValues>& pointer = directory.colourFields[field];
  std::array<std::uint8_t, 4> offset{};
  if (!pointer || (pointer->type != kLong && pointer->type != kDirectory) || pointer->count != 1 ||
      !ReadExactly(read, pointer->at, offset)) {
    return std::nullopt;
  }
  return ReadTiffDirectoryAt(read, base, directory.littleEndian,
                             base + directory.U32(offset.data()));
}

}  // namespace

std::optional<TiffDirectory> ReadTiffDirectory(const PictureFileReader& read, std::uint64_t base) {
  std::array<std::uint8_t, 8> head{};
  if (!ReadExactly(read, base, head)) return std::nullopt;
  const bool littleEndian = head[0] == 'I';
  const std::uint32_t first = littleEndian ? Le32(&head[4]) : Be32(&head[4]);
  return ReadTiffDirectoryAt(read, base, littleEndian, base + first);
}

ColourTag ColourTagOf(const PictureFileReader& read, std::uint64_t base,
                      const TiffDirectory& directory) {
  constexpr std::uint16_t kByte = 1, kAscii = 2, kShort = 3, kUndefined = 7;
  constexpr std::uint16_t kUncalibrated = 0xFFFF;
  ColourTag tag;
  if (const auto& profile = directory.colourFields[tiff::kIccProfile];
      profile && (profile->type == kUndefined || profile->type == kByte)) {
    tag.profile.push_back({profile->at, profile->count});
    return tag;
  }
  const std::optional<TiffDirectory> exif =
      SubDirectory(read, base, directory, tiff::kExifDirectory);
  if (!exif) return tag;
  const auto& space = exif->colourFields[tiff::kColourSpace];
  std::array<std::uint8_t, 2> spaceValue{};
  if (!space || space->type != kShort || !ReadExactly(read, space->at, spaceValue) ||
      exif->U16(spaceValue.data()) != kUncalibrated) {
    return tag;
  }
  const std::optional<TiffDirectory> interoperability =
      SubDirectory(read, base, *exif, tiff::kInteroperabilityDirectory);
  if (!interoperability) return tag;
  const auto& index = interoperability->colourFields[tiff::kInteroperabilityIndex];
  std::array<std::uint8_t, 3> indexValue{};
  tag.adobeRgbByExif = index && index->type == kAscii && index->count >= indexValue.size() &&
                       ReadExactly(read, index->at, indexValue) && StartsWith(indexValue, "R03"sv);
  return tag;
}

Orientation OrientationOf(const std::optional<TiffDirectory>& directory) {
  const std::uint32_t value = directory ? directory->Value(tiff::kOrientation, 1) : 1;
  return value >= 1 && value <= 8 ? static_cast<Orientation>(value) : Orientation::Normal;
}

}  // namespace platform
