#include "platform/win32/win32_binding.h"

#include "platform/win32/app_resources.h"
#include "platform/win32/command_line.h"
#include "platform/win32/module_path.h"
#include "platform/win32/utf16.h"
#include "platform/win32/wic_picture.h"
#include "platform/win32/win32_window.h"

namespace platform::win32 {
namespace {

// Names the mutex by which any second start of the saver, from whatever folder and under
// whatever file name, recognises the first. Fixed for the product; never derived from the path.
constexpr wchar_t kInstanceMutexName[] = L"SlideShowSaver-7c1e4a52-9b3d-4f0e-8a61-2d5c0b9e1f37";

std::wstring ModuleFileName(HMODULE module) {
  // Long paths may exceed MAX_PATH; grow until the name fits.
  std::wstring name(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(module, name.data(), static_cast<DWORD>(name.size()));
    if (length == 0) return {};
    if (length < name.size()) {
      name.resize(length);
      return name;
    }
    name.resize(name.size() * 2);
  }
}

}  // namespace

Win32Binding::Win32Binding()
    : module_(GetModuleHandleW(nullptr)),
      instanceMutex_(CreateMutexW(nullptr, FALSE, kInstanceMutexName)),
      previousInstance_(GetLastError() == ERROR_ALREADY_EXISTS),
      windowClass_(module_, &Win32Window::Procedure) {}

AppObject Win32Binding::ReadApp() {
  const std::wstring path = ModuleFileName(module_);
  const ResourceIdentity identity = ReadResourceIdentity(module_);
  AppObject app;
  app.Path = ToUtf8(FolderOf(path));
  app.EXEName = ToUtf8(NameWithoutExtension(path));
  app.Title = identity.title;
  app.CompanyName = identity.companyName;
  app.LegalCopyright = identity.legalCopyright;
  app.Major = identity.major;
  app.Minor = identity.minor;
  app.Revision = identity.revision;
  app.PrevInstance = previousInstance_;
  return app;
}

// The manifest makes the process per-monitor aware, so these are physical pixels.
ScreenMetrics Win32Binding::ReadScreen() {
  ScreenMetrics metrics;
  metrics.size = {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  const UINT dpi = GetDpiForSystem();
  metrics.dpi = dpi != 0 ? static_cast<int>(dpi) : USER_DEFAULT_SCREEN_DPI;
  return metrics;
}

std::string Win32Binding::CommandLine() {
  return ToUtf8(ArgumentsAfterProgramName(GetCommandLineW()));
}

std::unique_ptr<WindowPeer> Win32Binding::MakeWindow(const WindowSpec& spec, WindowEvents& events) {
  return std::make_unique<Win32Window>(windowClass_, spec, events, openWindows_);
}

void Win32Binding::RunModal(const std::function<bool()>& finished) {
  MSG message{};
  while (!finished()) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) {
      // The program is quitting: leave the modal loop and let the outer loop see WM_QUIT too.
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    if (got == -1) return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void Win32Binding::ShowMessage(const std::string& text, const std::string& title,
                               MessageBoxStyle style) {
  UINT type = 0;
  switch (style) {
    case MessageBoxStyle::OkOnly:
      type = MB_OK;
      break;
  }
  // Owned by the active form window, if any, so it stays above it and disables it meanwhile.
  MessageBoxW(GetActiveWindow(), ToWide(text).c_str(), ToWide(title).c_str(), type);
}

void Win32Binding::Quit() {
  quitPosted_ = true;
  PostQuitMessage(0);
}

void Win32Binding::End() { ExitProcess(0); }

bool Win32Binding::FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(ToWide(path).c_str());
  constexpr DWORD kNotOrdinary =
      FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & kNotOrdinary) == 0;
}

std::unique_ptr<PixelSource> Win32Binding::OpenPicture(const std::string& path) {
  return OpenWicPicture(ToWide(path));
}

int Win32Binding::RunMessageLoop() {
  MSG message{};
  for (;;) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(message.wParam);
    if (got == -1) return 1;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

}  // namespace platform::win32
