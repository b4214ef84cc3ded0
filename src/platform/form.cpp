#include "platform/form.h"

#include <cmath>

#include "platform/controls.h"
#include "platform/cover.h"
#include "platform/dialog_controls.h"
#include "platform/run_time_error.h"

namespace platform {

Form::Form(Runtime& runtime, FormDesign design)
    : runtime_(runtime),
      App(runtime.App),
      Screen(runtime.Screen),
      design_(std::move(design)),
      caption_(design_.window.caption),
      backColor_(design_.backColor),
      windowState_(design_.windowState) {}

Form::~Form() = default;

// A form is loaded whole or not at all. Half a form (its window made, a control or its timer
// not, as when the process has run out of handles) would keep the program alive with a hidden
// window that nothing ends; undone, it leaves the program to end as with no window open. The
// run-time counts the form as loaded only once it is whole, just before its load handler runs.
void Form::Load() {
  if (Loaded()) return;
  try {
    MakeWindow();
    runtime_.FormLoaded(*this);
  } catch (...) {
    DiscardWindow();
    throw;
  }
  Form_Load();
}

void Form::MakeWindow() {
  WindowSpec design = design_.window;
  design.caption = caption_;
  design.dialog = !children_.empty();
  if (design_.owner != nullptr) design.owner = design_.owner->hWnd();
  peer_ = runtime_.binding().MakeWindow(design, *this);
  if (width_ > 0 && height_ > 0) peer_->SetOuterSize({ToPixels(width_), ToPixels(height_)});
  if (!menuBar_.empty()) {
    std::vector<MenuSpec> menus;
    for (const Menu* menu : menuBar_) menus.push_back(menu->Describe());
    peer_->SetMenu(menus);
  }
  ApplyClientSize();
  for (const ChildControl* child : children_) peer_->AddControl(child->Describe(peer_->Dpi()));
  CoverOtherMonitors();
  for (std::size_t i = 0; i < timers_.size(); ++i) timers_[i]->Arm(static_cast<int>(i));
}

void Form::DiscardWindow() {
  covers_.clear();
  peer_.reset();
  visible_ = false;
}

void Form::Show() {
  Load();
  if (!Loaded()) return;  // its load handler unloaded it
  visible_ = true;
  peer_->Show(windowState_);
  // A dialog opens with the focus on its first button.
  if (CommandButton* first = FirstButton([](const CommandButton&) { return true; })) {
    peer_->FocusControl(first->Id());
  }
}

void Form::ShowModal() {
  Show();
  if (Loaded()) runtime_.RunModal(*this);
}

// A message sent to the window while Form_Unload waits in a system call (a close request during
// a call into another process) must not run it a second time. Form_Unload contains its own
// errors; only End leaves it early, and after End nothing runs any more.
void Form::Unload() {
  if (!Loaded() || unloading_) return;
  Integer cancel = 0;
  unloading_ = true;
  Form_Unload(cancel);
  unloading_ = false;
  if (cancel != 0 || !Loaded()) return;
  DiscardWindow();
  runtime_.FormUnloaded(*this);
}

void Form::SetCaption(const std::string& caption) {
  caption_ = caption;
  if (peer_) peer_->SetCaption(caption);
}

void Form::SetWidth(Single twips) {
  width_ = twips;
  if (peer_ && height_ > 0) peer_->SetOuterSize({ToPixels(width_), ToPixels(height_)});
}

void Form::SetHeight(Single twips) {
  height_ = twips;
  if (peer_ && width_ > 0) peer_->SetOuterSize({ToPixels(width_), ToPixels(height_)});
}

Single Form::ScaleWidth() const {
  const int pixels = peer_ ? peer_->ClientSize().width : 0;
  return ToSingle(pixels * UnitsPerPixel());
}

Single Form::ScaleHeight() const {
  const int pixels = peer_ ? peer_->ClientSize().height : 0;
  return ToSingle(pixels * UnitsPerPixel());
}

void Form::SetBackColor(std::uint32_t color) {
  backColor_ = color;
  ControlChanged();
}

void Form::SetWindowState(WindowState state) {
  windowState_ = state;
  if (peer_ && visible_) peer_->Show(state);
}

Handle Form::hWnd() const { return peer_ ? peer_->handle() : 0; }

void Form::Refresh() {
  if (!peer_) return;
  peer_->Invalidate();
  peer_->UpdateNow();
}

void Form::SetFocus() {
  if (!peer_ || !visible_) throw RunTimeError(ErrorCode::InvalidProcedureCall, "cannot focus");
  peer_->SetFocus();
}

double Form::UnitsPerPixel() const {
  if (design_.scaleMode == ScaleMode::Pixels) return 1.0;
  const int dpi = peer_ ? peer_->Dpi() : 96;
  return kTwipsPerInch / dpi;
}

int Form::ToPixels(Single twips) const { return TwipsToPixels(twips, peer_ ? peer_->Dpi() : 96); }

void Form::EnableInput(bool enabled) {
  if (peer_) peer_->SetEnabled(enabled);
}

void Form::AddControl(Image& image) { images_.push_back(&image); }
void Form::AddControl(Timer& timer) { timers_.push_back(&timer); }
void Form::AddControl(ChildControl& control) { children_.push_back(&control); }
void Form::AddControl(Line& line) { lines_.push_back(&line); }

void Form::AddControl(Menu& menu, bool onMenuBar) {
  menus_.push_back(&menu);
  if (onMenuBar) menuBar_.push_back(&menu);
}

void Form::ApplyClientSize() {
  if (design_.clientSize) {
    peer_->SetClientSize(
        {ToPixels(design_.clientSize->width), ToPixels(design_.clientSize->height)});
  }
}

CommandButton* Form::Button(int controlId) const {
  for (ChildControl* child : children_) {
    if (child->Id() == controlId && child->Kind() == ControlSpec::Kind::Button) {
      return static_cast<CommandButton*>(child);
    }
  }
  return nullptr;
}

CommandButton* Form::FirstButton(bool (*wanted)(const CommandButton&)) const {
  for (ChildControl* child : children_) {
    if (child->Kind() != ControlSpec::Kind::Button) continue;
    auto* button = static_cast<CommandButton*>(child);
    if (wanted(*button)) return button;
  }
  return nullptr;
}

void Form::ControlChanged() {
  if (peer_) peer_->Invalidate();
}

// Events from the window. The handlers contain their own errors; what reaches here despite that
// is dropped, so that nothing crosses back into the window system.

void Form::OnKeyDown(int keyCode, int shift) {
  OnErrorExit([&] { Form_KeyDown(static_cast<Integer>(keyCode), static_cast<Integer>(shift)); });
}

void Form::OnMouseDown(int button, int shift, PixelPoint at) {
  OnErrorExit([&] {
    const auto b = static_cast<Integer>(button);
    const auto s = static_cast<Integer>(shift);
    if (Image* image = ImageAt(at); image != nullptr) {
      if (image->MouseDown) {
        image->MouseDown(b, s, ToSingle(at.x * UnitsPerPixel() - image->Left()),
                         ToSingle(at.y * UnitsPerPixel() - image->Top()));
      }
      return;
    }
    Form_MouseDown(b, s, ToSingle(at.x * UnitsPerPixel()), ToSingle(at.y * UnitsPerPixel()));
  });
}

void Form::OnMouseMove(int button, int shift, PixelPoint at) {
  OnErrorExit([&] {
    const auto b = static_cast<Integer>(button);
    const auto s = static_cast<Integer>(shift);
    if (Image* image = ImageAt(at); image != nullptr) {
      if (image->MouseMove) {
        image->MouseMove(b, s, ToSingle(at.x * UnitsPerPixel() - image->Left()),
                         ToSingle(at.y * UnitsPerPixel() - image->Top()));
      }
      return;
    }
    Form_MouseMove(b, s, ToSingle(at.x * UnitsPerPixel()), ToSingle(at.y * UnitsPerPixel()));
  });
}

void Form::OnCloseRequest() {
  OnErrorExit([&] { Unload(); });
}

void Form::OnTimer(int timerId) {
  OnErrorExit([&] {
    if (timerId >= 0 && static_cast<std::size_t>(timerId) < timers_.size()) {
      Timer& timer = *timers_[static_cast<std::size_t>(timerId)];
      if (timer.Tick) timer.Tick();
    }
  });
}

void Form::OnCommand(int controlId) {
  OnErrorExit([&] {
    if (CommandButton* button = Button(controlId); button != nullptr && button->Click) {
      button->Click();
      return;
    }
    for (Menu* menu : menus_) {
      if (menu->Id() == controlId && menu->Click) {
        menu->Click();
        return;
      }
    }
  });
}

// Enter presses the button that has the focus, or else the default button; Esc presses the
// cancel button wherever the focus is.
void Form::OnDialogKey(DialogKey key) {
  CommandButton* pressed = nullptr;
  if (key == DialogKey::Enter) {
    pressed = Button(peer_->FocusedControl());
    if (pressed == nullptr)
      pressed = FirstButton([](const CommandButton& b) { return b.Default(); });
  } else {
    pressed = FirstButton([](const CommandButton& b) { return b.Cancel(); });
  }
  if (pressed != nullptr) OnCommand(pressed->Id());
}

// A full-screen form keeps its monitor whole: the suggested place, its old size scaled, might
// leave part of it uncovered or reach onto the next one.
void Form::OnDpiChanged(const PixelRect& suggested) {
  OnErrorExit([&] {
    if (FullScreen()) {
      peer_->CoverPrimaryMonitor();
    } else {
      peer_->Place(suggested);
    }
    ApplyClientSize();
    for (const ChildControl* child : children_) peer_->PlaceControl(child->Describe(peer_->Dpi()));
    peer_->Invalidate();
  });
}

// Whatever the system made of the window when a monitor changed its size or went and came back
// (left it, moved it, fitted it to a work area), a full-screen form takes the primary monitor as
// it is now, and the next picture is fitted to that.
void Form::OnDisplayChanged() {
  if (unloading_) return;  // the covers go with the window in a moment
  if (FullScreen()) peer_->CoverPrimaryMonitor();
  covers_.clear();
  CoverOtherMonitors();
}

bool Form::FullScreen() const {
  return design_.window.border == BorderStyle::None &&
         design_.windowState == WindowState::Maximized;
}

// The form itself lies on the primary monitor, the first one. Each cover is a courtesy: one that
// cannot be made leaves its monitor as it was, and neither the form nor the other covers fail.
void Form::CoverOtherMonitors() {
  if (!FullScreen()) return;
  WindowEvents& events = *this;
  std::vector<Monitor> monitors;
  OnErrorExit([&] { monitors = runtime_.binding().Monitors(); });
  for (std::size_t i = 1; i < monitors.size(); ++i) {
    OnErrorExit([&] {
      covers_.push_back(
          std::make_unique<Cover>(runtime_.binding(), events, *peer_, monitors[i].rect));
    });
  }
}

Image* Form::ImageAt(PixelPoint at) const {
  // The last placed element lies on top.
  const double upp = UnitsPerPixel();
  for (auto it = images_.rbegin(); it != images_.rend(); ++it) {
    Image* image = *it;
    if (!image->Visible()) continue;
    const double x = at.x * upp;
    const double y = at.y * upp;
    if (x >= image->Left() && x < image->Left() + image->Width() && y >= image->Top() &&
        y < image->Top() + image->Height()) {
      return image;
    }
  }
  return nullptr;
}

Scene Form::DescribeScene() const {
  Scene scene;
  scene.backColor = backColor_;
  for (const Line* line : lines_) scene.lines.push_back(line->At(peer_ ? peer_->Dpi() : 96));
  const double upp = UnitsPerPixel();
  for (const Image* image : images_) {
    if (!image->Visible() || !image->GetPicture()) continue;
    const Bitmap* bitmap = image->GetPicture()->Rendered();
    if (bitmap == nullptr) continue;
    scene.pictures.push_back({{static_cast<int>(std::lround(image->Left() / upp)),
                               static_cast<int>(std::lround(image->Top() / upp)),
                               static_cast<int>(std::lround(image->Width() / upp)),
                               static_cast<int>(std::lround(image->Height() / upp))},
                              bitmap});
  }
  return scene;
}

}  // namespace platform
