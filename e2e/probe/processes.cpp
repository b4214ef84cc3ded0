#include "processes.h"

#include "unique_handle.h"

namespace probe {

void ForEachProcess(const std::function<bool(const PROCESSENTRY32W&)>& visit) {
  const UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (snapshot.get() == INVALID_HANDLE_VALUE) return;
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more && visit(entry);
       more = Process32NextW(snapshot.get(), &entry)) {
  }
}

DWORD ProcessOf(std::wstring_view imageName) {
  DWORD id = 0;
  ForEachProcess([&](const PROCESSENTRY32W& entry) {
    if (CompareStringOrdinal(entry.szExeFile, -1, imageName.data(),
                             static_cast<int>(imageName.size()), TRUE) != CSTR_EQUAL) {
      return true;
    }
    id = entry.th32ProcessID;
    return false;
  });
  return id;
}

}  // namespace probe
