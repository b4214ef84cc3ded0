#pragma once
// Picture files decoded by WIC, the same on Windows and under Wine: the header read and checked
// by us first, then the pixels handed over as premultiplied BGRA in strips.
#include <windows.h>
// After windows.h, which they build on.
#include <wincodec.h>
#include <wrl/client.h>

#include <memory>
#include <optional>
#include <string>

#include "platform/pictures/pixels.h"

namespace platform::win32 {

// WIC's factory, reached through COM; made once and kept while pictures are shown. Throws
// RunTimeError(InvalidPicture) when WIC is missing.
Microsoft::WRL::ComPtr<IWICImagingFactory> CreateWicFactory();

// The bits a pixel of the frame's own format takes, or nothing for a format WIC cannot describe.
std::optional<unsigned> FrameBitsPerPixel(IWICImagingFactory& factory,
                                          IWICBitmapFrameDecode& frame);

// Opens the picture at `path` and decodes its header; a metafile's size on paper is taken at
// `pixelsPerInch`, and GDI draws it (metafile_picture.h). Throws RunTimeError(FileNotFound) when
// there is no such file (or a folder of that name), RunTimeError(InvalidPicture) when the file
// is no picture or would cost too much to decode. A file whose header we read meets its decoder
// only when its pixels are first wanted (PreferAtLeast or ReadRows), which throw
// RunTimeError(InvalidPicture) when WIC cannot decode it or sees another size than the header
// declares. The file and the decoder are released with the source.
std::unique_ptr<PixelSource> OpenWicPicture(
    const Microsoft::WRL::ComPtr<IWICImagingFactory>& factory, const std::wstring& path,
    int pixelsPerInch);

}  // namespace platform::win32
