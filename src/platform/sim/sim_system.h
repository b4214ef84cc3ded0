#pragma once
// The system calls in memory: every call is recorded as text, in order, and its effect on a
// simulated cursor, task bar, input contexts and registry is kept so tests can look at it.
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/system_calls.h"
#include "platform/system_values.h"

namespace sim {

using platform::Handle;

struct RegistryValue {
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
};

class SimSystem final : public platform::SystemCalls {
 public:
  static constexpr Handle kTaskbar = 0x20020;
  static constexpr Handle kHkeyLocalMachine = platform::system_values::HKEY_LOCAL_MACHINE;

  std::int32_t SystemParametersInfoA(std::uint32_t uiAction, std::uint32_t uiParam, void* pvParam,
                                     std::uint32_t fWinIni) override;
  std::int32_t ShowCursor(std::int32_t bShow) override;
  Handle FindWindowA(const char* lpClassName, const char* lpWindowName) override;
  std::int32_t SetWindowPos(Handle hWnd, Handle hWndInsertAfter, std::int32_t X, std::int32_t Y,
                            std::int32_t cx, std::int32_t cy, std::uint32_t uFlags) override;
  Handle ImmAssociateContext(Handle hWnd, Handle hIMC) override;
  std::int32_t RegOpenKeyExA(Handle hKey, const char* lpSubKey, std::uint32_t ulOptions,
                             std::uint32_t samDesired, Handle* phkResult) override;
  std::int32_t RegQueryValueExA(Handle hKey, const char* lpValueName, std::uint32_t* lpReserved,
                                std::uint32_t* lpType, std::uint8_t* lpData,
                                std::uint32_t* lpcbData) override;
  std::int32_t RegCloseKey(Handle hKey) override;

  // Every call so far, e.g. "SetWindowPos(131104, 0, 0, 0, 0, 0, 0x80)".
  std::vector<std::string> calls;
  // Called with each call as it is made, before it returns: what the system may deliver to the
  // program's windows while a call waits on another program.
  std::function<void(const std::string& call)> meanwhile;

  // Simulated state.
  int cursorDisplayCount = 0;
  bool taskbarExists = true;
  bool taskbarVisible = true;
  bool screenSaveActive = false;
  std::map<Handle, Handle> inputContexts;  // window -> associated input context
  std::set<Handle> topmostWindows;
  // HKEY_LOCAL_MACHINE\<key> -> value name -> value. Key paths compare as written.
  std::map<std::string, std::map<std::string, RegistryValue>> registry;
  std::set<Handle> openKeys;

 private:
  void Record(const std::string& call);

  std::map<Handle, std::string> keyPaths_;
  Handle nextKey_ = 0x3000;
};

}  // namespace sim
