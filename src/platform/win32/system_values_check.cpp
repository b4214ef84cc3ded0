// The portable code's copies of the system's numbers, checked against <windows.h> at compile
// time. Nothing here is linked.
#include "platform/system_values.h"
// after the portable names are declared: <windows.h> makes the same names macros
#include <windows.h>

#define PLATFORM_CHECK_NUMBER(type, name, value) \
  static_assert((name) == (value), #name " differs from <windows.h>");
PLATFORM_SYSTEM_NUMBERS(PLATFORM_CHECK_NUMBER)
