#pragma once
// Picture files decoded by WIC, the same on Windows and under Wine: the header read and checked
// by us first, then the pixels handed over as premultiplied BGRA in strips.
#include <memory>
#include <string>

#include "platform/pixels.h"

namespace platform::win32 {

// Opens the picture at `path` and decodes its header. Throws RunTimeError(FileNotFound) when
// there is no such file (or a folder of that name), RunTimeError(InvalidPicture) when the file
// is no picture, declares an absurd size, or WIC cannot decode it. The pixels are decoded, and
// the file and the decoder released, when the source is read and destroyed.
std::unique_ptr<PixelSource> OpenWicPicture(const std::wstring& path);

}  // namespace platform::win32
