#include "remote_fault.h"

#include <windows.h>
// after <windows.h>, which it needs
#include <tlhelp32.h>

#include "unique_handle.h"
#include "utf8_output.h"

namespace probe {

namespace {

DWORD ProcessOf(std::wstring_view imageName) {
  const UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (snapshot.get() == INVALID_HANDLE_VALUE) return 0;
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
       more = Process32NextW(snapshot.get(), &entry)) {
    if (lstrcmpiW(entry.szExeFile, std::wstring(imageName).c_str()) == 0)
      return entry.th32ProcessID;
  }
  return 0;
}

bool Fault(std::wstring_view imageName) {
  const DWORD id = ProcessOf(imageName);
  if (id == 0) return false;
  const UniqueHandle process(OpenProcess(PROCESS_CREATE_THREAD | PROCESS_QUERY_INFORMATION |
                                             PROCESS_VM_OPERATION | PROCESS_VM_WRITE |
                                             PROCESS_VM_READ,
                                         FALSE, id));
  if (!process) return false;
  const UniqueHandle thread(
      CreateRemoteThread(process.get(), nullptr, 0, nullptr, nullptr, 0, nullptr));
  return thread != nullptr;
}

}  // namespace

void StartFaultingThread(std::wstring_view imageName) {
  WriteLine({Fault(imageName) ? L"started" : L"failed"});
}

}  // namespace probe
