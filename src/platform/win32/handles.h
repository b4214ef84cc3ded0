#pragma once
// One owner per handle: small move-only types that give back what they took, on every path.
#include <windows.h>

#include <utility>

namespace platform::win32 {

// Owns a value and releases it with Traits::Release unless it is Traits::Empty().
template <class Traits>
class Owned {
 public:
  using Value = typename Traits::Value;

  Owned() = default;
  explicit Owned(Value value) : value_(value) {}
  Owned(Owned&& other) noexcept : value_(std::exchange(other.value_, Traits::Empty())) {}
  Owned& operator=(Owned&& other) noexcept {
    if (this != &other) {
      Reset();
      value_ = std::exchange(other.value_, Traits::Empty());
    }
    return *this;
  }
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;
  ~Owned() { Reset(); }

  [[nodiscard]] Value get() const { return value_; }
  explicit operator bool() const { return value_ != Traits::Empty(); }
  // Hands the value to an owner outside this program's objects (a window keeps its menu).
  [[nodiscard]] Value Detach() { return std::exchange(value_, Traits::Empty()); }
  void Reset() {
    if (value_ != Traits::Empty()) Traits::Release(value_);
    value_ = Traits::Empty();
  }

 private:
  Value value_ = Traits::Empty();
};

struct KernelHandleTraits {
  using Value = HANDLE;
  static Value Empty() { return nullptr; }
  static void Release(Value handle) { CloseHandle(handle); }
};
using UniqueHandle = Owned<KernelHandleTraits>;

template <class T>
struct GdiObjectTraits {
  using Value = T;
  static Value Empty() { return nullptr; }
  static void Release(Value object) { DeleteObject(object); }
};
using UniqueBitmap = Owned<GdiObjectTraits<HBITMAP>>;
using UniqueBrush = Owned<GdiObjectTraits<HBRUSH>>;
using UniqueFont = Owned<GdiObjectTraits<HFONT>>;
using UniquePen = Owned<GdiObjectTraits<HPEN>>;

struct ModuleTraits {
  using Value = HMODULE;
  static Value Empty() { return nullptr; }
  static void Release(Value module) { FreeLibrary(module); }
};
using UniqueModule = Owned<ModuleTraits>;

struct IconTraits {
  using Value = HICON;
  static Value Empty() { return nullptr; }
  static void Release(Value icon) { DestroyIcon(icon); }
};
using UniqueIcon = Owned<IconTraits>;

// Destroys the menu and its pop-ups, as long as no window or parent menu has taken it over.
struct MenuTraits {
  using Value = HMENU;
  static Value Empty() { return nullptr; }
  static void Release(Value menu) { DestroyMenu(menu); }
};
using UniqueMenu = Owned<MenuTraits>;

struct EnhancedMetafileTraits {
  using Value = HENHMETAFILE;
  static Value Empty() { return nullptr; }
  static void Release(Value metafile) { DeleteEnhMetaFile(metafile); }
};
using UniqueEnhancedMetafile = Owned<EnhancedMetafileTraits>;

struct MetafileTraits {
  using Value = HMETAFILE;
  static Value Empty() { return nullptr; }
  static void Release(Value metafile) { DeleteMetaFile(metafile); }
};
using UniqueMetafile = Owned<MetafileTraits>;

// A DC the program made itself: deleted, not released. `Kind` keeps a memory DC and a device's
// DC apart, so that one is never moved into an owner of the other.
template <class Kind>
struct CreatedDcTraits {
  using Value = HDC;
  static Value Empty() { return nullptr; }
  static void Release(Value dc) { DeleteDC(dc); }
};
// From CreateCompatibleDC: a bitmap is selected into it to draw off the screen.
using MemoryDc = Owned<CreatedDcTraits<struct MemoryDcKind>>;
// From CreateDCW: a display device's own DC, to ask it about the device.
using DeviceDc = Owned<CreatedDcTraits<struct DeviceDcKind>>;

// An object selected into a DC for a scope; the DC's previous object goes back in at the end.
class DcSelection {
 public:
  DcSelection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  DcSelection(const DcSelection&) = delete;
  DcSelection& operator=(const DcSelection&) = delete;
  ~DcSelection() {
    if (previous_ != nullptr && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
  }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// BeginPaint/EndPaint for one WM_PAINT; EndPaint also runs when drawing throws, so the window
// is validated and WM_PAINT does not repeat forever.
class PaintScope {
 public:
  explicit PaintScope(HWND window) : window_(window) { dc_ = BeginPaint(window_, &paint_); }
  PaintScope(const PaintScope&) = delete;
  PaintScope& operator=(const PaintScope&) = delete;
  ~PaintScope() { EndPaint(window_, &paint_); }
  [[nodiscard]] HDC dc() const { return dc_; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_ = nullptr;
};

}  // namespace platform::win32
