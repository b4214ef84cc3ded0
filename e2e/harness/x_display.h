#pragma once
// The virtual X screen the suite runs Wine on.
#include <optional>
#include <string>
#include <vector>

#include "harness/child_process.h"

namespace e2e {

// The X screen and the Wine desktop have the same size, so screenshot pixels are desktop pixels.
inline constexpr int kScreenWidth = 1024;
inline constexpr int kScreenHeight = 768;

class XDisplay {
 public:
  // Starts Xvfb on the first free display among :90 … :99 (the numbers set aside for this suite).
  XDisplay();

  // DISPLAY for the programs that use this screen.
  [[nodiscard]] Environment environment() const { return {{"DISPLAY", name_}}; }

 protected:
  // Starts `server <display> arguments…` in `environment` (a nested server is a client of the
  // display it names) on the first free number among :90 … :99.
  XDisplay(const std::string& server, const std::vector<std::string>& arguments,
           const Environment& environment);

 private:
  std::string name_;
  std::optional<ChildProcess> server_;
};

}  // namespace e2e
