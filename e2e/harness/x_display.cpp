#include "harness/x_display.h"

#include <filesystem>
#include <stdexcept>

#include "harness/wait.h"

namespace e2e {

XDisplay::XDisplay() {
  const std::string size =
      std::to_string(kScreenWidth) + "x" + std::to_string(kScreenHeight) + "x24";
  for (int number = 90; number <= 99; ++number) {
    const std::string name = ":" + std::to_string(number);
    if (std::filesystem::exists("/tmp/.X" + std::to_string(number) + "-lock")) continue;
    ChildProcess server({"Xvfb", name, "-screen", "0", size, "-nolisten", "tcp"}, {});
    const Environment environment = {{"DISPLAY", name}};
    // Another server may have taken the number since the lock check; then Xvfb gives up.
    const bool ready = WaitUntil(10s, [&] {
      return !server.Running() || Run({"xdpyinfo"}, environment, 5s).exit_code == 0;
    });
    if (ready && server.Running()) {
      name_ = name;
      server_.emplace(std::move(server));
      return;
    }
  }
  throw std::runtime_error("no free X display among :90 to :99");
}

}  // namespace e2e
