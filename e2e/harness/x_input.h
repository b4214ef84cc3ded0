#pragma once
// Input through XTest (xdotool): it reaches the Wine desktop like a person's mouse and keyboard.
#include <string>

#include "harness/x_display.h"

namespace e2e {

void MovePointer(const XDisplay& display, int x, int y);
// A left click there.
void ClickAt(const XDisplay& display, int x, int y);
// An X key name or combination, as xdotool knows it ("a", "Return", "shift", "alt+F4").
void PressKey(const XDisplay& display, const std::string& key);
// 1 left, 2 middle, 3 right.
void ClickButton(const XDisplay& display, int button);

}  // namespace e2e
