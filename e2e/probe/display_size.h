#pragma once
// The display's size changed as a user or a game changes it: for this session only, every
// window told by the system's broadcast.

namespace probe {

// Gives the primary display (under Wine, the virtual desktop) this size in pixels; false when
// the system refused it.
bool SetDisplaySize(int width, int height);

}  // namespace probe
