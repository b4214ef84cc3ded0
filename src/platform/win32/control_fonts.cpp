#include "platform/win32/control_fonts.h"

#include <algorithm>

#include "platform/win32/utf16.h"

namespace platform::win32 {
namespace {

bool SameRequest(const std::optional<FontSpec>& a, const std::optional<FontSpec>& b) {
  if (!a || !b) return !a && !b;
  return a->face == b->face && a->points == b->points && a->weight == b->weight &&
         a->charset == b->charset;
}

// The font of dialogs and message boxes, sized by the system for the DPI. Without it a control
// keeps the system font.
UniqueFont MessageFont(int dpi) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  if (!SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0,
                                  static_cast<UINT>(dpi))) {
    return {};
  }
  return UniqueFont(CreateFontIndirectW(&metrics.lfMessageFont));
}

// Where the face is missing, the font mapper falls back to a font of the character set, so a
// Shift-JIS request still gets a Japanese font.
UniqueFont NamedFont(const FontSpec& design, int dpi) {
  const std::wstring face = ToWide(design.face);
  return UniqueFont(CreateFontW(-MulDiv(design.points, dpi, 72), 0, 0, 0, design.weight, FALSE,
                                FALSE, FALSE, static_cast<DWORD>(design.charset),
                                OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                DEFAULT_PITCH | FF_DONTCARE, face.c_str()));
}

}  // namespace

HFONT ControlFonts::Get(const std::optional<FontSpec>& design, int dpi) {
  const auto found = std::find_if(fonts_.begin(), fonts_.end(), [&](const Entry& entry) {
    return entry.dpi == dpi && SameRequest(entry.design, design);
  });
  if (found != fonts_.end()) return found->font.get();
  UniqueFont font = design ? NamedFont(*design, dpi) : MessageFont(dpi);
  if (!font) return nullptr;
  const HFONT handle = font.get();
  fonts_.push_back({design, dpi, std::move(font)});
  return handle;
}

void ControlFonts::Prune(const std::vector<HFONT>& inUse) {
  std::erase_if(fonts_, [&](const Entry& entry) {
    return std::find(inUse.begin(), inUse.end(), entry.font.get()) == inUse.end();
  });
}

}  // namespace platform::win32
