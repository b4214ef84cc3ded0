#pragma once
// The native children of one form window: push buttons, labels and the program's icon, with
// their fonts and colours. The parent window destroys the children; this object owns what
// they draw with, and outlives them.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/control_fonts.h"
#include "platform/win32/handles.h"
#include "platform/window_peer.h"

namespace platform::win32 {

class ChildControls {
 public:
  // Buttons come in tab order: the z-order they are made in is the order Tab follows. Labels and
  // icons take no focus and stay below them, so that the buttons make one group, which the arrow
  // keys go round as Tab does. Throws RunTimeError(OutOfMemory) when the child cannot be made.
  void Add(HWND parent, HINSTANCE instance, const ControlSpec& design, int dpi);
  void Place(const ControlSpec& design, int dpi);
  void SetText(int id, const std::string& text);
  [[nodiscard]] bool empty() const { return children_.empty(); }
  // The child of the id, or null.
  [[nodiscard]] HWND Find(int id) const;

  // WM_CTLCOLORSTATIC: labels and the icon stand on the form's background, labels in their
  // own text colour.
  HBRUSH ColorStatic(HDC dc, HWND child, std::uint32_t backColor);

 private:
  struct Child {
    int id = 0;
    ControlSpec::Kind kind = ControlSpec::Kind::Label;
    HWND window = nullptr;
    std::optional<std::uint32_t> foreColor;
    HFONT font = nullptr;
  };
  void SetFont(Child& child, const std::optional<FontSpec>& font, int dpi);

  std::vector<Child> children_;
  ControlFonts fonts_;
  UniqueIcon icon_;  // the icon controls' image, loaded with the first of them
  UniqueBrush background_;
  COLORREF backgroundColor_ = 0;
};

}  // namespace platform::win32
