#include "platform/dialog_controls.h"

#include <algorithm>
#include <cmath>

#include "platform/form.h"
#include "platform/runtime.h"

namespace platform {
ChildControl::ChildControl(Form& owner, ControlSpec::Kind kind, std::string text, TwipsRect rect)
    : owner_(owner), kind_(kind), id_(owner.NextControlId()), text_(std::move(text)), rect_(rect) {
  owner.AddControl(*this);
}

ControlSpec ChildControl::Describe(int dpi) const {
  ControlSpec design;
  design.kind = kind_;
  design.id = id_;
  design.text = text_;
  design.rect = {TwipsToPixels(rect_.left, dpi), TwipsToPixels(rect_.top, dpi),
                 TwipsToPixels(rect_.width, dpi), TwipsToPixels(rect_.height, dpi)};
  design.isDefault = isDefault_;
  design.font = font_;
  design.foreColor = foreColor_;
  return design;
}

void ChildControl::SetText(const std::string& text) {
  text_ = text;
  if (owner_.Peer() != nullptr) owner_.Peer()->SetControlText(id_, text);
}

CommandButton::CommandButton(Form& owner, std::string caption, TwipsRect rect, Role role)
    : ChildControl(owner, ControlSpec::Kind::Button, std::move(caption), rect),
      isCancel_(role.isCancel) {
  isDefault_ = role.isDefault;
}

Label::Label(Form& owner, std::string caption, TwipsRect rect, LabelLook look)
    : ChildControl(owner, ControlSpec::Kind::Label, std::move(caption), rect) {
  font_ = std::move(look.font);
  foreColor_ = look.foreColor;
}

IconBox::IconBox(Form& owner, TwipsRect rect)
    : ChildControl(owner, ControlSpec::Kind::Icon, "", rect) {}

Line::Line(Form& owner, TwipsRect fromTo, std::uint32_t color, int borderWidth)
    : fromTo_(fromTo), color_(color), borderWidth_(borderWidth) {
  owner.AddControl(*this);
}

Scene::Line Line::At(int dpi) const {
  // Border widths are pixels at 96 DPI; they grow with the display's scale.
  const int width = std::max(1, static_cast<int>(std::lround(borderWidth_ * dpi / 96.0)));
  return {{TwipsToPixels(fromTo_.left, dpi), TwipsToPixels(fromTo_.top, dpi)},
          {TwipsToPixels(fromTo_.width, dpi), TwipsToPixels(fromTo_.height, dpi)},
          color_,
          width};
}

Menu::Menu(Form& owner, std::string caption)
    : owner_(owner), id_(owner.NextControlId()), caption_(std::move(caption)) {
  owner.AddControl(*this, true);
}

Menu::Menu(Menu& parent, std::string caption)
    : owner_(parent.owner_), id_(owner_.NextControlId()), caption_(std::move(caption)) {
  parent.items_.push_back(this);
  owner_.AddControl(*this, false);
}

MenuSpec Menu::Describe() const {
  MenuSpec design{id_, caption_, {}};
  for (const Menu* item : items_) design.items.push_back(item->Describe());
  return design;
}

}  // namespace platform
