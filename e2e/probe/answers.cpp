#include "answers.h"

#include <windows.h>
// after <windows.h>, which it needs
#include <tlhelp32.h>

#include <string>

#include "unique_handle.h"
#include "utf8_output.h"

namespace probe {

namespace {

std::wstring ClassOf(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  return name;
}

std::wstring TextOf(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

std::wstring Edges(const RECT& rect) {
  return std::to_wstring(rect.left) + L' ' + std::to_wstring(rect.top) + L' ' +
         std::to_wstring(rect.right) + L' ' + std::to_wstring(rect.bottom);
}

std::wstring RectOf(HWND window) {
  RECT rect = {};
  GetWindowRect(window, &rect);
  return Edges(rect);
}

// The client area in screen coordinates.
std::wstring ClientRectOf(HWND window) {
  RECT rect = {};
  GetClientRect(window, &rect);
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
  return Edges(rect);
}

BOOL CALLBACK ReportControl(HWND control, LPARAM) {
  WriteLine({L"control", ClassOf(control), TextOf(control), RectOf(control)});
  return TRUE;
}

BOOL CALLBACK ReportWindow(HWND window, LPARAM) {
  if (!IsWindowVisible(window)) return TRUE;
  WriteLine({L"window", ClassOf(window), TextOf(window), RectOf(window), ClientRectOf(window)});
  EnumChildWindows(window, ReportControl, 0);
  return TRUE;
}

}  // namespace

void AnswerTaskbar() {
  const HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr);
  WriteLine({taskbar == nullptr ? L"absent" : IsWindowVisible(taskbar) ? L"visible" : L"hidden"});
}

void AnswerWindows() { EnumWindows(ReportWindow, 0); }

void AnswerProcesses() {
  const HANDLE raw = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (raw == INVALID_HANDLE_VALUE) return;
  const UniqueHandle snapshot(raw);
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
       more = Process32NextW(snapshot.get(), &entry)) {
    WriteLine({entry.szExeFile});
  }
}

void Hold() { Sleep(INFINITE); }

}  // namespace probe
