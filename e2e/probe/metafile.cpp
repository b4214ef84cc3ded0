#include "metafile.h"

#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <type_traits>
#include <vector>

namespace probe {
namespace {

struct ObjectDeleter {
  void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
struct EnhancedDeleter {
  void operator()(HENHMETAFILE metafile) const { DeleteEnhMetaFile(metafile); }
};
struct MetafileDeleter {
  void operator()(HMETAFILE metafile) const { DeleteMetaFile(metafile); }
};

// 1600 x 600 units: the screen's pixels in an EMF, the units the placeable header names in a WMF.
void Draw(HDC dc) {
  const std::unique_ptr<std::remove_pointer_t<HGDIOBJ>, ObjectDeleter> orange(
      CreateSolidBrush(RGB(255, 140, 0)));
  // Without an outline a rectangle ends a unit short of its right and bottom edges, hence
  // 1601 x 601.
  SelectObject(dc, orange.get());
  SelectObject(dc, GetStockObject(NULL_PEN));
  Rectangle(dc, 0, 0, 1601, 601);
  SelectObject(dc, GetStockObject(BLACK_PEN));
  MoveToEx(dc, 100, 100, nullptr);
  LineTo(dc, 1500, 500);
  SelectObject(dc, GetStockObject(WHITE_BRUSH));
}

bool MakeEnhanced(const std::wstring& path) {
  // 1600 x 600 pixels at 96 DPI, in hundredths of a millimetre.
  const RECT frame{0, 0, 42333, 15875};
  HDC dc = CreateEnhMetaFileW(nullptr, path.c_str(), &frame, nullptr);
  if (dc == nullptr) return false;
  Draw(dc);
  const std::unique_ptr<std::remove_pointer_t<HENHMETAFILE>, EnhancedDeleter> made(
      CloseEnhMetaFile(dc));
  return made != nullptr;
}

void PutWord(std::vector<std::uint8_t>& bytes, std::uint16_t word) {
  bytes.push_back(static_cast<std::uint8_t>(word & 0xFF));
  bytes.push_back(static_cast<std::uint8_t>(word >> 8));
}

// The records behind the 22-byte placeable header drawing programs write: its key, a bounding
// box of 1600 x 600 units at 96 units an inch, and the checksum of the words before it.
bool MakePlaceable(const std::wstring& path) {
  HDC dc = CreateMetaFileW(nullptr);
  if (dc == nullptr) return false;
  Draw(dc);
  const std::unique_ptr<std::remove_pointer_t<HMETAFILE>, MetafileDeleter> made(CloseMetaFile(dc));
  if (!made) return false;
  const UINT size = GetMetaFileBitsEx(made.get(), 0, nullptr);
  std::vector<std::uint8_t> records(size);
  if (size == 0 || GetMetaFileBitsEx(made.get(), size, records.data()) != size) return false;

  std::vector<std::uint16_t> words{0xCDD7, 0x9AC6, 0, 0, 0, 1600, 600, 96, 0, 0};
  std::uint16_t checksum = 0;
  for (const std::uint16_t word : words) checksum ^= word;
  words.push_back(checksum);
  std::vector<std::uint8_t> bytes;
  for (const std::uint16_t word : words) PutWord(bytes, word);
  bytes.insert(bytes.end(), records.begin(), records.end());
  std::ofstream out(std::filesystem::path(path), std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  return bool(out);
}

}  // namespace

bool MakeMetafile(const std::wstring& path, MetafileKind kind) {
  return kind == MetafileKind::Enhanced ? MakeEnhanced(path) : MakePlaceable(path);
}

}  // namespace probe
