#include "harness/wine_prefix.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>

namespace e2e {

namespace {

constexpr const char* kDesktopName = "shell";
constexpr const char* kFakeTimeLibrary = "/usr/lib/x86_64-linux-gnu/faketime/libfaketimeMT.so.1";

std::filesystem::path MakeTemporaryFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "e2e-wine-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  return pattern;
}

std::vector<std::string> WineCommand(const std::string& program,
                                     const std::vector<std::string>& arguments) {
  std::vector<std::string> command = {"wine", program};
  command.insert(command.end(), arguments.begin(), arguments.end());
  return command;
}

}  // namespace

WinePrefix::WinePrefix(const XDisplay& display, Desktop desktop, Clock clock)
    : path_(MakeTemporaryFolder()), environment_(display.environment()) {
  environment_["WINEPREFIX"] = path_.string();
  environment_["WINEDEBUG"] = "-all";
  // Japanese text is drawn only when the prefix is made and used in a Japanese locale.
  environment_["LANG"] = "ja_JP.UTF-8";
  environment_["LC_ALL"] = "ja_JP.UTF-8";
  Environment boot = environment_;
  // No offers to install Mono or Gecko, no menu entries on the host.
  boot["WINEDLLOVERRIDES"] = "mscoree,mshtml=;winemenubuilder.exe=d";
  RunTool({"wineboot", "--init"}, boot, std::chrono::minutes(3), Stderr::Discard);
  if (desktop == Desktop::Shell) {
    const std::string explorer = "HKCU\\Software\\Wine\\Explorer";
    const std::string size = std::to_string(kScreenWidth) + "x" + std::to_string(kScreenHeight);
    SetRegistryValue(explorer, "Desktop", kDesktopName);
    SetRegistryValue(explorer + "\\Desktops", kDesktopName, size);
  } else {
    SetRegistryValue("HKCU\\Software\\Wine\\X11 Driver", "Managed", "N");
  }
  RunTool({"wineserver", "--wait"}, environment_, std::chrono::minutes(1));
  if (clock == Clock::Adjustable) {
    // The server is down now: the next program starts it, and it inherits the clock. The speed
    // is read from a file, again every second; a change of speed goes on from the time reached.
    SetClockSpeed(1);
    environment_["LD_PRELOAD"] = kFakeTimeLibrary;
    environment_["FAKETIME_TIMESTAMP_FILE"] = ClockFile().string();
    environment_["FAKETIME_CACHE_DURATION"] = "1";
    environment_["FAKETIME_XRESET"] = "1";
    environment_["FAKETIME_DONT_RESET"] = "1";
  }
}

std::filesystem::path WinePrefix::ClockFile() const { return path_ / "clock-speed"; }

void WinePrefix::SetClockSpeed(int times) const {
  std::ofstream(ClockFile()) << "+0 x" << times << "\n";
}

WinePrefix::~WinePrefix() {
  EndAll();
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::filesystem::path WinePrefix::HostPath(const std::string& windows_path) const {
  if (windows_path.size() < 3 || (windows_path[0] != 'C' && windows_path[0] != 'c') ||
      windows_path.compare(1, 2, ":\\") != 0) {
    throw std::invalid_argument("not a path on C: " + windows_path);
  }
  std::string relative = windows_path.substr(3);
  std::replace(relative.begin(), relative.end(), '\\', '/');
  return DriveC() / relative;
}

ChildProcess WinePrefix::Start(const std::string& program,
                               const std::vector<std::string>& arguments) const {
  return ChildProcess(WineCommand(program, arguments), environment_);
}

RunResult WinePrefix::Run(const std::string& program, const std::vector<std::string>& arguments,
                          std::chrono::milliseconds timeout) const {
  return e2e::Run(WineCommand(program, arguments), environment_, timeout);
}

void WinePrefix::SetRegistryValue(const std::string& key, const std::string& name,
                                  const std::string& data, const std::string& type) const {
  RunTool({"wine", "reg", "add", key, "/v", name, "/t", type, "/d", data, "/f"}, environment_,
          std::chrono::minutes(1), Stderr::Discard);
}

void WinePrefix::DeleteRegistryValue(const std::string& key, const std::string& name) const {
  // reg fails when the key or value is not there, which is what the caller wants anyway.
  e2e::Run({"wine", "reg", "delete", key, "/v", name, "/f"}, environment_, std::chrono::minutes(1));
}

bool WinePrefix::DesktopShown() const {
  const std::string title = "^" + std::string(kDesktopName) + " - Wine desktop$";
  return e2e::Run({"xdotool", "search", "--name", title}, environment_, std::chrono::seconds(10))
             .exit_code == 0;
}

void WinePrefix::EndAll() const {
  e2e::Run({"wineserver", "--kill"}, environment_, std::chrono::seconds(20));
  e2e::Run({"wineserver", "--wait"}, environment_, std::chrono::seconds(20));
}

}  // namespace e2e
