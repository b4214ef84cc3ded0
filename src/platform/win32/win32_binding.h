#pragma once
// The form engine's binding to Windows: the application's facts from the module and its
// resources, native windows, the message loops, message boxes, files and pictures.
#include <windows.h>

#include <cstddef>
#include <memory>
#include <optional>

#include "platform/binding.h"
#include "platform/pictures/display_colours.h"
#include "platform/win32/handles.h"
#include "platform/win32/wic_picture.h"
#include "platform/win32/win32_system_calls.h"
#include "platform/win32/window_class.h"

namespace platform::win32 {

class Win32Binding final : public Binding {
 public:
  // Takes the instance mutex at once and holds it for the process's life, so a second start
  // sees the first for as long as it runs.
  Win32Binding();

  AppObject ReadApp() override;
  std::vector<Monitor> Monitors() override;
  std::string CommandLine() override;
  SystemCalls& System() override { return system_; }

  std::unique_ptr<WindowPeer> MakeWindow(const WindowSpec& design, WindowEvents& events) override;
  void RunModal(const std::function<bool()>& finished) override;
  void ShowMessage(const std::string& text, const std::string& title) override;
  void Quit() override;
  [[noreturn]] void End() override;

  bool FileExists(const std::string& path) override;
  void StartProgram(const std::string& path, int showMode) override;
  std::unique_ptr<PixelSource> OpenPicture(const std::string& path) override;

  // Delivers messages until WM_QUIT and returns its exit code; returns 0 at once when the start
  // routine left no form window open (a preview, or a form that already closed) or quit.
  int RunMessageLoop();

 private:
  void Deliver(MSG& message) const;
  [[nodiscard]] bool IsForm(HWND window) const;
  [[nodiscard]] HWND ActiveForm() const;

  HMODULE module_;
  UniqueHandle instanceMutex_;
  bool previousInstance_ = false;
  Win32SystemCalls system_;
  WindowClass formClass_;
  WindowClass dialogClass_;
  // What every picture of the show is opened with, made for the first one and kept.
  struct PictureSetUp {
    Microsoft::WRL::ComPtr<IWICImagingFactory> factory;
    int screenPixelsPerInch;                        // an inch of a metafile
    std::shared_ptr<const DisplayColours> colours;  // of the monitor the pictures are on
  };
  std::optional<PictureSetUp> pictures_;
  std::size_t openWindows_ = 0;
  bool quitPosted_ = false;
};

}  // namespace platform::win32
