#include "platform/win32/monitor_profile.h"

#include <windows.h>

#include <string>

#include "platform/win32/handles.h"

namespace platform::win32 {
namespace {

std::optional<std::vector<std::uint8_t>> ReadProfileFile(const wchar_t* path) {
  HANDLE opened = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (opened == INVALID_HANDLE_VALUE) return std::nullopt;
  const UniqueHandle file(opened);
  LARGE_INTEGER size{};
  if (GetFileSizeEx(file.get(), &size) == FALSE || size.QuadPart <= 0 ||
      static_cast<std::uint64_t>(size.QuadPart) > kMaxMonitorProfileBytes) {
    return std::nullopt;
  }
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size.QuadPart));
  DWORD read = 0;
  if (ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ==
          FALSE ||
      read != bytes.size()) {
    return std::nullopt;
  }
  return bytes;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> PrimaryMonitorProfile() {
  MONITORINFOEXW monitor{};
  monitor.cbSize = sizeof(monitor);
  if (GetMonitorInfoW(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor) == FALSE) {
    return std::nullopt;
  }
  // A DC of that monitor, not the screen's: the screen's answers for the whole desktop.
  const DeviceDc dc(CreateDCW(L"DISPLAY", monitor.szDevice, nullptr, nullptr));
  if (!dc) return std::nullopt;
  std::wstring path(MAX_PATH, L'\0');
  auto length = static_cast<DWORD>(path.size());
  if (GetICMProfileW(dc.get(), &length, path.data()) == FALSE) {
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || length == 0) return std::nullopt;
    path.assign(length, L'\0');
    if (GetICMProfileW(dc.get(), &length, path.data()) == FALSE) return std::nullopt;
  }
  return ReadProfileFile(path.c_str());
}

}  // namespace platform::win32
