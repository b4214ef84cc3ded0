#pragma once
// Where the show draws a picture on a screen, asked of the show itself.
#include "platform/pictures/pixels.h"

// The size the show draws a picture of `natural` size at on a `screen`-sized monitor at 96 DPI:
// its own start and ShowNextPicture, run on the in-memory window system with a stand-in picture
// of that size. Kept apart from <windows.h>, whose macros clash with the system's named values.
platform::PixelSize ShownSize(platform::PixelSize natural, platform::PixelSize screen);
