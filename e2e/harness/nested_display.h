#pragma once
// An X screen of two monitors side by side, nested in the suite's screen: Wine run on it without
// a virtual desktop reports both, the first one primary.
#include "harness/box.h"
#include "harness/x_display.h"

namespace e2e {

inline constexpr Box kFirstHead{0, 0, 1024, 768};
inline constexpr Box kSecondHead{1024, 0, 800, 600};

class NestedDisplay : public XDisplay {
 public:
  // Starts Xephyr as a client of `host`. Its background is the old grey weave rather than black,
  // so a monitor that nothing covers does not pass for a black one.
  explicit NestedDisplay(const XDisplay& host);
};

}  // namespace e2e
