#pragma once
// The program's icon, as the executable's icon resource holds it.
#include <windows.h>

#include "platform/win32/handles.h"

namespace platform::win32 {

// The image of the icon nearest the size, in pixels; empty when the resource is missing.
UniqueIcon LoadProgramIcon(HINSTANCE instance, int size);

}  // namespace platform::win32
