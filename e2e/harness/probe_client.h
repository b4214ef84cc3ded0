#pragma once
// Asks probe.exe, run in the same desktop as the saver, what Win32 says about the desktop.
#include <filesystem>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "harness/box.h"
#include "harness/wine_prefix.h"

namespace e2e {

struct Control {
  std::string class_name;
  std::string text;
  Box rect;  // on the screen
};

struct TopWindow {
  std::string class_name;
  std::string title;
  Box rect;
  Box client;  // the client area, on the screen
  std::vector<Control> controls;
};

std::ostream& operator<<(std::ostream& out, const TopWindow& window);
// All of them, for failure messages.
std::string Describe(const std::vector<TopWindow>& windows);

// The window's control of this class and text, if it has one.
std::optional<Control> FindControl(const TopWindow& window, const std::string& class_name,
                                   const std::string& text);

class ProbeClient {
 public:
  ProbeClient(const WinePrefix& prefix, std::filesystem::path probe)
      : prefix_(prefix), probe_(std::move(probe)) {}

  [[nodiscard]] const std::filesystem::path& path() const { return probe_; }

  // "visible", "hidden" or "absent".
  [[nodiscard]] std::string Taskbar() const;
  // The visible top-level windows, task bar included.
  [[nodiscard]] std::vector<TopWindow> Windows() const;
  // Image names of the running processes.
  [[nodiscard]] std::vector<std::string> Processes() const;
  // The texts and numbers (in decimal) of a key under HKEY_CURRENT_USER, by value name; nothing
  // when the key is not there.
  [[nodiscard]] std::optional<std::map<std::string, std::string>> UserValues(
      const std::string& key) const;
  // The same under HKEY_LOCAL_MACHINE, as a 64-bit program sees it.
  [[nodiscard]] std::optional<std::map<std::string, std::string>> MachineValues(
      const std::string& key) const;
  // The program a shortcut (a Windows path) starts and its arguments; throws when the shortcut
  // cannot be read.
  [[nodiscard]] std::pair<std::string, std::string> Shortcut(const std::string& path) const;
  // The working folder of a running process of that image name ("C:\\…\\"), empty without one.
  [[nodiscard]] std::string WorkingFolder(const std::string& image) const;
  // The GDI objects and kernel handles a running process of that image name holds, by "gdi" and
  // "handles"; nothing without one.
  [[nodiscard]] std::map<std::string, long> Resources(const std::string& image_name) const;
  // Starts a thread at address 0 in the process of that image name; whether it was started.
  [[nodiscard]] bool Fault(const std::string& image_name) const;
  // Writes the probe's metafile to `path` (as Windows sees it), an EMF or else a placeable WMF:
  // 1600 x 600 pixels at 96 DPI, an orange ground crossed by a black hairline from (100, 100)
  // to (1500, 500).
  void MakeMetafile(const std::string& path, bool placeable) const;
  // Gives the display (Wine's virtual desktop) another size for as long as the desktop runs;
  // each test ends it, and the next one starts at the prefix's size. Throws when refused.
  void SetDisplaySize(int width, int height) const;
  // A process that does nothing until killed, so the desktop and its task bar outlive the
  // program under test.
  [[nodiscard]] ChildProcess Hold() const;

 private:
  // The probe's lines; throws unless it answered (ended with exit code 0).
  [[nodiscard]] std::vector<std::string> Ask(const std::vector<std::string>& question) const;
  [[nodiscard]] std::optional<std::map<std::string, std::string>> Values(
      const std::string& question, const std::string& key) const;

  const WinePrefix& prefix_;
  std::filesystem::path probe_;
};

}  // namespace e2e
