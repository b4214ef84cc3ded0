#pragma once
// Draws a window's scene into a memory bitmap and puts it on the screen in one blit, so the
// background never shows between the pictures.
#include <windows.h>

#include "platform/window_peer.h"

namespace platform::win32 {

void PaintScene(HDC target, SIZE client, const Scene& scene);

}  // namespace platform::win32
