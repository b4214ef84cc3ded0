#include "platform/win32/child_controls.h"

#include <algorithm>

#include "platform/run_time_error.h"
#include "platform/win32/colors.h"
#include "platform/win32/program_icon.h"
#include "platform/win32/utf16.h"

namespace platform::win32 {
namespace {

// The icon shows at its own size whatever the DPI, like the image of a picture box.
constexpr int kIconSize = 32;

struct NativeKind {
  const wchar_t* className;
  DWORD style;
};

// A group starts at the first button and ends at the controls below the buttons.
NativeKind NativeKindOf(const ControlSpec& design, bool firstButton) {
  switch (design.kind) {
    case ControlSpec::Kind::Button:
      return {L"BUTTON", static_cast<DWORD>(WS_TABSTOP | (firstButton ? WS_GROUP : 0) |
                                            (design.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON))};
    case ControlSpec::Kind::Icon:
      return {L"STATIC", WS_GROUP | SS_ICON};
    case ControlSpec::Kind::Label:
      break;
  }
  // SS_LEFT wraps at the label's width and breaks at CR LF.
  return {L"STATIC", WS_GROUP | SS_LEFT};
}

PixelRect Placement(const ControlSpec& design) {
  if (design.kind != ControlSpec::Kind::Icon) return design.rect;
  return {design.rect.left, design.rect.top, kIconSize, kIconSize};
}

}  // namespace

void ChildControls::Add(HWND parent, HINSTANCE instance, const ControlSpec& design, int dpi) {
  const auto lastButton = std::find_if(children_.rbegin(), children_.rend(), [](const Child& c) {
    return c.kind == ControlSpec::Kind::Button;
  });
  const bool firstButton = lastButton == children_.rend();
  // A child is made at the bottom of the z-order; a button goes up to just below the last one.
  const HWND above = firstButton ? HWND_TOP : lastButton->window;
  const NativeKind native = NativeKindOf(design, firstButton);
  const PixelRect rect = Placement(design);
  const std::wstring text = design.kind == ControlSpec::Kind::Icon ? L"" : ToWide(design.text);
  HWND window =
      CreateWindowExW(0, native.className, text.c_str(), WS_CHILD | WS_VISIBLE | native.style,
                      rect.left, rect.top, rect.width, rect.height, parent,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(design.id)), instance, nullptr);
  if (window == nullptr) throw RunTimeError(ErrorCode::OutOfMemory, "CreateWindowExW failed");
  children_.push_back({design.id, design.kind, window, design.foreColor, nullptr});
  if (design.kind == ControlSpec::Kind::Button) {
    SetWindowPos(window, above, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  if (design.isDefault) {
    // The dialog manager presses it on Enter unless another button has the focus.
    SendMessageW(parent, DM_SETDEFID, static_cast<WPARAM>(design.id), 0);
  }
  if (design.kind == ControlSpec::Kind::Icon) {
    if (!icon_) icon_ = LoadProgramIcon(instance, kIconSize);
    SendMessageW(window, STM_SETICON, reinterpret_cast<WPARAM>(icon_.get()), 0);
    return;
  }
  SetFont(children_.back(), design.font, dpi);
}

void ChildControls::Place(const ControlSpec& design, int dpi) {
  const auto child = std::find_if(children_.begin(), children_.end(),
                                  [&](const Child& c) { return c.id == design.id; });
  if (child == children_.end()) return;
  child->foreColor = design.foreColor;
  const PixelRect rect = Placement(design);
  MoveWindow(child->window, rect.left, rect.top, rect.width, rect.height, TRUE);
  if (child->kind != ControlSpec::Kind::Icon) SetFont(*child, design.font, dpi);
}

void ChildControls::SetText(int id, const std::string& text) {
  // An icon's window text would name an icon resource to load.
  const auto child = std::find_if(children_.begin(), children_.end(), [&](const Child& c) {
    return c.id == id && c.kind != ControlSpec::Kind::Icon;
  });
  if (child != children_.end()) SetWindowTextW(child->window, ToWide(text).c_str());
}

HWND ChildControls::Find(int id) const {
  const auto child =
      std::find_if(children_.begin(), children_.end(), [&](const Child& c) { return c.id == id; });
  return child == children_.end() ? nullptr : child->window;
}

HBRUSH ChildControls::ColorStatic(HDC dc, HWND window, std::uint32_t backColor) {
  const COLORREF back = ToColorRef(backColor);
  if (!background_ || back != backgroundColor_) {
    background_ = UniqueBrush(CreateSolidBrush(back));
    backgroundColor_ = back;
  }
  const auto child = std::find_if(children_.begin(), children_.end(),
                                  [&](const Child& c) { return c.window == window; });
  // Labels stand on the button face of the form, so their default colour is its text colour.
  const bool ownColor = child != children_.end() && child->foreColor.has_value();
  SetTextColor(dc, ownColor ? ToColorRef(*child->foreColor) : GetSysColor(COLOR_BTNTEXT));
  SetBkMode(dc, TRANSPARENT);
  return background_.get();
}

void ChildControls::SetFont(Child& child, const std::optional<FontSpec>& font, int dpi) {
  const HFONT handle = fonts_.Get(font, dpi);
  if (handle != child.font) {
    child.font = handle;
    SendMessageW(child.window, WM_SETFONT, reinterpret_cast<WPARAM>(handle), TRUE);
  }
  std::vector<HFONT> inUse;
  for (const Child& c : children_) inUse.push_back(c.font);
  fonts_.Prune(inUse);
}

}  // namespace platform::win32
