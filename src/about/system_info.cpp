// The About box's way to the system's information tool: two places in the registry where the
// system's shared tools say where it is, and a reader for one registry value as text.
#include <array>
#include <cstdint>

#include "about/sfrm_about.h"
#include "platform/registry_key.h"
#include "platform/run_time_error.h"
#include "platform/system_values.h"
#include "ui_texts.h"

using namespace platform::system_values;  // the registry's numbers

namespace {

constexpr std::size_t kValueBufferBytes = 1024;

constexpr const char* kToolPathKey = R"(SOFTWARE\Microsoft\Shared Tools\MSINFO)";
constexpr const char* kToolFolderKey = R"(SOFTWARE\Microsoft\Shared Tools Location)";

// The number a little-endian value holds, as decimal text.
std::string NumberText(const std::string& bytes) {
  if (bytes.size() > sizeof(std::uint64_t)) {
    throw platform::RunTimeError(platform::ErrorCode::Overflow, "number too long");
  }
  std::uint64_t number = 0;
  for (auto byte = bytes.rbegin(); byte != bytes.rend(); ++byte) {
    number = (number << 8U) | static_cast<std::uint8_t>(*byte);
  }
  return std::to_string(number);
}

}  // namespace

void SFrm_About::cmdSysInfo_Click() { StartSysInfo(); }

void SFrm_About::StartSysInfo() {
  bool started = false;
  platform::OnErrorExit([&] {
    std::string path;
    if (FindSysInfo(path)) {
      runtime_.Shell(path, SW_SHOWNORMAL);
      started = true;
    }
  });
  if (!started) {
    runtime_.MsgBox(texts::kSystemInfoUnavailable, App.Title);
  }
}

bool SFrm_About::FindSysInfo(std::string& path) {
  // The tool's own path is taken as it stands; whether it can be started shows at the start.
  if (GetKeyValue(HKEY_LOCAL_MACHINE, kToolPathKey, "PATH", path)) return true;
  if (!GetKeyValue(HKEY_LOCAL_MACHINE, kToolFolderKey, "MSINFO", path)) return false;
  path += "\\MSINFO32.EXE";
  return runtime_.FileExists(path);
}

bool SFrm_About::GetKeyValue(platform::Handle KeyRoot, const std::string& KeyName,
                             const std::string& SubKeyRef, std::string& KeyVal) {
  const auto notRead = [&KeyVal] {
    KeyVal.clear();
    return false;
  };
  platform::SystemCalls& system = runtime_.System();
  platform::Handle opened = 0;
  // Reading is all the button does, so it asks for nothing more: a standard user may not open
  // these keys for writing.
  if (system.RegOpenKeyExA(KeyRoot, KeyName.c_str(), 0, KEY_QUERY_VALUE, &opened) !=
      ERROR_SUCCESS) {
    return notRead();
  }
  const platform::RegistryKey key(system, opened);

  std::array<std::uint8_t, kValueBufferBytes> buffer{};
  auto size = static_cast<std::uint32_t>(buffer.size());
  std::uint32_t type = 0;
  // A value with no data at all is as good as none: the second place is still tried.
  if (system.RegQueryValueExA(key.get(), SubKeyRef.c_str(), nullptr, &type, buffer.data(), &size) !=
          ERROR_SUCCESS ||
      size == 0) {
    return notRead();
  }
  std::string bytes(reinterpret_cast<const char*>(buffer.data()), size);
  if (bytes.back() == '\0') bytes.pop_back();  // the terminator
  // An empty text, the terminator alone (what `reg add /d ""` writes), names nothing either.
  if (type == REG_SZ && bytes.empty()) return notRead();

  if (type == REG_SZ) {
    KeyVal = bytes;
  } else if (type == REG_DWORD) {
    KeyVal = NumberText(bytes);
  }
  return true;
}
