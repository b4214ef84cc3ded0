#include "harness/x_input.h"

#include "harness/child_process.h"

namespace e2e {

void MovePointer(const XDisplay& display, int x, int y) {
  RunTool({"xdotool", "mousemove", std::to_string(x), std::to_string(y)}, display.environment());
}

void ClickAt(const XDisplay& display, int x, int y) {
  RunTool({"xdotool", "mousemove", std::to_string(x), std::to_string(y), "click", "1"},
          display.environment());
}

void PressKey(const XDisplay& display, const std::string& key) {
  RunTool({"xdotool", "key", key}, display.environment());
}

void ClickButton(const XDisplay& display, int button) {
  RunTool({"xdotool", "click", std::to_string(button)}, display.environment());
}

}  // namespace e2e
