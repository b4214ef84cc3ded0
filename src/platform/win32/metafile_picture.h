#pragma once
// Metafiles (EMF and placeable WMF), drawn by GDI straight at the size they are shown, over
// black: their lines stay sharp at any scale, and nothing is drawn at the size on paper.
#include <memory>

#include "platform/pictures/picture_header.h"
#include "platform/pictures/pixels.h"

namespace platform::win32 {

class FileStream;

// The pixels an inch of a metafile takes on the screen: the primary monitor's DPI now, the one the
// screen object and the show window measure in, which may differ from the system's DPI on a
// display whose scale changed since sign-in.
int ScreenPixelsPerInch();

// The metafile whose header was read from `file`, its records handed to GDI at once. Throws
// RunTimeError(InvalidPicture) when GDI does not take them.
std::unique_ptr<PixelSource> OpenMetafile(FileStream& file, const PictureHeader& header);

}  // namespace platform::win32
