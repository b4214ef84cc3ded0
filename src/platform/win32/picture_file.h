#pragma once
// A picture file, from its path to a source of pixels: the one place that decides how a file is
// read, what it may cost and which decoder takes it.
#include <windows.h>
// After windows.h, which they build on.
#include <wincodec.h>
#include <wrl/client.h>

#include <memory>
#include <string>

#include "platform/pictures/display_colours.h"
#include "platform/pictures/pixels.h"

namespace platform::win32 {

// Opens the picture at `path`, to be shown in `display`'s colours; a metafile's size on paper is
// taken at `pixelsPerInch`. Throws
// RunTimeError(FileNotFound) when there is no such file (or a folder of that name),
// RunTimeError(InvalidPicture) when the file is no picture or would cost too much to decode. A
// file whose header we read meets its decoder only when its pixels are first wanted, which then
// throws RunTimeError(InvalidPicture) when WIC cannot decode it or sees another size than the
// header declares. The file and the decoder are released with the source.
std::unique_ptr<PixelSource> OpenPictureFile(
    const Microsoft::WRL::ComPtr<IWICImagingFactory>& factory, const std::wstring& path,
    int pixelsPerInch, std::shared_ptr<const DisplayColours> display);

}  // namespace platform::win32
