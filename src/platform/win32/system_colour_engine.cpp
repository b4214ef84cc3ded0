#include "platform/win32/system_colour_engine.h"

#include <windows.h>
// After windows.h, which it builds on.
#include <icm.h>

#include <utility>

#include "platform/win32/handles.h"

namespace platform::win32 {
namespace {

// The engine's functions, looked up in mscms.dll once, the first time a conversion is asked for.
class Engine {
 public:
  // The engine, or nullptr where the system has none.
  static const Engine* Get() {
    static const std::optional<Engine> engine = Load();
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
  static std::optional<Engine> Load() {
    Engine engine;
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

}  // namespace

std::optional<std::vector<std::uint32_t>> SystemColourEngine::Convert(
    std::span<const std::uint8_t> from, std::span<const std::uint8_t> to,
    std::span<const std::uint32_t> colours) const {
  const Engine* engine = Engine::Get();
  if (engine == nullptr) return std::nullopt;
  const Engine::Handle source = engine->Open(from);
  const Engine::Handle destination = engine->Open(to);
  if (!source || !destination) return std::nullopt;
  const Engine::Handle transform = engine->Transform(source, destination);
  if (!transform) return std::nullopt;
  std::vector<std::uint32_t> converted(colours.size());
  if (!engine->Translate(transform, colours, converted)) return std::nullopt;
  return converted;
}

}  // namespace platform::win32
