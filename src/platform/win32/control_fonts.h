#pragma once
// The fonts of one window's controls: the system's message font or a named font, made for the
// window's DPI, shared by the controls that ask for the same one, and freed once none uses it.
#include <windows.h>

#include <optional>
#include <vector>

#include "platform/win32/handles.h"
#include "platform/window_peer.h"

namespace platform::win32 {

class ControlFonts {
 public:
  // The font a control asks for, or the system's message font without a request. The handle
  // stays valid until Prune is called without it.
  HFONT Get(const std::optional<FontSpec>& design, int dpi);
  // Frees every font that is not among those still in use.
  void Prune(const std::vector<HFONT>& inUse);

 private:
  struct Entry {
    std::optional<FontSpec> design;
    int dpi = 0;
    UniqueFont font;
  };
  std::vector<Entry> fonts_;
};

}  // namespace platform::win32
