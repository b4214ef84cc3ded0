#include "metafile.h"

#include <windows.h>

#include <memory>
#include <type_traits>

namespace probe {
namespace {

struct ObjectDeleter {
  void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
struct MetafileDeleter {
  void operator()(HENHMETAFILE metafile) const { DeleteEnhMetaFile(metafile); }
};

}  // namespace

bool MakeMetafile(const std::wstring& path) {
  // 1600 x 600 pixels at 96 DPI, in hundredths of a millimetre.
  const RECT frame{0, 0, 42333, 15875};
  HDC dc = CreateEnhMetaFileW(nullptr, path.c_str(), &frame, nullptr);
  if (dc == nullptr) return false;
  const std::unique_ptr<std::remove_pointer_t<HGDIOBJ>, ObjectDeleter> orange(
      CreateSolidBrush(RGB(255, 140, 0)));
  // Drawn in the screen's pixels, 1600 x 600 of them. Without an outline a rectangle ends a
  // pixel short of its right and bottom edges, hence 1601 x 601.
  SelectObject(dc, orange.get());
  SelectObject(dc, GetStockObject(NULL_PEN));
  Rectangle(dc, 0, 0, 1601, 601);
  SelectObject(dc, GetStockObject(BLACK_PEN));
  MoveToEx(dc, 100, 100, nullptr);
  LineTo(dc, 1500, 500);
  const std::unique_ptr<std::remove_pointer_t<HENHMETAFILE>, MetafileDeleter> made(
      CloseEnhMetaFile(dc));
  return made != nullptr;
}

}  // namespace probe
