#pragma once
// The controls of dialog windows, each a native child of its form: buttons, labels, the
// program's icon in a picture box, lines and menus. Positions and sizes are in twips and become
// pixels at the window's DPI.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/numbers.h"
#include "platform/window_peer.h"

namespace platform {

class Form;

struct TwipsRect {
  Single left = 0;
  Single top = 0;
  Single width = 0;
  Single height = 0;
};

// What buttons, labels and picture boxes share: an id, a place, a text.
class ChildControl {
 public:
  ChildControl(const ChildControl&) = delete;
  ChildControl& operator=(const ChildControl&) = delete;
  virtual ~ChildControl() = default;

  [[nodiscard]] int Id() const { return id_; }
  [[nodiscard]] ControlSpec::Kind Kind() const { return kind_; }
  // The native control's description at the given DPI.
  [[nodiscard]] ControlSpec Describe(int dpi) const;

 protected:
  ChildControl(Form& owner, ControlSpec::Kind kind, std::string text, TwipsRect rect);
  void SetText(const std::string& text);
  [[nodiscard]] const std::string& Text() const { return text_; }

  Form& owner_;
  std::optional<FontSpec> font_;
  std::optional<std::uint32_t> foreColor_;
  bool isDefault_ = false;

 private:
  ControlSpec::Kind kind_;
  int id_;
  std::string text_;
  TwipsRect rect_;
};

class CommandButton final : public ChildControl {
 public:
  struct Role {
    bool isDefault = false;  // Enter presses it unless another button has the focus
    bool isCancel = false;   // Esc presses it
  };
  CommandButton(Form& owner, std::string caption, TwipsRect rect, Role role);

  [[nodiscard]] const std::string& Caption() const { return Text(); }
  [[nodiscard]] bool Default() const { return isDefault_; }
  [[nodiscard]] bool Cancel() const { return isCancel_; }

  std::function<void()> Click;

 private:
  bool isCancel_;
};

// A label's font and text colour where it does not use the form's.
struct LabelLook {
  std::optional<FontSpec> font = std::nullopt;
  std::optional<std::uint32_t> foreColor = std::nullopt;
};

class Label final : public ChildControl {
 public:
  Label(Form& owner, std::string caption, TwipsRect rect, LabelLook look = {});

  [[nodiscard]] const std::string& Caption() const { return Text(); }
  void SetCaption(const std::string& caption) { SetText(caption); }
  [[nodiscard]] const std::optional<FontSpec>& Font() const { return font_; }
  [[nodiscard]] const std::optional<std::uint32_t>& ForeColor() const { return foreColor_; }
};

// A picture box that shows the program's icon.
class IconBox final : public ChildControl {
 public:
  IconBox(Form& owner, TwipsRect rect);
};

// A straight line drawn on the form, `BorderWidth` pixels wide.
class Line {
 public:
  Line(Form& owner, TwipsRect fromTo, std::uint32_t color, int borderWidth);
  [[nodiscard]] Scene::Line At(int dpi) const;

 private:
  TwipsRect fromTo_;  // left, top: the start; width, height: the end point's x and y
  std::uint32_t color_;
  int borderWidth_;
};

// A menu of the menu bar (no parent) or an item of one.
class Menu {
 public:
  Menu(Form& owner, std::string caption);
  Menu(Menu& parent, std::string caption);
  Menu(const Menu&) = delete;
  Menu& operator=(const Menu&) = delete;
  ~Menu() = default;

  [[nodiscard]] int Id() const { return id_; }
  [[nodiscard]] MenuSpec Describe() const;

  std::function<void()> Click;

 private:
  Form& owner_;
  int id_;
  std::string caption_;
  std::vector<Menu*> items_;
};

}  // namespace platform
