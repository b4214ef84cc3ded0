#include "platform/win32/srgb_picture.h"

#include <windows.h>
// After windows.h, which it builds on.
#include <icm.h>

#include <optional>
#include <span>
#include <utility>

#include "platform/pictures/colour_grid.h"
#include "platform/pictures/colour_profile.h"
#include "platform/win32/handles.h"

namespace platform::win32 {
namespace {

// The engine's functions, looked up in mscms.dll when the first picture with a profile is made.
// Windows does not always take mscms.dll from its own folder, so it is loaded from there alone: a
// copy planted beside the saver is never run. Nothing is loaded for pictures without a profile.
class ColourEngine {
 public:
  // The engine, or nullptr where the system has none.
  static const ColourEngine* Get() {
    static const std::optional<ColourEngine> engine = Load();
    return engine ? &*engine : nullptr;
  }

  // A profile or a transform of the engine, closed by it.
  class Handle {
   public:
    Handle(HANDLE handle, BOOL(WINAPI* close)(HANDLE)) : handle_(handle), close_(close) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() {
      if (handle_ != nullptr) close_(handle_);
    }
    [[nodiscard]] HANDLE get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

   private:
    HANDLE handle_;
    BOOL(WINAPI* close_)(HANDLE);
  };

  // The profile in `bytes`, which must outlive it.
  [[nodiscard]] Handle Open(std::span<const std::uint8_t> bytes) const {
    PROFILE profile{PROFILE_MEMBUFFER, const_cast<std::uint8_t*>(bytes.data()),
                    static_cast<DWORD>(bytes.size())};
    return {open_(&profile, PROFILE_READ, FILE_SHARE_READ, OPEN_EXISTING), close_};
  }

  // The transform from the first profile's colours to the second's.
  [[nodiscard]] Handle Transform(const Handle& from, const Handle& to) const {
    HPROFILE profiles[] = {from.get(), to.get()};
    DWORD intent = INTENT_PERCEPTUAL;
    return {transform_(profiles, 2, &intent, 1, BEST_MODE, INDEX_DONT_CARE), delete_};
  }

  // Converts a row of 32-bit pixels (blue, green, red, unused) from `from` into `to`, as long.
  bool Translate(const Handle& transform, std::span<const std::uint32_t> from,
                 std::span<std::uint32_t> to) const {
    const auto count = static_cast<DWORD>(from.size());
    return translate_(transform.get(), const_cast<std::uint32_t*>(from.data()), BM_xRGBQUADS, count,
                      1, count * 4, to.data(), BM_xRGBQUADS, count * 4, nullptr, 0) != FALSE;
  }

 private:
  static std::optional<ColourEngine> Load() {
    ColourEngine engine;
    engine.module_ =
        UniqueModule(LoadLibraryExW(L"mscms.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    if (!engine.module_ || !engine.Find(engine.open_, "OpenColorProfileW") ||
        !engine.Find(engine.close_, "CloseColorProfile") ||
        !engine.Find(engine.transform_, "CreateMultiProfileTransform") ||
        !engine.Find(engine.delete_, "DeleteColorTransform") ||
        !engine.Find(engine.translate_, "TranslateBitmapBits")) {
      return std::nullopt;
    }
    return engine;
  }

  template <class Function>
  bool Find(Function*& function, const char* name) {
    function =
        reinterpret_cast<Function*>(reinterpret_cast<void*>(GetProcAddress(module_.get(), name)));
    return function != nullptr;
  }

  UniqueModule module_;
  decltype(&::OpenColorProfileW) open_ = nullptr;
  BOOL(WINAPI* close_)(HANDLE) = nullptr;
  decltype(&::CreateMultiProfileTransform) transform_ = nullptr;
  BOOL(WINAPI* delete_)(HANDLE) = nullptr;
  decltype(&::TranslateBitmapBits) translate_ = nullptr;
};

// The conversion from the profile's colours to sRGB, sampled on a grid; nothing where the engine
// cannot convert them.
std::optional<ColourGrid> GridToSrgb(std::span<const std::uint8_t> profile) {
  const ColourEngine* engine = ColourEngine::Get();
  if (engine == nullptr) return std::nullopt;
  static const std::vector<std::uint8_t> srgb = SrgbProfile();
  const ColourEngine::Handle from = engine->Open(profile);
  const ColourEngine::Handle to = engine->Open(srgb);
  if (!from || !to) return std::nullopt;
  const ColourEngine::Handle transform = engine->Transform(from, to);
  if (!transform) return std::nullopt;
  const std::vector<std::uint32_t> samples = ColourGrid::Samples();
  std::vector<std::uint32_t> converted(samples.size());
  if (!engine->Translate(transform, samples, converted)) return std::nullopt;
  return ColourGrid(std::move(converted));
}

class SrgbPicture final : public PixelSource {
 public:
  SrgbPicture(std::unique_ptr<PixelSource> picture, std::vector<std::uint8_t> profile)
      : picture_(std::move(picture)), profile_(std::move(profile)) {}

  [[nodiscard]] PixelSize size() const override { return picture_->size(); }
  [[nodiscard]] Orientation orientation() const override { return picture_->orientation(); }

  Bitmap Render(PixelSize target) override {
    Bitmap stored = picture_->Render(target);
    const std::optional<ColourGrid> grid = GridToSrgb(profile_);
    if (!grid || stored.pixels.empty()) return stored;
    // Converted where they lie: a second screen-sized bitmap would cost fresh pages.
    std::vector<std::uint32_t> pixels = std::move(stored.pixels).Release();
    grid->Apply(pixels);
    return {stored.size, std::move(pixels)};
  }

 private:
  std::unique_ptr<PixelSource> picture_;
  std::vector<std::uint8_t> profile_;
};

}  // namespace

std::unique_ptr<PixelSource> ShownInSrgb(std::unique_ptr<PixelSource> picture,
                                         std::vector<std::uint8_t> profile) {
  return std::make_unique<SrgbPicture>(std::move(picture), std::move(profile));
}

}  // namespace platform::win32
