#pragma once
// A black window over one monitor beside the one a full-screen form covers. It has no life of
// its own: its keys, buttons, moves and close requests are the form's, with positions given in
// the form's client pixels (left of or below the form they are negative or beyond its size).
#include <memory>

#include "platform/binding.h"

namespace platform {

class Cover final : private WindowEvents {
 public:
  // Shown at once over `monitor`.
  Cover(Binding& binding, WindowEvents& form, const WindowPeer& formWindow,
        const PixelRect& monitor);
  Cover(const Cover&) = delete;
  Cover& operator=(const Cover&) = delete;
  virtual ~Cover();  // the window events it takes are virtual

 private:
  // WindowEvents. The form may unload itself in any of them, which destroys this cover: what
  // is forwarded is worked out before.
  void OnKeyDown(int keyCode, int shift) override;
  void OnMouseDown(int button, int shift, PixelPoint at) override;
  void OnMouseMove(int button, int shift, PixelPoint at) override;
  void OnCloseRequest() override;
  void OnTimer(int /*timerId*/) override {}
  void OnCommand(int /*controlId*/) override {}
  void OnDialogKey(DialogKey /*key*/) override {}
  void OnDpiChanged(const PixelRect& /*suggested*/) override {}
  // The form makes its covers afresh.
  void OnDisplayChanged() override {}
  [[nodiscard]] Scene DescribeScene() const override { return {}; }

  [[nodiscard]] PixelPoint OnForm(PixelPoint at) const;

  WindowEvents& form_;
  const WindowPeer& formWindow_;
  std::unique_ptr<WindowPeer> window_;
};

}  // namespace platform
