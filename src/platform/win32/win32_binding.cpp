#include "platform/win32/win32_binding.h"

#include <new>
#include <optional>
#include <vector>

#include "platform/run_time_error.h"
#include "platform/win32/app_resources.h"
#include "platform/win32/command_line.h"
#include "platform/win32/display_monitors.h"
#include "platform/win32/long_path.h"
#include "platform/win32/metafile_picture.h"
#include "platform/win32/module_path.h"
#include "platform/win32/monitor_profile.h"
#include "platform/win32/picture_file.h"
#include "platform/win32/system_colour_engine.h"
#include "platform/win32/utf16.h"
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

// The thread's top-level windows in z-order, topmost first.
std::vector<HWND> ThreadWindows() {
  std::vector<HWND> windows;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM list) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&windows));
  return windows;
}

// The primary monitor's colours; sRGB's where its profile cannot even be read into memory.
std::shared_ptr<const DisplayColours> MonitorColours() {
  const auto engine = std::make_shared<const SystemColourEngine>();
  try {
    return std::make_shared<const DisplayColours>(engine, PrimaryMonitorProfile());
  } catch (const std::bad_alloc&) {
    return std::make_shared<const DisplayColours>(engine, std::nullopt);
  }
}

}  // namespace

Win32Binding::Win32Binding()
    : module_(GetModuleHandleW(nullptr)),
      instanceMutex_(CreateMutexW(nullptr, FALSE, kInstanceMutexName)),
      previousInstance_(GetLastError() == ERROR_ALREADY_EXISTS),
      formClass_(module_, L"SlideShowForm", &Win32Window::FormProcedure, 0),
      dialogClass_(module_, L"SlideShowDialog", &Win32Window::DialogProcedure, DLGWINDOWEXTRA) {}

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

std::vector<Monitor> Win32Binding::Monitors() { return DisplayMonitors(); }

std::string Win32Binding::CommandLine() {
  return ToUtf8(ArgumentsAfterProgramName(GetCommandLineW()));
}

std::unique_ptr<WindowPeer> Win32Binding::MakeWindow(const WindowSpec& design,
                                                     WindowEvents& events) {
  return std::make_unique<Win32Window>(design.dialog ? dialogClass_ : formClass_, design, events,
                                       openWindows_);
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
    Deliver(message);
  }
}

void Win32Binding::ShowMessage(const std::string& text, const std::string& title) {
  // Owned by the active form window, if any, so it stays above it and disables it meanwhile.
  MessageBoxW(ActiveForm(), ToWide(text).c_str(), ToWide(title).c_str(), MB_OK);
}

void Win32Binding::Quit() {
  quitPosted_ = true;
  PostQuitMessage(0);
}

// Under Wine a process that ends with a focused window still open leaves the display's keyboard
// focus nowhere, and the next program on that desktop gets no keys. The windows go first, their
// forms cut off so that no event runs.
void Win32Binding::End() {
  std::vector<HWND> forms;
  for (HWND window : ThreadWindows()) {
    if (!IsForm(window)) continue;
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    forms.push_back(window);
  }
  for (HWND window : forms) {
    if (IsWindow(window)) DestroyWindow(window);
  }
  ExitProcess(0);
}

bool Win32Binding::FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(ToWide(path).c_str());
  constexpr DWORD kNotOrdinary =
      FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & kNotOrdinary) == 0;
}

// A program folder deep enough puts the pictures' paths past MAX_PATH.
std::unique_ptr<PixelSource> Win32Binding::OpenPicture(const std::string& path) {
  // Made whole or not at all: where a part fails, this picture is not shown and the next one
  // tries again.
  if (!pictures_) {
    pictures_ = PictureSetUp{CreateWicFactory(), ScreenPixelsPerInch(), MonitorColours()};
  }
  return OpenPictureFile(pictures_->factory, ExtendedLengthPath(ToWide(path)),
                         pictures_->screenPixelsPerInch, pictures_->colours);
}

int Win32Binding::RunMessageLoop() {
  if (openWindows_ == 0 || quitPosted_) return 0;
  MSG message{};
  for (;;) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(message.wParam);
    if (got == -1) return 1;
    Deliver(message);
  }
}

// The keyboard of a form with controls is the dialog manager's: Tab, the arrows and the access
// keys move between the buttons, Enter and Esc become commands to the form. An access key that no
// control claims goes on to the window, which opens its menu with it.
void Win32Binding::Deliver(MSG& message) const {
  HWND form = message.hwnd != nullptr ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
  if (dialogClass_.Owns(form) && IsDialogMessageW(form, &message) != FALSE) return;
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

bool Win32Binding::IsForm(HWND window) const {
  return formClass_.Owns(window) || dialogClass_.Owns(window);
}

// The active form, or else the topmost form that takes input: a message box owned by it is
// modal to it, also while the system has activated no window of the program.
HWND Win32Binding::ActiveForm() const {
  HWND active = GetActiveWindow();
  if (IsForm(active) && IsWindowEnabled(active)) return active;
  for (HWND window : ThreadWindows()) {
    if (IsForm(window) && IsWindowVisible(window) && IsWindowEnabled(window)) {
      return window;
    }
  }
  return nullptr;
}

// The path names the program itself (lpApplicationName), so a path with spaces is never split
// into a shorter program and arguments; the command line repeats it quoted, as programs expect.
// The program starts in its own folder: the folder the saver was started in is nothing to it,
// and would be searched for the libraries it loads.
void Win32Binding::StartProgram(const std::string& path, int showMode) {
  const std::wstring program = ToWide(path);
  const std::wstring folder = FolderOf(program);
  std::wstring commandLine = L"\"" + program + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(showMode);
  PROCESS_INFORMATION started{};
  if (program.empty() ||
      CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                     folder.empty() ? nullptr : folder.c_str(), &startup, &started) == FALSE) {
    throw RunTimeError(ErrorCode::FileNotFound, "the program could not be started");
  }
  // Nobody waits for the tool: its process and thread handles are closed at once.
  const UniqueHandle process(started.hProcess);
  const UniqueHandle thread(started.hThread);
}

}  // namespace platform::win32
