#include "harness/child_process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <csignal>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace e2e {

namespace {

std::string CommandText(const std::vector<std::string>& argv) {
  std::string text;
  for (const std::string& arg : argv) {
    if (!text.empty()) text += ' ';
    text += arg;
  }
  return text;
}

std::vector<std::string> MergedEnvironment(const Environment& overrides) {
  Environment merged;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string variable = *entry;
    const std::size_t equals = variable.find('=');
    if (equals != std::string::npos)
      merged[variable.substr(0, equals)] = variable.substr(equals + 1);
  }
  for (const auto& [name, value] : overrides) merged[name] = value;
  std::vector<std::string> result;
  for (const auto& [name, value] : merged) result.push_back(name + "=" + value);
  return result;
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
  std::vector<char*> pointers;
  for (std::string& s : strings) pointers.push_back(s.data());
  pointers.push_back(nullptr);
  return pointers;
}

// posix_spawn's attribute and file-action objects need their destroy calls on every path.
struct SpawnSetup {
  posix_spawn_file_actions_t actions{};
  posix_spawnattr_t attributes{};
  SpawnSetup() {
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attributes);
  }
  SpawnSetup(const SpawnSetup&) = delete;
  SpawnSetup& operator=(const SpawnSetup&) = delete;
  ~SpawnSetup() {
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
  }
};

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const Environment& environment,
                           Stdout out, Stderr err) {
  SpawnSetup setup;
  // Its own process group, so that Kill reaches whatever it started in turn.
  posix_spawnattr_setflags(&setup.attributes, POSIX_SPAWN_SETPGROUP);
  posix_spawnattr_setpgroup(&setup.attributes, 0);
  posix_spawn_file_actions_addopen(&setup.actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  UniqueFd write_end;
  if (out == Stdout::Capture) {
    std::array<int, 2> ends{};
    if (pipe2(ends.data(), O_CLOEXEC) != 0) throw std::runtime_error("pipe2 failed");
    stdout_ = UniqueFd(ends[0]);
    write_end = UniqueFd(ends[1]);
    fcntl(stdout_.get(), F_SETFL, O_NONBLOCK);
    posix_spawn_file_actions_adddup2(&setup.actions, write_end.get(), STDOUT_FILENO);
  } else {
    posix_spawn_file_actions_addopen(&setup.actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  }
  if (err == Stderr::Discard) {
    posix_spawn_file_actions_addopen(&setup.actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  }
  std::vector<std::string> arguments = argv;
  std::vector<std::string> variables = MergedEnvironment(environment);
  const int result =
      posix_spawnp(&pid_, arguments.front().c_str(), &setup.actions, &setup.attributes,
                   Pointers(arguments).data(), Pointers(variables).data());
  if (result != 0) {
    pid_ = -1;
    throw std::runtime_error("cannot start " + CommandText(argv) + ": " + std::strerror(result));
  }
}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept
    : pid_(std::exchange(other.pid_, -1)),
      exit_code_(other.exit_code_),
      stdout_(std::move(other.stdout_)),
      output_closed_(other.output_closed_) {}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
  if (this != &other) {
    Kill();
    pid_ = std::exchange(other.pid_, -1);
    exit_code_ = other.exit_code_;
    stdout_ = std::move(other.stdout_);
    output_closed_ = other.output_closed_;
  }
  return *this;
}

ChildProcess::~ChildProcess() { Kill(); }

void ChildProcess::Reap(bool block) {
  if (pid_ < 0 || exit_code_) return;
  int status = 0;
  if (waitpid(pid_, &status, block ? 0 : WNOHANG) != pid_) return;
  exit_code_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::optional<ProcessUsage> ChildProcess::Usage() const {
  const std::filesystem::path proc = "/proc/" + std::to_string(pid_);
  ProcessUsage usage;
  std::ifstream status(proc / "status");
  int found = 0;
  for (std::string line; std::getline(status, line);) {
    // In kB.
    if (line.rfind("VmHWM:", 0) == 0) usage.peakMb = std::stod(line.substr(6)) / 1024, ++found;
    if (line.rfind("VmRSS:", 0) == 0) usage.residentMb = std::stod(line.substr(6)) / 1024, ++found;
  }
  // utime and stime are the 14th and 15th fields, counted after the command's closing bracket.
  std::ifstream stat(proc / "stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  const std::size_t afterCommand = text.rfind(')');
  if (found != 2 || afterCommand == std::string::npos) return std::nullopt;
  std::istringstream fields(text.substr(afterCommand + 1));
  std::string skipped;
  for (int field = 3; field <= 13; ++field) fields >> skipped;
  double user = 0, kernel = 0;
  fields >> user >> kernel;
  usage.cpuSeconds = (user + kernel) / static_cast<double>(sysconf(_SC_CLK_TCK));
  std::error_code failed;
  for (const auto& fd : std::filesystem::directory_iterator(proc / "fd", failed)) {
    std::error_code gone;
    const std::filesystem::path target = std::filesystem::read_symlink(fd.path(), gone);
    if (!gone) usage.openFiles.push_back(target);
  }
  return usage;
}

bool ChildProcess::Running() {
  Reap(false);
  return pid_ >= 0 && !exit_code_;
}

std::optional<int> ChildProcess::WaitForExit(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (Running() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return exit_code_;
}

std::string ChildProcess::TakeOutput() {
  std::string output;
  std::array<char, 4096> buffer{};
  while (stdout_.get() >= 0) {
    const ssize_t count = read(stdout_.get(), buffer.data(), buffer.size());
    if (count == 0) {
      output_closed_ = true;
      stdout_.reset();
    }
    if (count <= 0) break;
    output.append(buffer.data(), static_cast<std::size_t>(count));
  }
  return output;
}

void ChildProcess::Kill() {
  if (pid_ < 0) return;
  // A polite end first: Xvfb removes its lock file only then.
  if (Running()) kill(-pid_, SIGTERM);
  if (!WaitForExit(std::chrono::seconds(2))) {
    kill(-pid_, SIGKILL);
    Reap(true);
  }
  pid_ = -1;
}

RunResult Run(const std::vector<std::string>& argv, const Environment& environment,
              std::chrono::milliseconds timeout, Stderr err) {
  ChildProcess child(argv, environment, Stdout::Capture, err);
  RunResult result;
  const auto now = [] { return std::chrono::steady_clock::now(); };
  const auto deadline = now() + timeout;
  // A program run through Wine's explorer may write its last lines after the launcher has
  // ended, so collect until the pipe closes. A daemon the program left behind may keep the pipe
  // open, so give up on that a while after the end.
  std::optional<std::chrono::steady_clock::time_point> give_up;
  while (!child.OutputClosed() && now() < deadline && (!give_up || now() < *give_up)) {
    result.output += child.TakeOutput();
    if (!give_up && !child.Running()) give_up = now() + std::chrono::seconds(2);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  result.output += child.TakeOutput();
  result.exit_code = child.WaitForExit(std::chrono::milliseconds(0));
  return result;
}

std::string RunTool(const std::vector<std::string>& argv, const Environment& environment,
                    std::chrono::milliseconds timeout, Stderr err) {
  RunResult result = Run(argv, environment, timeout, err);
  if (result.exit_code != 0) {
    throw std::runtime_error(CommandText(argv) +
                             (result.exit_code
                                  ? " failed with exit code " + std::to_string(*result.exit_code)
                                  : " did not end in time"));
  }
  return std::move(result.output);
}

}  // namespace e2e
