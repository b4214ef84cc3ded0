#pragma once
// The in-memory binding: windows, files, pictures, message boxes and system calls without a
// window system, so tests can inject input and ticks and look at everything the program did.
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/binding.h"
#include "platform/sim/sim_system.h"

namespace sim {

// Thrown by End so that the test regains control; deliberately no standard exception, so no
// procedure's error handler can swallow it.
struct ProgramEnded {};

class SimWindow;

struct ShownMessage {
  std::string text;
  std::string title;
};

class SimBinding final : public platform::Binding {
 public:
  SimBinding();
  SimBinding(const SimBinding&) = delete;
  SimBinding& operator=(const SimBinding&) = delete;
  ~SimBinding() override;

  // What the program is started with.
  platform::AppObject app;
  // The monitors, the primary one first; windows are made on the primary one, at its DPI, and
  // maximized on it.
  std::vector<platform::Monitor> monitors{{{0, 0, 1024, 768}, 96}};
  // The DPI the session began with. A program aware of each monitor's DPI goes by those
  // instead; tests set this apart from them to show that nothing reads it.
  int systemDpi = 96;
  std::string commandLine;
  SimSystem system;
  // How many more windows, child controls and timers the system makes before the process has
  // run out of handles; no limit when empty.
  std::optional<int> handlesLeft;

  // Files: a picture of a given natural size, a file whose header is fine but whose pixels are
  // broken, or a file that is no picture at all.
  void AddPicture(const std::string& path, platform::PixelSize size);
  void AddPictureWithBrokenPixels(const std::string& path, platform::PixelSize size);
  void AddFile(const std::string& path);
  // A program that can be started.
  void AddProgram(const std::string& path);

  // Actions run one by one while a modal window (or message box) waits for input.
  std::deque<std::function<void()>> whileModal;

  // What happened.
  std::vector<ShownMessage> messages;
  std::vector<std::string> openedPictures;
  int liveSources = 0;  // picture sources handed out and not yet destroyed
  struct StartedProgram {
    std::string path;
    int showMode;
  };
  std::vector<StartedProgram> startedPrograms;
  bool ended = false;  // End was called
  bool quit = false;   // the last form was unloaded

  // Monitors added, removed or re-arranged: every window hears of it, as from the system.
  void ChangeMonitors(std::vector<platform::Monitor> now);

  // Runs part of the program; returns normally also when it ends the program.
  static void Run(const std::function<void()>& action);
  // The windows made so far that still exist, oldest first.
  [[nodiscard]] std::vector<SimWindow*> Windows() const;
  [[nodiscard]] SimWindow& Window(platform::Handle handle) const;

  // platform::Binding
  platform::AppObject ReadApp() override { return app; }
  std::vector<platform::Monitor> Monitors() override { return monitors; }
  std::string CommandLine() override { return commandLine; }
  platform::SystemCalls& System() override { return system; }
  std::unique_ptr<platform::WindowPeer> MakeWindow(const platform::WindowSpec& design,
                                                   platform::WindowEvents& events) override;
  void RunModal(const std::function<bool()>& finished) override;
  void ShowMessage(const std::string& text, const std::string& title) override;
  void Quit() override { quit = true; }
  [[noreturn]] void End() override;
  bool FileExists(const std::string& path) override;
  void StartProgram(const std::string& path, int showMode) override;
  std::unique_ptr<platform::PixelSource> OpenPicture(const std::string& path) override;

  // Throws RunTimeError(OutOfMemory), as the window system fails, when no handle is left.
  void TakeHandle();
  void Forget(SimWindow& window);
  // As the window system does with a window's owned windows when the window is destroyed.
  void DestroyOwnedBy(platform::Handle owner);

 private:
  struct File {
    enum class Kind { Picture, BrokenPixels, NoPicture, Program } kind = Kind::NoPicture;
    platform::PixelSize size;
  };
  std::map<std::string, File> files_;
  std::vector<SimWindow*> windows_;
  platform::Handle nextHandle_ = 0x10010;
};

// A window in memory. Tests read its state and inject input through it.
class SimWindow final : public platform::WindowPeer {
 public:
  SimWindow(SimBinding& binding, platform::WindowSpec windowSpec, platform::WindowEvents& events,
            platform::Handle handle, const platform::Monitor& monitor);
  SimWindow(const SimWindow&) = delete;
  SimWindow& operator=(const SimWindow&) = delete;
  ~SimWindow() override;

  // platform::WindowPeer
  [[nodiscard]] platform::Handle handle() const override { return handle_; }
  [[nodiscard]] int Dpi() const override { return dpi; }
  [[nodiscard]] platform::PixelSize ClientSize() const override;
  [[nodiscard]] platform::PixelPoint ClientOrigin() const override;
  void SetCaption(const std::string& text) override { caption = text; }
  void SetOuterSize(platform::PixelSize size) override { outerSize = size; }
  void Show(platform::WindowState state) override;
  void SetEnabled(bool on) override { enabled = on; }
  void Invalidate() override { ++invalidations; }
  void UpdateNow() override { ++immediateRepaints; }
  void SetFocus() override;
  void StartTimer(int timerId, unsigned milliseconds) override;
  void SetClientSize(platform::PixelSize size) override;
  void Place(const platform::PixelRect& rect) override;
  void CoverPrimaryMonitor() override;
  void AddControl(const platform::ControlSpec& control) override;
  void SetControlText(int controlId, const std::string& text) override;
  void PlaceControl(const platform::ControlSpec& placed) override;
  void FocusControl(int controlId) override { focusedControl = controlId; }
  [[nodiscard]] int FocusedControl() const override { return focusedControl; }
  void SetMenu(const std::vector<platform::MenuSpec>& bar) override { menus = bar; }

  // Input, as the window system would deliver it (client pixels).
  void KeyDown(int keyCode, int shift = 0);
  void MouseDown(platform::PixelPoint at, int button = platform::kLeftButton);
  void MouseMove(platform::PixelPoint at);
  void Tick(int timerId = 0);
  void RequestClose();
  // A click on a button or a menu item; refused while the window takes no input.
  void Click(int controlId);
  void PressDialogKey(platform::DialogKey key);
  // The system suggests the window's outer size scaled to the new DPI, where it is, and the
  // window moves only where the form then puts it. A change of the monitors leaves every window
  // where it was: the real system may move one, but a form cannot count on that.
  void ChangeDpi(int newDpi);
  void ChangeDisplay();
  // The child control of that id, or of that text.
  [[nodiscard]] const platform::ControlSpec& Control(int controlId) const;
  [[nodiscard]] const platform::ControlSpec& Control(const std::string& text) const;
  [[nodiscard]] int MenuItemId(const std::string& text) const;
  [[nodiscard]] platform::Scene Scene() const { return events_.DescribeScene(); }
  // The native window is gone, while the form may still hold this object: the handle reads 0.
  void Destroyed() { handle_ = 0; }

  const platform::WindowSpec design;
  std::string caption;
  platform::PixelPoint position;  // outer top-left on the virtual screen
  platform::PixelSize outerSize;
  bool visible = false;
  platform::WindowState state = platform::WindowState::Normal;
  bool enabled = true;
  bool canTakeFocus = true;
  bool focused = false;
  int dpi;
  int invalidations = 0;
  int immediateRepaints = 0;
  std::map<int, unsigned> timers;               // running timers and their intervals
  std::vector<platform::ControlSpec> controls;  // in tab order
  std::vector<platform::MenuSpec> menus;
  int focusedControl = -1;

 private:
  SimBinding& binding_;
  platform::WindowEvents& events_;
  platform::Handle handle_;
};

}  // namespace sim
