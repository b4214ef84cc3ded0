#include "harness/x_display.h"

#include <filesystem>
#include <stdexcept>

#include "harness/wait.h"

namespace e2e {

XDisplay::XDisplay()
    : XDisplay("Xvfb",
               {"-screen", "0",
                std::to_string(kScreenWidth) + "x" + std::to_string(kScreenHeight) + "x24",
                "-nolisten", "tcp"},
               {}) {}

XDisplay::XDisplay(const std::string& server_name, const std::vector<std::string>& arguments,
                   const Environment& server_environment) {
  for (int number = 90; number <= 99; ++number) {
    const std::string name = ":" + std::to_string(number);
    if (std::filesystem::exists("/tmp/.X" + std::to_string(number) + "-lock")) continue;
    std::vector<std::string> command = {server_name, name};
    command.insert(command.end(), arguments.begin(), arguments.end());
    ChildProcess server(command, server_environment);
    const Environment environment = {{"DISPLAY", name}};
    // Another server may have taken the number since the lock check; then the server gives up.
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
