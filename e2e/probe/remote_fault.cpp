#include "remote_fault.h"

#include <windows.h>

#include "processes.h"
#include "unique_handle.h"
#include "utf8_output.h"

namespace probe {

namespace {

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
