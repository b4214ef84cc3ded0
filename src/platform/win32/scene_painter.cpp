#include "platform/win32/scene_painter.h"

#include <cstdlib>

#include "platform/win32/colors.h"
#include "platform/win32/handles.h"

namespace platform::win32 {
namespace {

void DrawPicture(HDC dc, const Scene::Picture& picture) {
  const Bitmap& bitmap = *picture.bitmap;
  const PixelSize size = bitmap.size;
  if (size.width <= 0 || size.height <= 0 || picture.rect.width <= 0 || picture.rect.height <= 0 ||
      bitmap.pixels.size() < PixelCount(size)) {
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

// Wide pens end flat, exactly at the line's ends, rather than half their width beyond them.
UniquePen PenFor(const Scene::Line& line) {
  const COLORREF color = ToColorRef(line.color);
  if (line.width <= 1) return UniquePen(CreatePen(PS_SOLID, 1, color));
  const LOGBRUSH brush{BS_SOLID, color, 0};
  return UniquePen(ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_FLAT,
                                static_cast<DWORD>(line.width), &brush, 0, nullptr));
}

// A line control's two ends are both part of it, but a pen stops one pixel short of where it
// is drawn to: the stroke goes one step further along the line's main direction.
void DrawLine(HDC dc, const Scene::Line& line) {
  const UniquePen pen = PenFor(line);
  if (!pen) return;
  const DcSelection selected(dc, pen.get());
  const int dx = line.to.x - line.from.x;
  const int dy = line.to.y - line.from.y;
  const bool horizontal = std::abs(dx) >= std::abs(dy);
  const int stepX = horizontal ? (dx < 0 ? -1 : 1) : 0;
  const int stepY = horizontal ? 0 : (dy < 0 ? -1 : 1);
  MoveToEx(dc, line.from.x, line.from.y, nullptr);
  LineTo(dc, line.to.x + stepX, line.to.y + stepY);
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
  for (const Scene::Line& line : scene.lines) DrawLine(memory.get(), line);
  BitBlt(target, 0, 0, client.cx, client.cy, memory.get(), 0, 0, SRCCOPY);
}

}  // namespace platform::win32
