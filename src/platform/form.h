#pragma once
// A form of the form engine: one window, its design-time properties, its controls and its
// events. A window class derives from Form, overrides the Form_ events it handles and wires its
// controls' events to its own handlers.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/numbers.h"
#include "platform/runtime.h"
#include "platform/window_peer.h"

namespace platform {

class ChildControl;
class CommandButton;
class Cover;
class Image;
class Line;
class Menu;
class Timer;

enum class ScaleMode { Twips = 1, Pixels = 3 };

struct TwipsSize {
  Single width = 0;
  Single height = 0;
};

// The properties a form is designed with.
struct FormDesign {
  WindowSpec window;
  std::optional<TwipsSize> clientSize;  // the inner size of a dialog
  WindowState windowState = WindowState::Normal;
  ScaleMode scaleMode = ScaleMode::Twips;
  std::uint32_t backColor = 0x8000000F;  // the system's button face
  const Form* owner = nullptr;           // the form whose window owns this one's
};

class Form : private WindowEvents {
 public:
  Form(Runtime& runtime, FormDesign design);
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;
  virtual ~Form();

  // Life of the form.
  void Load();
  void Show();
  void ShowModal();
  void Unload();
  [[nodiscard]] bool Loaded() const { return peer_ != nullptr; }

  // Properties. Width and Height are the outer size in twips; ScaleWidth and ScaleHeight the
  // inner size in the form's scale mode.
  [[nodiscard]] std::string Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  [[nodiscard]] Single Width() const { return width_; }
  [[nodiscard]] Single Height() const { return height_; }
  void SetWidth(Single twips);
  void SetHeight(Single twips);
  [[nodiscard]] Single ScaleWidth() const;
  [[nodiscard]] Single ScaleHeight() const;
  [[nodiscard]] std::uint32_t BackColor() const { return backColor_; }
  void SetBackColor(std::uint32_t color);
  [[nodiscard]] bool AutoRedraw() const { return autoRedraw_; }
  void SetAutoRedraw(bool on) { autoRedraw_ = on; }
  [[nodiscard]] WindowState GetWindowState() const { return windowState_; }
  void SetWindowState(WindowState state);
  [[nodiscard]] bool Visible() const { return visible_; }
  [[nodiscard]] Handle hWnd() const;
  // Repaints the window at once.
  void Refresh();
  // Gives the window the input focus; raises a run-time error when it cannot take it.
  void SetFocus();

  // The length of one pixel in the form's scale unit.
  [[nodiscard]] double UnitsPerPixel() const;
  // Called by the run-time while another form is modal.
  void EnableInput(bool enabled);
  // Called by the controls.
  void AddControl(Image& image);
  void AddControl(Timer& timer);
  void AddControl(ChildControl& control);
  void AddControl(Line& line);
  void AddControl(Menu& menu, bool onMenuBar);
  [[nodiscard]] int NextControlId() { return nextControlId_++; }
  void ControlChanged();
  [[nodiscard]] WindowPeer* Peer() const { return peer_.get(); }

 protected:
  virtual void Form_Load() {}
  virtual void Form_Unload(Integer& Cancel) { (void)Cancel; }
  virtual void Form_KeyDown(Integer KeyCode, Integer Shift) {
    (void)KeyCode;
    (void)Shift;
  }
  virtual void Form_MouseDown(Integer Button, Integer Shift, Single X, Single Y) {
    (void)Button, (void)Shift, (void)X, (void)Y;
  }
  virtual void Form_MouseMove(Integer Button, Integer Shift, Single X, Single Y) {
    (void)Button, (void)Shift, (void)X, (void)Y;
  }

  Runtime& runtime_;
  const AppObject& App;
  const ScreenObject& Screen;

 private:
  // WindowEvents
  void OnKeyDown(int keyCode, int shift) override;
  void OnMouseDown(int button, int shift, PixelPoint at) override;
  void OnMouseMove(int button, int shift, PixelPoint at) override;
  void OnCloseRequest() override;
  void OnTimer(int timerId) override;
  void OnCommand(int controlId) override;
  void OnDialogKey(DialogKey key) override;
  void OnDpiChanged(const PixelRect& suggested) override;
  void OnDisplayChanged() override;
  [[nodiscard]] Scene DescribeScene() const override;

  // A maximized form without a border is full-screen: the monitors beside its own are covered.
  [[nodiscard]] bool FullScreen() const;
  // The native side of Load: the window, its menus, controls and covers, its timers running.
  void MakeWindow();
  // Undoes MakeWindow, whatever part of it was done.
  void DiscardWindow();
  void CoverOtherMonitors();

  [[nodiscard]] Image* ImageAt(PixelPoint at) const;
  [[nodiscard]] int ToPixels(Single twips) const;
  void ApplyClientSize();
  [[nodiscard]] CommandButton* Button(int controlId) const;
  [[nodiscard]] CommandButton* FirstButton(bool (*wanted)(const CommandButton&)) const;

  FormDesign design_;
  std::string caption_;
  Single width_ = 0;
  Single height_ = 0;
  std::uint32_t backColor_;
  bool autoRedraw_ = false;
  WindowState windowState_;
  bool visible_ = false;
  bool unloading_ = false;  // Form_Unload runs; a close request meanwhile changes nothing
  std::vector<Image*> images_;
  std::vector<Timer*> timers_;
  std::vector<ChildControl*> children_;  // in tab order
  std::vector<Line*> lines_;
  std::vector<Menu*> menuBar_;
  std::vector<Menu*> menus_;  // every menu and item, for their clicks
  int nextControlId_ = 100;
  std::unique_ptr<WindowPeer> peer_;
  std::vector<std::unique_ptr<Cover>> covers_;  // go before the window they stand beside
};

}  // namespace platform
