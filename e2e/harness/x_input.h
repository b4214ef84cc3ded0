#pragma once
// Input through XTest (xdotool): it reaches the Wine desktop like a person's mouse and keyboard.
#include <string>

#include "harness/x_display.h"

namespace e2e {

void MovePointer(const XDisplay& display, int x, int y);
// An X key name, as xdotool knows it ("a", "Return", "shift").
void PressKey(const XDisplay& display, const std::string& key);
// 1 left, 2 middle, 3 right.
void ClickButton(const XDisplay& display, int button);

}  // namespace e2e
