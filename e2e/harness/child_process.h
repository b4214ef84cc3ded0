#pragma once
// Programs the tests start on the host side (Xvfb, wine, xdotool, ImageMagick). Each one is
// owned: a child still running when its owner goes is killed with its process group.
#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "harness/unique_fd.h"

namespace e2e {

// Variables set on top of the test's own environment.
using Environment = std::map<std::string, std::string>;

enum class Stdout { Discard, Capture };

struct ProcessUsage {
  double peakMb = 0;                             // the most memory held in RAM so far (VmHWM)
  double residentMb = 0;                         // held in RAM now (VmRSS)
  double cpuSeconds = 0;                         // in user and kernel mode
  std::vector<std::filesystem::path> openFiles;  // what its file descriptors lead to
};
enum class Stderr { Discard, Inherit };

class ChildProcess {
 public:
  // Starts argv[0], looked up on PATH. Throws std::runtime_error if it cannot be started.
  ChildProcess(const std::vector<std::string>& argv, const Environment& environment,
               Stdout out = Stdout::Discard, Stderr err = Stderr::Discard);
  ChildProcess(ChildProcess&& other) noexcept;
  ChildProcess& operator=(ChildProcess&& other) noexcept;
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  ~ChildProcess();

  [[nodiscard]] bool Running();
  // What the process holds and has used so far; nothing once it has ended. A Windows program run
  // by `wine` is this very process.
  [[nodiscard]] std::optional<ProcessUsage> Usage() const;
  // The exit code (128 + signal when killed by one), or nothing if it still runs after timeout.
  std::optional<int> WaitForExit(std::chrono::milliseconds timeout);
  // Everything written to stdout since the last call (Stdout::Capture only).
  std::string TakeOutput();
  // Whether every writer has closed stdout (Stdout::Capture only).
  [[nodiscard]] bool OutputClosed() const { return output_closed_; }

 private:
  void Reap(bool block);
  void Kill();

  pid_t pid_ = -1;
  std::optional<int> exit_code_;
  UniqueFd stdout_;
  bool output_closed_ = false;
};

struct RunResult {
  std::optional<int> exit_code;  // nothing: it did not end within the timeout and was killed
  std::string output;
};

// Runs a program to its end, collecting stdout.
RunResult Run(const std::vector<std::string>& argv, const Environment& environment,
              std::chrono::milliseconds timeout, Stderr err = Stderr::Discard);

// Runs a host tool that must succeed; throws std::runtime_error naming the command otherwise.
std::string RunTool(const std::vector<std::string>& argv, const Environment& environment,
                    std::chrono::milliseconds timeout = std::chrono::seconds(60),
                    Stderr err = Stderr::Inherit);

}  // namespace e2e
