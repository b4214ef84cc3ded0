#pragma once
// Picture files decoded by WIC, the same on Windows and under Wine: the pixels handed over as
// premultiplied BGRA, scaled by the decoder where it can.
#include <windows.h>
// After windows.h, which they build on.
#include <wincodec.h>
#include <wrl/client.h>

#include <memory>
#include <optional>
#include <vector>

#include "platform/pictures/resample.h"
#include "platform/win32/file_stream.h"

namespace platform::win32 {

// WIC's factory, reached through COM; made once and kept while pictures are shown. Throws
// RunTimeError(InvalidPicture) when WIC is missing.
Microsoft::WRL::ComPtr<IWICImagingFactory> CreateWicFactory();

// The bits a pixel of the frame's own format takes, or nothing for a format WIC cannot describe.
std::optional<unsigned> FrameBitsPerPixel(IWICImagingFactory& factory,
                                          IWICBitmapFrameDecode& frame);

// The colour profile WIC's codec reports for the frame: an RGB profile embedded in it, or Adobe RGB
// where the codec says EXIF names it. Nothing for sRGB, for an untagged frame, and for a
// profile larger than the most a profile may take or that is no RGB profile.
std::optional<std::vector<std::uint8_t>> FrameColourProfile(IWICImagingFactory& factory,
                                                            IWICBitmapFrameDecode& frame);

// The decoder WIC finds for the file's content, and its first frame. The decoder owns the frame
// and holds the file; all are released together.
struct DecodedFrame {
  Microsoft::WRL::ComPtr<IWICBitmapDecoder> decoder;
  Microsoft::WRL::ComPtr<IWICBitmapFrameDecode> frame;
  PixelSize size;
};

// Throws RunTimeError(InvalidPicture) when no codec takes the file or its first frame.
DecodedFrame DecodeFrame(IWICImagingFactory& factory, FileStream& file);

// A picture whose header we read: its decoder is made when its pixels are first wanted, so a
// picture never drawn is never decoded (under Wine, making the decoder decodes every pixel). Its
// pixels throw RunTimeError(InvalidPicture) when WIC cannot decode them or sees another frame size
// than `frame`. Holds `file` until the decoder takes it.
std::unique_ptr<RowSource> WicPictureOfHeader(Microsoft::WRL::ComPtr<IWICImagingFactory> factory,
                                              Microsoft::WRL::ComPtr<FileStream> file,
                                              PixelSize frame, Orientation orientation);
// A picture only a codec reads: its decoder was made already, to learn its size.
std::unique_ptr<PixelSource> WicPictureOfDecoder(Microsoft::WRL::ComPtr<IWICImagingFactory> factory,
                                                 DecodedFrame decoded);

}  // namespace platform::win32
