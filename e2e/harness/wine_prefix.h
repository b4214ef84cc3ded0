#pragma once
// One Wine prefix in the Japanese locale, made for a test run. Every program runs in its virtual
// desktop named "shell", the one that has a task bar: the prefix's registry makes it the default
// desktop, so `wine program` is itself the program's process and its end is the program's end
// (`wine explorer /desktop=… program` returns before the program ends once the desktop exists).
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "harness/child_process.h"
#include "harness/x_display.h"

namespace e2e {

// Shell: the virtual desktop described above. None: Wine's windows are X windows of their own,
// on every monitor the X screen has; no window manager runs there, so Wine is told not to wait
// for one (it would wait two seconds for each window that goes).
enum class Desktop { Shell, None };

// Real: the host's own. Adjustable: it starts at the host's speed, so that Wine's services come
// up within their time-outs, and runs faster once told to.
enum class Clock { Real, Adjustable };

class WinePrefix {
 public:
  // Makes the prefix under /tmp (about ten seconds). With an adjustable clock, every program in
  // it, the server that runs its timers included, sees the time libfaketime gives it, passing at
  // the speed SetClockSpeed sets: hours of a show pass in minutes.
  explicit WinePrefix(const XDisplay& display, Desktop desktop = Desktop::Shell,
                      Clock clock = Clock::Real);
  WinePrefix(const WinePrefix&) = delete;
  WinePrefix& operator=(const WinePrefix&) = delete;
  ~WinePrefix();

  // The prefix's C: drive on the host.
  [[nodiscard]] std::filesystem::path DriveC() const { return path_ / "drive_c"; }

  // Where a path on the C: drive (C:\…) lies on the host.
  [[nodiscard]] std::filesystem::path HostPath(const std::string& windows_path) const;

  // Starts a program (a Windows path). The child lives exactly as long as the program does.
  [[nodiscard]] ChildProcess Start(const std::string& program,
                                   const std::vector<std::string>& arguments) const;
  // Runs a program to its end, collecting what it writes to stdout.
  [[nodiscard]] RunResult Run(const std::string& program, const std::vector<std::string>& arguments,
                              std::chrono::milliseconds timeout) const;
  // Sets a registry value, making the key if need be. The key starts with its root (HKLM\…).
  void SetRegistryValue(const std::string& key, const std::string& name, const std::string& data,
                        const std::string& type = "REG_SZ") const;
  // Removes the value if it is there.
  void DeleteRegistryValue(const std::string& key, const std::string& name) const;
  // Whether the desktop's X window is there. Two programs that start the desktop at the same
  // time can leave one of them hanging, so a test starts one and waits for this first.
  [[nodiscard]] bool DesktopShown() const;
  // Makes an adjustable clock run `times` as fast as the host's; the programs take it up within
  // a second.
  void SetClockSpeed(int times) const;
  // Ends every process in the prefix, the desktop included.
  void EndAll() const;

 private:
  [[nodiscard]] std::filesystem::path ClockFile() const;

  std::filesystem::path path_;
  Environment environment_;
};

}  // namespace e2e
