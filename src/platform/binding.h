#pragma once
// What a binding provides to the form engine: the application's facts, native windows, the
// modal loop, message boxes, files, programs, pictures and the system calls.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/pictures/pixels.h"
#include "platform/system_calls.h"
#include "platform/window_peer.h"

namespace platform {

// The application object's facts, as the program and its version information give them.
struct AppObject {
  std::string Path;     // the program's folder; no trailing backslash except at a drive's root
  std::string EXEName;  // the executable's name without extension
  std::string Title;
  std::string CompanyName;
  std::string LegalCopyright;
  std::int16_t Major = 0;
  std::int16_t Minor = 0;
  std::int16_t Revision = 0;
  bool PrevInstance = false;
};

struct Monitor {
  PixelRect rect;  // on the virtual screen, in physical pixels; the primary one starts at 0, 0
  int dpi = 96;    // the monitor's DPI now, which may differ from the one the session began with
};

class Binding {
 public:
  virtual ~Binding() = default;

  virtual AppObject ReadApp() = 0;
  // The monitors, the primary one first.
  virtual std::vector<Monitor> Monitors() = 0;
  // The text after the program's name, as one string.
  virtual std::string CommandLine() = 0;
  virtual SystemCalls& System() = 0;

  virtual std::unique_ptr<WindowPeer> MakeWindow(const WindowSpec& design,
                                                 WindowEvents& events) = 0;
  // Delivers events until `finished` says so; the forms' modal loop.
  virtual void RunModal(const std::function<bool()>& finished) = 0;
  // A modal message box with only an OK button; returns when it is closed.
  virtual void ShowMessage(const std::string& text, const std::string& title) = 0;
  // No form is loaded any more: the program ends once the start routine has returned.
  virtual void Quit() = 0;
  // Ends the program at once; nothing after it runs.
  [[noreturn]] virtual void End() = 0;

  // Whether an ordinary file (not a folder, not hidden, not a system file) is at the path.
  virtual bool FileExists(const std::string& path) = 0;
  // Starts the program at exactly that path, without waiting for it; its window is shown as
  // `showMode` says. Throws RunTimeError when it cannot be started.
  virtual void StartProgram(const std::string& path, int showMode) = 0;
  // Opens a picture file and checks its header; throws RunTimeError (FileNotFound,
  // InvalidPicture) when it is missing or no picture the decoder accepts.
  virtual std::unique_ptr<PixelSource> OpenPicture(const std::string& path) = 0;
};

}  // namespace platform
