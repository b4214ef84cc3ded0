#include "process_resources.h"

#include <windows.h>
// after <windows.h>, which it needs
#include <winternl.h>

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "processes.h"
#include "unique_handle.h"
#include "utf8_output.h"

namespace probe {

namespace {

// The 64-bit process environment block keeps the address of the GDI handle table here; the
// table has 65536 cells of 24 bytes, the object's type in the byte at 14 and the owning process's
// id in the 16 bits at 8 (0 for the stock objects every process shares).
constexpr std::size_t kGdiTableOffset = 0xF8;
constexpr std::size_t kGdiCells = 65536;
constexpr std::size_t kGdiCellBytes = 24;

std::optional<std::size_t> CountGdiObjects(HANDLE process, DWORD id) {
  PROCESS_BASIC_INFORMATION basic = {};
  if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) !=
      0) {
    return std::nullopt;
  }
  const void* table = nullptr;
  if (!ReadProcessMemory(process,
                         reinterpret_cast<const std::byte*>(basic.PebBaseAddress) + kGdiTableOffset,
                         &table, sizeof table, nullptr) ||
      table == nullptr) {
    return std::nullopt;
  }
  std::vector<std::uint8_t> cells(kGdiCells * kGdiCellBytes);
  if (!ReadProcessMemory(process, table, cells.data(), cells.size(), nullptr)) return std::nullopt;
  std::size_t count = 0;
  for (std::size_t i = 0; i < kGdiCells; ++i) {
    const std::uint8_t* cell = &cells[i * kGdiCellBytes];
    std::uint16_t owner = 0;
    std::memcpy(&owner, cell + 8, sizeof owner);
    if (cell[14] != 0 && (owner == 0 || owner == static_cast<std::uint16_t>(id))) ++count;
  }
  return count;
}

// SystemExtendedHandleInformation: every handle of every process, 40 bytes each after a header
// of two words, the owning process's id in the second word of an entry.
// Past the classes winternl.h names, hence the bit cast.
const auto kSystemExtendedHandleInformation = std::bit_cast<SYSTEM_INFORMATION_CLASS>(64);
constexpr NTSTATUS kInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004);
constexpr std::size_t kHandleEntryBytes = 40;

std::optional<std::size_t> CountKernelHandles(DWORD id) {
  std::vector<std::uint8_t> buffer(1 << 20);
  NTSTATUS status = kInfoLengthMismatch;
  ULONG needed = 0;
  while ((status = NtQuerySystemInformation(kSystemExtendedHandleInformation, buffer.data(),
                                            static_cast<ULONG>(buffer.size()), &needed)) ==
         kInfoLengthMismatch) {
    buffer.resize(std::max<std::size_t>(buffer.size() * 2, needed));
  }
  if (status != 0) return std::nullopt;
  std::uint64_t entries = 0;
  std::memcpy(&entries, buffer.data(), sizeof entries);
  std::size_t count = 0;
  for (std::uint64_t i = 0; i < entries; ++i) {
    const std::size_t at = 16 + i * kHandleEntryBytes;
    if (at + kHandleEntryBytes > buffer.size()) break;
    std::uint64_t owner = 0;
    std::memcpy(&owner, &buffer[at + 8], sizeof owner);
    if (owner == id) ++count;
  }
  return count;
}

}  // namespace

void AnswerResources(std::wstring_view imageName) {
  const DWORD id = ProcessOf(imageName);
  if (id == 0) return;
  const UniqueHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id));
  if (!process) return;
  const std::optional<std::size_t> gdi = CountGdiObjects(process.get(), id);
  const std::optional<std::size_t> handles = CountKernelHandles(id);
  if (!gdi || !handles) return;
  WriteLine({L"gdi", std::to_wstring(*gdi)});
  WriteLine({L"handles", std::to_wstring(*handles)});
}

}  // namespace probe
