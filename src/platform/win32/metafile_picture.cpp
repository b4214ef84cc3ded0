#include "platform/win32/metafile_picture.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <variant>
#include <vector>

#include "platform/pictures/byte_order.h"
#include "platform/pictures/picture_budget.h"
#include "platform/run_time_error.h"
#include "platform/win32/display_monitors.h"
#include "platform/win32/file_stream.h"
#include "platform/win32/handles.h"

namespace platform::win32 {
namespace {

// Behind a placeable metafile's 22-byte header, whose bounding box says where its picture lies.
constexpr UINT kPlaceableBytes = 22;

// A side of the bounding box: signed 16 bits.
std::int16_t BoxSide(const std::vector<std::uint8_t>& records, std::size_t at) {
  return static_cast<std::int16_t>(Le16(&records[at]));
}

struct Placeable {
  UniqueMetafile metafile;
  RECT box;  // in the metafile's logical units
};

class MetafilePicture final : public PixelSource {
 public:
  MetafilePicture(std::variant<UniqueEnhancedMetafile, Placeable> metafile, PixelSize natural)
      : metafile_(std::move(metafile)), natural_(natural) {}

  [[nodiscard]] PixelSize size() const override { return natural_; }

  // Drawn at exactly the size it is shown, on a 32-bit GDI bitmap over black, which becomes the
  // picture's: no copy of it is made.
  Bitmap Render(PixelSize target) override {
    const MemoryDc dc(CreateCompatibleDC(nullptr));
    if (!dc) ThrowInvalidPicture("no device to draw the metafile on");
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = target.width;
    info.bmiHeader.biHeight = -target.height;  // top down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    // A new DIB section is all zeros: the black the metafile is drawn over.
    UniqueBitmap bitmap(CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap) ThrowInvalidPicture("no bitmap to draw the metafile on");
    {
      const DcSelection selected(dc.get(), bitmap.get());
      // Pictures inside the metafile are scaled smoothly, as the pictures around it are.
      SetStretchBltMode(dc.get(), HALFTONE);
      SetBrushOrgEx(dc.get(), 0, 0, nullptr);
      Play(dc.get(), target);
      GdiFlush();
    }
    // GDI draws colours and leaves alpha alone: the whole picture is opaque.
    auto* const pixels = static_cast<std::uint32_t*>(bits);
    const std::size_t count = PixelCount(target);
    for (std::size_t i = 0; i < count; ++i) pixels[i] |= 0xFF000000;
    return {target, PixelBuffer(std::make_shared<UniqueBitmap>(std::move(bitmap)), pixels, count)};
  }

 private:
  // Plays the records one by one. How much a record fills depends on the transforms before it,
  // which no reading of the file short of drawing it tells, so the drawing is also bounded in
  // time: past the bound it is refused like any picture over budget.
  void Play(HDC dc, PixelSize target) const {
    Playback playback{GetTickCount64() + kMaxDrawingTime.count()};
    if (const auto* enhanced = std::get_if<UniqueEnhancedMetafile>(&metafile_)) {
      const RECT to{0, 0, target.width, target.height};
      EnumEnhMetaFile(dc, enhanced->get(), PlayEnhancedRecord, &playback, &to);
    } else {
      const auto& placeable = std::get<Placeable>(metafile_);
      // Its bounding box onto the bitmap; a metafile that sets its own window takes that instead.
      SetMapMode(dc, MM_ANISOTROPIC);
      SetWindowOrgEx(dc, placeable.box.left, placeable.box.top, nullptr);
      SetWindowExtEx(dc, placeable.box.right - placeable.box.left,
                     placeable.box.bottom - placeable.box.top, nullptr);
      SetViewportOrgEx(dc, 0, 0, nullptr);
      SetViewportExtEx(dc, target.width, target.height, nullptr);
      EnumMetaFile(dc, placeable.metafile.get(), PlayRecord, reinterpret_cast<LPARAM>(&playback));
    }
    if (playback.overrun) ThrowInvalidPicture("metafile too costly to draw");
  }

  struct Playback {
    ULONGLONG deadline;
    unsigned records = 0;
    bool overrun = false;

    // Whether to play the next record: the clock is read every few records, which a record's
    // worst is far below.
    bool Next() {
      constexpr unsigned kRecordsBetweenLooks = 64;
      overrun = overrun || (++records % kRecordsBetweenLooks == 0 && GetTickCount64() > deadline);
      return !overrun;
    }
  };

  static int CALLBACK PlayEnhancedRecord(HDC dc, HANDLETABLE* handles, const ENHMETARECORD* record,
                                         int handleCount, LPARAM data) {
    auto& playback = *reinterpret_cast<Playback*>(data);
    if (!playback.Next()) return 0;
    PlayEnhMetaFileRecord(dc, handles, record, static_cast<UINT>(handleCount));
    return 1;
  }

  static int CALLBACK PlayRecord(HDC dc, HANDLETABLE* handles, METARECORD* record, int handleCount,
                                 LPARAM data) {
    auto& playback = *reinterpret_cast<Playback*>(data);
    if (!playback.Next()) return 0;
    PlayMetaFileRecord(dc, handles, record, static_cast<UINT>(handleCount));
    return 1;
  }

  std::variant<UniqueEnhancedMetafile, Placeable> metafile_;
  PixelSize natural_;
};

}  // namespace

int ScreenPixelsPerInch() {
  const std::vector<Monitor> monitors = DisplayMonitors();
  return monitors.empty() ? USER_DEFAULT_SCREEN_DPI : monitors.front().dpi;
}

std::unique_ptr<PixelSource> OpenMetafile(FileStream& file, const PictureHeader& header) {
  // The header reader counted these bytes into the budget and found the file holds them.
  std::vector<std::uint8_t> records(static_cast<std::size_t>(header.decodedBytes));
  if (file.ReadAt(0, records) != records.size()) ThrowInvalidPicture("metafile cut short");
  const auto bytes = static_cast<UINT>(records.size());
  if (header.format == PictureFormat::Emf) {
    UniqueEnhancedMetafile enhanced(SetEnhMetaFileBits(bytes, records.data()));
    if (!enhanced) ThrowInvalidPicture("no enhanced metafile");
    return std::make_unique<MetafilePicture>(std::move(enhanced), header.natural);
  }
  UniqueMetafile metafile(
      SetMetaFileBitsEx(bytes - kPlaceableBytes, records.data() + kPlaceableBytes));
  if (!metafile) ThrowInvalidPicture("no metafile");
  const RECT box{BoxSide(records, 6), BoxSide(records, 8), BoxSide(records, 10),
                 BoxSide(records, 12)};
  return std::make_unique<MetafilePicture>(Placeable{std::move(metafile), box}, header.natural);
}

}  // namespace platform::win32
