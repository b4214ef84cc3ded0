#include "harness/probe_client.h"

#include <algorithm>
#include <sstream>
#include <stdexcept>

namespace e2e {

namespace {

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  std::string field;
  std::istringstream in(line);
  while (std::getline(in, field, '\t')) fields.push_back(field);
  return fields;
}

Box BoxFromEdges(const std::string& edges) {
  int left = 0, top = 0, right = 0, bottom = 0;
  std::istringstream(edges) >> left >> top >> right >> bottom;
  return {left, top, right - left, bottom - top};
}

}  // namespace

std::ostream& operator<<(std::ostream& out, const TopWindow& window) {
  out << "\n  [" << window.class_name << "] \"" << window.title << "\" " << window.rect;
  for (const Control& control : window.controls) {
    out << "\n    [" << control.class_name << "] \"" << control.text << "\" " << control.rect;
  }
  return out;
}

std::string Describe(const std::vector<TopWindow>& windows) {
  std::ostringstream out;
  for (const TopWindow& window : windows) out << window;
  return out.str();
}

std::optional<Control> FindControl(const TopWindow& window, const std::string& class_name,
                                   const std::string& text) {
  const auto found =
      std::find_if(window.controls.begin(), window.controls.end(), [&](const Control& control) {
        return control.class_name == class_name && control.text == text;
      });
  if (found == window.controls.end()) return std::nullopt;
  return *found;
}

std::vector<std::string> ProbeClient::Ask(const std::vector<std::string>& question) const {
  const RunResult result = prefix_.Run(probe_.string(), question, std::chrono::seconds(15));
  if (!result.exit_code) {
    throw std::runtime_error("probe " + question.front() + " did not end in time");
  }
  // An empty answer must mean "none", never "the probe did not run".
  if (*result.exit_code != 0) {
    throw std::runtime_error("probe " + question.front() + " failed with exit code " +
                             std::to_string(*result.exit_code));
  }
  std::vector<std::string> lines;
  std::string line;
  std::istringstream in(result.output);
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

std::string ProbeClient::Taskbar() const {
  const std::vector<std::string> lines = Ask({"taskbar"});
  return lines.empty() ? "" : lines.front();
}

std::vector<TopWindow> ProbeClient::Windows() const {
  std::vector<TopWindow> windows;
  for (const std::string& line : Ask({"windows"})) {
    std::vector<std::string> fields = Fields(line);
    fields.resize(5);
    if (fields[0] == "window") {
      windows.push_back(
          {fields[1], fields[2], BoxFromEdges(fields[3]), BoxFromEdges(fields[4]), {}});
    } else if (fields[0] == "control" && !windows.empty()) {
      windows.back().controls.push_back({fields[1], fields[2], BoxFromEdges(fields[3])});
    }
  }
  return windows;
}

std::vector<std::string> ProbeClient::Processes() const { return Ask({"processes"}); }

std::optional<std::map<std::string, std::string>> ProbeClient::UserValues(
    const std::string& key) const {
  return Values("values", key);
}

std::optional<std::map<std::string, std::string>> ProbeClient::MachineValues(
    const std::string& key) const {
  return Values("machine-values", key);
}

std::optional<std::map<std::string, std::string>> ProbeClient::Values(
    const std::string& question, const std::string& key) const {
  const std::vector<std::string> lines = Ask({question, key});
  if (lines == std::vector<std::string>{"absent"}) return std::nullopt;
  std::map<std::string, std::string> values;
  for (const std::string& line : lines) {
    std::vector<std::string> fields = Fields(line);
    fields.resize(2);
    values[fields[0]] = fields[1];
  }
  return values;
}

std::pair<std::string, std::string> ProbeClient::Shortcut(const std::string& path) const {
  std::vector<std::string> lines = Ask({"shortcut", path});
  lines.resize(2);
  return {lines[0], lines[1]};
}

std::string ProbeClient::WorkingFolder(const std::string& image) const {
  const std::vector<std::string> lines = Ask({"folder", image});
  return lines.empty() ? "" : lines.front();
}

std::map<std::string, long> ProbeClient::Resources(const std::string& image_name) const {
  std::map<std::string, long> counts;
  for (const std::string& line : Ask({"resources", image_name})) {
    const std::size_t tab = line.find('\t');
    if (tab != std::string::npos) counts[line.substr(0, tab)] = std::stol(line.substr(tab + 1));
  }
  return counts;
}

bool ProbeClient::Fault(const std::string& image_name) const {
  const std::vector<std::string> lines = Ask({"fault", image_name});
  return !lines.empty() && lines.front() == "started";
}

void ProbeClient::MakeMetafile(const std::string& path, bool placeable) const {
  if (placeable) {
    (void)Ask({"metafile", path, "wmf"});
  } else {
    (void)Ask({"metafile", path});
  }
}

void ProbeClient::SetDisplaySize(int width, int height) const {
  (void)Ask({"display", std::to_string(width), std::to_string(height)});
}

ChildProcess ProbeClient::Hold() const { return prefix_.Start(probe_.string(), {"hold"}); }

}  // namespace e2e
