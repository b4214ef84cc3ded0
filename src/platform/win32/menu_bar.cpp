#include "platform/win32/menu_bar.h"

#include "platform/run_time_error.h"
#include "platform/win32/utf16.h"

namespace platform::win32 {
namespace {

UniqueMenu NewMenu(HMENU menu) {
  if (menu == nullptr) throw RunTimeError(ErrorCode::OutOfMemory, "no room for a menu");
  return UniqueMenu(menu);
}

void AppendItems(HMENU menu, const std::vector<MenuSpec>& items) {
  for (const MenuSpec& item : items) {
    const std::wstring text = ToWide(item.text);
    if (item.items.empty()) {
      AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(item.id), text.c_str());
      continue;
    }
    UniqueMenu popup = NewMenu(CreatePopupMenu());
    AppendItems(popup.get(), item.items);
    if (AppendMenuW(menu, MF_STRING | MF_POPUP, reinterpret_cast<UINT_PTR>(popup.get()),
                    text.c_str())) {
      (void)popup.Detach();  // destroyed with the menu that holds it now
    }
  }
}

}  // namespace

UniqueMenu MakeMenuBar(const std::vector<MenuSpec>& menus) {
  UniqueMenu bar = NewMenu(CreateMenu());
  AppendItems(bar.get(), menus);
  return bar;
}

}  // namespace platform::win32
