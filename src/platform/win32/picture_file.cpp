#include "platform/win32/picture_file.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "platform/pictures/colour_profile.h"
#include "platform/pictures/display_picture.h"
#include "platform/pictures/orientation.h"
#include "platform/pictures/picture_budget.h"
#include "platform/pictures/picture_header.h"
#include "platform/pictures/placed_frame.h"
#include "platform/run_time_error.h"
#include "platform/win32/file_stream.h"
#include "platform/win32/metafile_picture.h"
#include "platform/win32/wic_picture.h"

namespace platform::win32 {
namespace {

using Microsoft::WRL::ComPtr;

// Whether the file starts like a format whose header we read ourselves.
bool IsFormatWeRead(FileStream& file) {
  std::array<std::uint8_t, kSignatureBytes> start{};
  return FormatOf(std::span(start).first(file.ReadAt(0, start))).has_value();
}

// A format we do not read ourselves goes to whichever installed codec recognises its content.
// Its decoder is made at once, to learn its frame, which is then held to the same budget before
// any pixel is copied (the question is a registry search under Wine, so it is asked only here).
std::unique_ptr<PixelSource> OpenByCodec(const ComPtr<IWICImagingFactory>& factory,
                                         FileStream& file,
                                         std::shared_ptr<const DisplayColours> display) {
  DecodedFrame decoded = DecodeFrame(*factory.Get(), file);
  const std::optional<unsigned> bits = FrameBitsPerPixel(*factory.Get(), *decoded.frame.Get());
  if (!bits || !IsAffordableFrame(decoded.size, *bits)) ThrowInvalidPicture("frame too costly");
  std::optional<std::vector<std::uint8_t>> profile =
      FrameColourProfile(*factory.Get(), *decoded.frame.Get());
  return InDisplayColours(WicPictureOfDecoder(factory, std::move(decoded)), std::move(profile),
                          std::move(display));
}

}  // namespace

std::unique_ptr<PixelSource> OpenPictureFile(const ComPtr<IWICImagingFactory>& factory,
                                             const std::wstring& path, int pixelsPerInch,
                                             std::shared_ptr<const DisplayColours> display) {
  const ComPtr<FileStream> file = OpenFileStream(path);

  const PictureFileReader read = [&file](std::uint64_t offset, std::span<std::uint8_t> into) {
    return file->ReadAt(offset, into);
  };
  const std::optional<PictureHeader> header = ReadPictureHeader(read, pixelsPerInch);
  if (!header) {
    // A format we read whose header is cut short or contradicts itself is no picture; any
    // decoder would see it otherwise than we did.
    if (IsFormatWeRead(*file.Get())) ThrowInvalidPicture("broken picture header");
    return OpenByCodec(factory, *file.Get(), std::move(display));
  }

  // Under Wine, creating the decoder already decodes every pixel: a picture that costs too much
  // must be refused before that.
  if (!IsAffordable(*header, file->Size())) ThrowInvalidPicture("picture too costly to decode");

  if (header->format == PictureFormat::Emf || header->format == PictureFormat::Wmf) {
    // A drawing's colours are sRGB's, as an untagged picture's.
    return InDisplayColours(OpenMetafile(*file.Get(), *header), std::nullopt, std::move(display));
  }
  // Read before the decoder takes the file over.
  std::optional<std::vector<std::uint8_t>> profile = ProfileOf(read, header->colour);
  std::unique_ptr<RowSource> frame =
      WicPictureOfHeader(factory, file, header->frame, header->orientation);
  // A frame smaller than its picture (a GIF's first on its logical screen) is placed on it.
  std::unique_ptr<PixelSource> picture =
      Upright(header->natural, header->orientation) == header->frame
          ? std::move(frame)
          : PlaceFrame(std::move(frame), header->natural, header->frameAt);
  return InDisplayColours(std::move(picture), std::move(profile), std::move(display));
}

}  // namespace platform::win32
