#include "platform/sim/sim_system.h"

#include <strings.h>

#include <cstring>
#include <sstream>

#include "platform/system_values.h"

namespace sim {

using namespace platform::system_values;  // what the system answers with

namespace {

std::string Quoted(const char* text) {
  if (text == nullptr) return "null";
  // Appended, not concatenated: GCC 12 at -O3 warns falsely about `"\"" + std::string`.
  std::string quoted = "\"";
  quoted += text;
  quoted += '"';
  return quoted;
}

template <class... Args>
std::string Call(const char* name, const Args&... args) {
  std::ostringstream out;
  out << name << '(';
  const char* separator = "";
  ((out << separator << args, separator = ", "), ...);
  out << ')';
  return out.str();
}

std::string Hex(std::uint32_t value) {
  std::ostringstream out;
  out << "0x" << std::hex << value;
  return out.str();
}

}  // namespace

void SimSystem::Record(const std::string& call) {
  calls.push_back(call);
  if (meanwhile) meanwhile(call);
}

std::int32_t SimSystem::SystemParametersInfoA(std::uint32_t uiAction, std::uint32_t uiParam,
                                              void* pvParam, std::uint32_t fWinIni) {
  Record(Call("SystemParametersInfoA", uiAction, uiParam, Quoted(static_cast<const char*>(pvParam)),
              fWinIni));
  if (uiAction == SPI_SETSCREENSAVEACTIVE) screenSaveActive = uiParam != 0;
  return 1;
}

std::int32_t SimSystem::ShowCursor(std::int32_t bShow) {
  Record(Call("ShowCursor", bShow));
  cursorDisplayCount += bShow != 0 ? 1 : -1;
  return cursorDisplayCount;
}

Handle SimSystem::FindWindowA(const char* lpClassName, const char* lpWindowName) {
  Record(Call("FindWindowA", Quoted(lpClassName), Quoted(lpWindowName)));
  const bool isTaskbar = lpClassName != nullptr && strcasecmp(lpClassName, "Shell_TrayWnd") == 0 &&
                         (lpWindowName == nullptr || *lpWindowName == '\0');
  return isTaskbar && taskbarExists ? kTaskbar : 0;
}

std::int32_t SimSystem::SetWindowPos(Handle hWnd, Handle hWndInsertAfter, std::int32_t X,
                                     std::int32_t Y, std::int32_t cx, std::int32_t cy,
                                     std::uint32_t uFlags) {
  Record(Call("SetWindowPos", hWnd, hWndInsertAfter, X, Y, cx, cy, Hex(uFlags)));
  if (hWnd == 0) return 0;
  if (hWnd == kTaskbar && taskbarExists) {
    if ((uFlags & SWP_HIDEWINDOW) != 0) taskbarVisible = false;
    if ((uFlags & SWP_SHOWWINDOW) != 0) taskbarVisible = true;
  }
  if (hWndInsertAfter == HWND_TOPMOST) topmostWindows.insert(hWnd);
  return 1;
}

Handle SimSystem::ImmAssociateContext(Handle hWnd, Handle hIMC) {
  Record(Call("ImmAssociateContext", hWnd, hIMC));
  const Handle previous = inputContexts[hWnd];
  inputContexts[hWnd] = hIMC;
  return previous;
}

std::int32_t SimSystem::RegOpenKeyExA(Handle hKey, const char* lpSubKey, std::uint32_t ulOptions,
                                      std::uint32_t samDesired, Handle* phkResult) {
  Record(Call("RegOpenKeyExA", hKey, Quoted(lpSubKey), ulOptions, Hex(samDesired)));
  if (hKey != kHkeyLocalMachine || lpSubKey == nullptr || !registry.contains(lpSubKey)) {
    return ERROR_FILE_NOT_FOUND;
  }
  const Handle key = nextKey_++;
  keyPaths_[key] = lpSubKey;
  openKeys.insert(key);
  *phkResult = key;
  return ERROR_SUCCESS;
}

std::int32_t SimSystem::RegQueryValueExA(Handle hKey, const char* lpValueName,
                                         std::uint32_t* lpReserved, std::uint32_t* lpType,
                                         std::uint8_t* lpData, std::uint32_t* lpcbData) {
  (void)lpReserved;
  Record(Call("RegQueryValueExA", hKey, Quoted(lpValueName)));
  if (!openKeys.contains(hKey)) return ERROR_INVALID_HANDLE;
  const auto& values = registry[keyPaths_[hKey]];
  const auto found = values.find(lpValueName == nullptr ? "" : lpValueName);
  if (found == values.end()) return ERROR_FILE_NOT_FOUND;
  const RegistryValue& value = found->second;
  if (lpType != nullptr) *lpType = value.type;
  const auto size = static_cast<std::uint32_t>(value.data.size());
  if (lpData != nullptr && lpcbData != nullptr && size > *lpcbData) {
    *lpcbData = size;
    return ERROR_MORE_DATA;
  }
  if (lpData != nullptr && !value.data.empty()) {
    std::memcpy(lpData, value.data.data(), value.data.size());
  }
  if (lpcbData != nullptr) *lpcbData = size;
  return ERROR_SUCCESS;
}

std::int32_t SimSystem::RegCloseKey(Handle hKey) {
  Record(Call("RegCloseKey", hKey));
  return openKeys.erase(hKey) == 1 ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

}  // namespace sim
