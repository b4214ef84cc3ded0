#pragma once
// The controls a form places on itself. Each registers with its form when constructed; the
// form's class wires the control's events to its own handlers.
#include <functional>
#include <memory>

#include "platform/numbers.h"
#include "platform/pictures/picture.h"

namespace platform {

class Form;

// An image element. While Stretch is off it takes the natural size of its picture whenever a
// picture is assigned (or Stretch is switched off); while Stretch is on it keeps the size it is
// given and the picture is drawn scaled to it. Positions and sizes are in the form's scale unit.
class Image {
 public:
  using MouseHandler = std::function<void(Integer Button, Integer Shift, Single X, Single Y)>;

  explicit Image(Form& owner);

  [[nodiscard]] const std::shared_ptr<Picture>& GetPicture() const { return picture_; }
  void SetPicture(std::shared_ptr<Picture> picture);
  [[nodiscard]] bool Stretch() const { return stretch_; }
  void SetStretch(bool stretch);
  [[nodiscard]] Single Left() const { return left_; }
  [[nodiscard]] Single Top() const { return top_; }
  [[nodiscard]] Single Width() const { return width_; }
  [[nodiscard]] Single Height() const { return height_; }
  void SetLeft(double value);
  void SetTop(double value);
  void SetWidth(double value);
  void SetHeight(double value);
  [[nodiscard]] bool Visible() const { return visible_; }
  // Showing the element decodes its picture at the element's size in pixels, which raises a
  // run-time error when the picture's data is broken; the element then stays hidden.
  void SetVisible(bool visible);

  MouseHandler MouseDown;
  MouseHandler MouseMove;

 private:
  void TakeNaturalSize();

  Form& owner_;
  std::shared_ptr<Picture> picture_;
  bool stretch_ = false;
  bool visible_ = true;
  Single left_ = 0;
  Single top_ = 0;
  Single width_ = 0;
  Single height_ = 0;
};

// Ticks every Interval milliseconds while enabled and its form is loaded.
class Timer {
 public:
  Timer(Form& owner, unsigned interval, bool enabled = true);

  [[nodiscard]] unsigned Interval() const { return interval_; }
  [[nodiscard]] bool Enabled() const { return enabled_; }
  // Starts the native timer; called by the form when it is loaded.
  void Arm(int timerId);

  std::function<void()> Tick;

 private:
  Form& owner_;
  unsigned interval_;
  bool enabled_;
};

}  // namespace platform
