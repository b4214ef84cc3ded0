#include "platform/win32/scene_painter.h"

#include "platform/win32/handles.h"

namespace platform::win32 {
namespace {

// Colours with the top bit set name a system colour by its index, as the form's default
// background (0x8000000F, the button face) does.
COLORREF ToColorRef(std::uint32_t color) {
  if ((color & 0x80000000u) != 0) return GetSysColor(static_cast<int>(color & 0xFFu));
  return static_cast<COLORREF>(color & 0x00FFFFFFu);
}

void DrawPicture(HDC dc, const Scene::Picture& picture) {
  const Bitmap& bitmap = *picture.bitmap;
  const PixelSize size = bitmap.size;
  if (size.width <= 0 || size.height <= 0 || picture.rect.width <= 0 || picture.rect.height <= 0 ||
      bitmap.pixels.size() < static_cast<std::size_t>(size.width) * size.height) {
    return;
  }
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = size.width;
  info.bmiHeader.biHeight = -size.height;  // rows top to bottom
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  // The pixels are premultiplied, so copying them opaquely is the picture over black.
  if (picture.rect.width == size.width && picture.rect.height == size.height) {
    SetDIBitsToDevice(dc, picture.rect.left, picture.rect.top, static_cast<DWORD>(size.width),
                      static_cast<DWORD>(size.height), 0, 0, 0, static_cast<UINT>(size.height),
                      bitmap.pixels.data(), &info, DIB_RGB_COLORS);
    return;
  }
  // Only when the element was resized after its bitmap was made; the usual path above draws a
  // bitmap that was resampled to exactly this size.
  SetStretchBltMode(dc, HALFTONE);
  SetBrushOrgEx(dc, 0, 0, nullptr);
  StretchDIBits(dc, picture.rect.left, picture.rect.top, picture.rect.width, picture.rect.height, 0,
                0, size.width, size.height, bitmap.pixels.data(), &info, DIB_RGB_COLORS, SRCCOPY);
}

}  // namespace

void PaintScene(HDC target, SIZE client, const Scene& scene) {
  if (client.cx <= 0 || client.cy <= 0) return;
  MemoryDc memory(CreateCompatibleDC(target));
  UniqueBitmap canvas(CreateCompatibleBitmap(target, client.cx, client.cy));
  if (!memory || !canvas) return;
  const DcSelection selected(memory.get(), canvas.get());

  const UniqueBrush background(CreateSolidBrush(ToColorRef(scene.backColor)));
  const RECT all{0, 0, client.cx, client.cy};
  FillRect(memory.get(), &all, background.get());
  for (const Scene::Picture& picture : scene.pictures) {
    if (picture.bitmap != nullptr) DrawPicture(memory.get(), picture);
  }
  BitBlt(target, 0, 0, client.cx, client.cy, memory.get(), 0, 0, SRCCOPY);
}

}  // namespace platform::win32
