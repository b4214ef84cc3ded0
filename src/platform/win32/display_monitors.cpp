#include "platform/win32/display_monitors.h"

#include <windows.h>
// after <windows.h>, which it needs
#include <shellscalingapi.h>

#include <algorithm>

namespace platform::win32 {
namespace {

struct Found {
  Monitor monitor;
  bool primary = false;
};

BOOL CALLBACK Collect(HMONITOR handle, HDC, LPRECT, LPARAM list) {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (GetMonitorInfoW(handle, &info) == FALSE) return TRUE;
  const RECT& r = info.rcMonitor;
  UINT dpiX = 0;
  UINT dpiY = 0;
  const bool hasDpi = SUCCEEDED(GetDpiForMonitor(handle, MDT_EFFECTIVE_DPI, &dpiX, &dpiY));
  const int dpi = hasDpi && dpiX != 0 ? static_cast<int>(dpiX) : USER_DEFAULT_SCREEN_DPI;
  reinterpret_cast<std::vector<Found>*>(list)->push_back(
      {{{r.left, r.top, r.right - r.left, r.bottom - r.top}, dpi},
       (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
  return TRUE;
}

}  // namespace

std::vector<Monitor> DisplayMonitors() {
  std::vector<Found> found;
  EnumDisplayMonitors(nullptr, nullptr, Collect, reinterpret_cast<LPARAM>(&found));
  std::stable_partition(found.begin(), found.end(), [](const Found& f) { return f.primary; });
  std::vector<Monitor> monitors;
  for (const Found& f : found) monitors.push_back(f.monitor);
  return monitors;
}

}  // namespace platform::win32
