#include "platform/sim/sim_binding.h"

#include <algorithm>
#include <stdexcept>

#include "platform/run_time_error.h"

namespace sim {
namespace {

using platform::ErrorCode;
using platform::PixelSize;
using platform::RunTimeError;

// A flat grey at any size; enough for the element to have pixels to draw.
class FlatPicture final : public platform::PixelSource {
 public:
  FlatPicture(PixelSize size, bool brokenPixels, int& alive)
      : size_(size), broken_(brokenPixels), alive_(alive) {
    ++alive_;
  }
  FlatPicture(const FlatPicture&) = delete;
  FlatPicture& operator=(const FlatPicture&) = delete;
  ~FlatPicture() override { --alive_; }
  [[nodiscard]] PixelSize size() const override { return size_; }
  platform::Bitmap Render(PixelSize target) override {
    if (broken_) throw RunTimeError(ErrorCode::InvalidPicture, "broken pixel data");
    return {target, std::vector<std::uint32_t>(platform::PixelCount(target), 0xFF808080U)};
  }

 private:
  PixelSize size_;
  bool broken_;
  int& alive_;
};

}  // namespace

SimBinding::SimBinding() {
  app.Path = "C:\\Saver";
  app.EXEName = "Saver";
  app.Title = "Saver";
  app.Major = 1;
}

SimBinding::~SimBinding() = default;

void SimBinding::AddPicture(const std::string& path, PixelSize size) {
  files_[path] = {File::Kind::Picture, size};
}

void SimBinding::AddPictureWithBrokenPixels(const std::string& path, PixelSize size) {
  files_[path] = {File::Kind::BrokenPixels, size};
}

void SimBinding::AddFile(const std::string& path) { files_[path] = {File::Kind::NoPicture, {}}; }

void SimBinding::AddProgram(const std::string& path) { files_[path] = {File::Kind::Program, {}}; }

void SimBinding::StartProgram(const std::string& path, int showMode) {
  const auto found = files_.find(path);
  if (found == files_.end() || found->second.kind != File::Kind::Program) {
    throw RunTimeError(ErrorCode::FileNotFound, "no program at " + path);
  }
  startedPrograms.push_back({path, showMode});
}

void SimBinding::Run(const std::function<void()>& action) {
  try {
    action();
  } catch (const ProgramEnded&) {
  }
}

std::vector<SimWindow*> SimBinding::Windows() const { return windows_; }

SimWindow& SimBinding::Window(platform::Handle handle) const {
  for (SimWindow* window : windows_) {
    if (window->handle() == handle) return *window;
  }
  throw std::logic_error("no window with that handle");
}

std::unique_ptr<platform::WindowPeer> SimBinding::MakeWindow(const platform::WindowSpec& design,
                                                             platform::WindowEvents& events) {
  TakeHandle();
  auto window = std::make_unique<SimWindow>(*this, design, events, nextHandle_, monitors.front());
  nextHandle_ += 0x10;
  windows_.push_back(window.get());
  return window;
}

void SimBinding::TakeHandle() {
  if (!handlesLeft) return;
  if (*handlesLeft == 0) throw RunTimeError(ErrorCode::OutOfMemory, "no handle left");
  --*handlesLeft;
}

void SimBinding::Forget(SimWindow& window) { std::erase(windows_, &window); }

void SimBinding::DestroyOwnedBy(platform::Handle owner) {
  const std::vector<SimWindow*> windows = windows_;
  for (SimWindow* window : windows) {
    if (window->design.owner != owner) continue;
    DestroyOwnedBy(window->handle());
    window->Destroyed();
    Forget(*window);
  }
}

void SimBinding::ChangeMonitors(std::vector<platform::Monitor> now) {
  monitors = std::move(now);
  // A window may go, and others come, while one of them hears of it.
  const std::vector<SimWindow*> before = windows_;
  for (SimWindow* window : before) {
    if (std::ranges::find(windows_, window) != windows_.end()) {
      window->ChangeDisplay();
    }
  }
}

void SimBinding::RunModal(const std::function<bool()>& finished) {
  while (!finished()) {
    if (whileModal.empty()) throw std::logic_error("a modal window waits for input nobody gives");
    const std::function<void()> action = std::move(whileModal.front());
    whileModal.pop_front();
    action();
  }
}

void SimBinding::ShowMessage(const std::string& text, const std::string& title) {
  messages.push_back({text, title});
}

void SimBinding::End() {
  ended = true;
  throw ProgramEnded{};
}

bool SimBinding::FileExists(const std::string& path) { return files_.contains(path); }

std::unique_ptr<platform::PixelSource> SimBinding::OpenPicture(const std::string& path) {
  openedPictures.push_back(path);
  const auto found = files_.find(path);
  if (found == files_.end()) throw RunTimeError(ErrorCode::FileNotFound, "file not found");
  const File& file = found->second;
  if (file.kind == File::Kind::NoPicture || file.kind == File::Kind::Program)
    throw RunTimeError(ErrorCode::InvalidPicture, "no picture");
  return std::make_unique<FlatPicture>(file.size, file.kind == File::Kind::BrokenPixels,
                                       liveSources);
}

SimWindow::SimWindow(SimBinding& binding, platform::WindowSpec windowSpec,
                     platform::WindowEvents& events, platform::Handle handle,
                     const platform::Monitor& monitor)
    : design(std::move(windowSpec)),
      caption(design.caption),
      dpi(monitor.dpi),
      binding_(binding),
      events_(events),
      handle_(handle) {}

SimWindow::~SimWindow() {
  if (handle_ == 0) return;  // destroyed with its owner already
  binding_.DestroyOwnedBy(handle_);
  binding_.Forget(*this);
}

namespace {

// What a fixed frame, a title bar and a menu bar take of the outer size.
platform::PixelSize FrameOf(const SimWindow& window) {
  if (window.design.border == platform::BorderStyle::None) return {0, 0};
  constexpr int kMenuBar = 20;
  return {6, 29 + (window.menus.empty() ? 0 : kMenuBar)};
}

}  // namespace

platform::PixelSize SimWindow::ClientSize() const {
  const platform::PixelSize frame = FrameOf(*this);
  return {std::max(0, outerSize.width - frame.width), std::max(0, outerSize.height - frame.height)};
}

// Inside a frame of equal sides, below its title bar and menu bar.
platform::PixelPoint SimWindow::ClientOrigin() const {
  const platform::PixelSize frame = FrameOf(*this);
  const int side = frame.width / 2;
  return {position.x + side, position.y + frame.height - side};
}

void SimWindow::Place(const platform::PixelRect& rect) {
  position = {rect.left, rect.top};
  outerSize = {rect.width, rect.height};
}

void SimWindow::CoverPrimaryMonitor() { Place(binding_.monitors.front().rect); }

void SimWindow::SetClientSize(platform::PixelSize size) {
  const platform::PixelSize frame = FrameOf(*this);
  outerSize = {size.width + frame.width, size.height + frame.height};
}

void SimWindow::StartTimer(int timerId, unsigned milliseconds) {
  binding_.TakeHandle();
  timers[timerId] = milliseconds;
}

void SimWindow::AddControl(const platform::ControlSpec& control) {
  binding_.TakeHandle();
  controls.push_back(control);
}

void SimWindow::SetControlText(int controlId, const std::string& text) {
  for (auto& control : controls) {
    if (control.id == controlId) control.text = text;
  }
}

void SimWindow::PlaceControl(const platform::ControlSpec& placed) {
  for (auto& control : controls) {
    if (control.id == placed.id) control = placed;
  }
}

const platform::ControlSpec& SimWindow::Control(int controlId) const {
  for (const auto& control : controls) {
    if (control.id == controlId) return control;
  }
  throw std::logic_error("no control with that id");
}

const platform::ControlSpec& SimWindow::Control(const std::string& text) const {
  for (const auto& control : controls) {
    if (control.text == text) return control;
  }
  throw std::logic_error("no control with the text " + text);
}

int SimWindow::MenuItemId(const std::string& text) const {
  for (const auto& menu : menus) {
    for (const auto& item : menu.items) {
      if (item.text == text) return item.id;
    }
  }
  throw std::logic_error("no menu item " + text);
}

void SimWindow::Click(int controlId) {
  if (!enabled) throw std::logic_error("the window takes no input now");
  binding_.Run([&] { events_.OnCommand(controlId); });
}

void SimWindow::PressDialogKey(platform::DialogKey key) {
  if (!enabled) throw std::logic_error("the window takes no input now");
  binding_.Run([&] { events_.OnDialogKey(key); });
}

void SimWindow::ChangeDpi(int newDpi) {
  const platform::PixelRect suggested{position.x, position.y, outerSize.width * newDpi / dpi,
                                      outerSize.height * newDpi / dpi};
  dpi = newDpi;
  binding_.Run([&] { events_.OnDpiChanged(suggested); });
}

void SimWindow::ChangeDisplay() {
  binding_.Run([&] { events_.OnDisplayChanged(); });
}

void SimWindow::Show(platform::WindowState newState) {
  visible = true;
  state = newState;
  if (newState == platform::WindowState::Maximized) CoverPrimaryMonitor();
}

void SimWindow::SetFocus() {
  if (!canTakeFocus || !visible || !enabled) {
    throw platform::RunTimeError(platform::ErrorCode::InvalidProcedureCall, "cannot take focus");
  }
  focused = true;
}

void SimWindow::KeyDown(int keyCode, int shift) {
  binding_.Run([&] { events_.OnKeyDown(keyCode, shift); });
}

void SimWindow::MouseDown(platform::PixelPoint at, int button) {
  binding_.Run([&] { events_.OnMouseDown(button, 0, at); });
}

void SimWindow::MouseMove(platform::PixelPoint at) {
  binding_.Run([&] { events_.OnMouseMove(0, 0, at); });
}

void SimWindow::Tick(int timerId) {
  if (!timers.contains(timerId)) throw std::logic_error("that timer is not running");
  binding_.Run([&] { events_.OnTimer(timerId); });
}

void SimWindow::RequestClose() {
  binding_.Run([&] { events_.OnCloseRequest(); });
}

}  // namespace sim
