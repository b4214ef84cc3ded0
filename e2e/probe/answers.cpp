#include "answers.h"

#include <windows.h>
// after <windows.h>, which it needs
#include <winternl.h>

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "processes.h"
#include "unique_handle.h"
#include "utf8_output.h"

namespace probe {

namespace {

struct KeyCloser {
  void operator()(HKEY key) const { RegCloseKey(key); }
};
using UniqueKey = std::unique_ptr<HKEY__, KeyCloser>;

// The registry's limits on a value's name, in characters, and on the data this probe reads.
constexpr DWORD kMaxValueName = 16384;
constexpr DWORD kMaxValueData = 64 * 1024;

std::wstring DataText(DWORD type, const std::vector<BYTE>& data, DWORD size) {
  if (type == REG_DWORD && size == sizeof(DWORD)) {
    DWORD number = 0;
    std::memcpy(&number, data.data(), sizeof number);
    return std::to_wstring(number);
  }
  std::wstring text(size / sizeof(wchar_t), L'\0');
  std::memcpy(text.data(), data.data(), text.size() * sizeof(wchar_t));
  // Stored with its terminating null, or not.
  if (!text.empty() && text.back() == L'\0') text.pop_back();
  return text;
}

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

template <class Value>
bool ReadFrom(HANDLE process, const void* at, Value& value) {
  return ReadProcessMemory(process, at, &value, sizeof value, nullptr) != FALSE;
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
  ForEachProcess([](const PROCESSENTRY32W& entry) {
    WriteLine({entry.szExeFile});
    return true;
  });
}

// Read from the process's parameters block, where the system keeps its current directory.
void AnswerWorkingFolder(std::wstring_view image) {
  const DWORD id = ProcessOf(image);
  if (id == 0) return;
  const UniqueHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id));
  PROCESS_BASIC_INFORMATION basic = {};
  PEB peb = {};
  // The current directory's DOS path: the first member after the standard handles, at 0x38 of
  // the 64-bit parameters block.
  constexpr std::size_t kCurrentDirectoryOffset = 0x38;
  UNICODE_STRING folder = {};
  if (process == nullptr ||
      NtQueryInformationProcess(process.get(), ProcessBasicInformation, &basic, sizeof basic,
                                nullptr) != 0 ||
      !ReadFrom(process.get(), basic.PebBaseAddress, peb) ||
      !ReadFrom(process.get(),
                reinterpret_cast<const std::byte*>(peb.ProcessParameters) + kCurrentDirectoryOffset,
                folder)) {
    return;
  }
  std::wstring text(folder.Length / sizeof(wchar_t), L'\0');
  if (!ReadProcessMemory(process.get(), folder.Buffer, text.data(), folder.Length, nullptr)) return;
  WriteLine({text});
}

bool AnswerValues(HKEY root, const std::wstring& key) {
  HKEY raw = nullptr;
  const LSTATUS opened_status = RegOpenKeyExW(root, key.c_str(), 0, KEY_QUERY_VALUE, &raw);
  if (opened_status == ERROR_FILE_NOT_FOUND) {
    WriteLine({L"absent"});
    return true;
  }
  if (opened_status != ERROR_SUCCESS) return false;
  const UniqueKey opened(raw);
  std::wstring name(kMaxValueName, L'\0');
  std::vector<BYTE> data(kMaxValueData);
  for (DWORD index = 0;; ++index) {
    DWORD name_length = kMaxValueName;
    DWORD size = kMaxValueData;
    DWORD type = 0;
    const LSTATUS status = RegEnumValueW(opened.get(), index, name.data(), &name_length, nullptr,
                                         &type, data.data(), &size);
    if (status == ERROR_NO_MORE_ITEMS) return true;
    if (status != ERROR_SUCCESS) return false;
    if (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_DWORD) {
      WriteLine({std::wstring_view(name.data(), name_length), DataText(type, data, size)});
    }
  }
}

void Hold() { Sleep(INFINITE); }

}  // namespace probe
