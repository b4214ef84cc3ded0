#include "platform/pictures/picture_header.h"

#include <algorithm>
#include <array>

#include "platform/pictures/header_reading.h"

namespace platform {

using namespace std::string_view_literals;

std::optional<PictureFormat> FormatOf(std::span<const std::uint8_t> start) {
  if (StartsWith(start, "BM"sv)) return PictureFormat::Bmp;
  if (StartsWith(start, "GIF87a"sv) || StartsWith(start, "GIF89a"sv)) return PictureFormat::Gif;
  if (StartsWith(start, "\x89PNG\r\n\x1a\n"sv)) return PictureFormat::Png;
  if (StartsWith(start, "\xFF\xD8\xFF"sv)) return PictureFormat::Jpeg;
  if (StartsWith(start, "II*\0"sv) || StartsWith(start, "MM\0*"sv)) return PictureFormat::Tiff;
  if (StartsWith(start, "\0\0\1\0"sv)) return PictureFormat::Ico;
  if (StartsWith(start, "DDS "sv)) return PictureFormat::Dds;
  if (StartsWith(start, "\1\0\0\0"sv) && start.size() >= 44 &&
      StartsWith(start.subspan(40), " EMF"sv)) {
    return PictureFormat::Emf;
  }
  if (StartsWith(start, "\xD7\xCD\xC6\x9A"sv)) return PictureFormat::Wmf;
  return std::nullopt;
}

std::optional<PictureHeader> ReadPictureHeader(const PictureFileReader& read, int pixelsPerInch) {
  std::array<std::uint8_t, kHeadBytes> headBytes{};
  const std::span<const std::uint8_t> head(headBytes.data(),
                                           std::min(read(0, headBytes), headBytes.size()));
  const std::optional<PictureFormat> format = FormatOf(head);
  if (!format) return std::nullopt;
  switch (*format) {
    case PictureFormat::Bmp:
      return ReadBmp(head);
    case PictureFormat::Gif:
      return ReadGif(read);
    case PictureFormat::Png:
      return ReadPng(read, PictureFormat::Png, 0);
    case PictureFormat::Jpeg:
      return ReadJpeg(read);
    case PictureFormat::Tiff:
      return ReadTiff(read);
    case PictureFormat::Ico:
      return ReadIco(read, head);
    case PictureFormat::Dds:
      return ReadDds(read);
    case PictureFormat::Emf:
      return ReadEmf(read, head, pixelsPerInch);
    case PictureFormat::Wmf:
      return ReadWmf(read, head, pixelsPerInch);
  }
  return std::nullopt;
}

PictureFileReader ReaderOf(std::span<const std::uint8_t> file) {
  return [file](std::uint64_t offset, std::span<std::uint8_t> into) {
    if (offset >= file.size()) return std::size_t{0};
    const std::span<const std::uint8_t> rest = file.subspan(static_cast<std::size_t>(offset));
    const std::size_t count = std::min(into.size(), rest.size());
    std::copy_n(rest.begin(), count, into.begin());
    return count;
  };
}

std::optional<PictureHeader> ReadPictureHeader(std::span<const std::uint8_t> file,
                                               int pixelsPerInch) {
  return ReadPictureHeader(ReaderOf(file), pixelsPerInch);
}

}  // namespace platform
