#pragma once
// A form's menu bar, made from the form's menus.
#include <windows.h>

#include <vector>

#include "platform/win32/handles.h"
#include "platform/window_peer.h"

namespace platform::win32 {

// Menus with items become pop-ups, the others commands; every command reports its id through
// WM_COMMAND. Throws RunTimeError(OutOfMemory) when the system has no room for a menu.
UniqueMenu MakeMenuBar(const std::vector<MenuSpec>& menus);

}  // namespace platform::win32
