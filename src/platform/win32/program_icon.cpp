#include "platform/win32/program_icon.h"

namespace platform::win32 {
namespace {

// ICON 1 of res/slideshow.rc: the lowest id, which Explorer shows for the file as well.
constexpr WORD kProgramIconId = 1;

}  // namespace

UniqueIcon LoadProgramIcon(HINSTANCE instance, int size) {
  return UniqueIcon(static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kProgramIconId),
                                                  IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
}

}  // namespace platform::win32
