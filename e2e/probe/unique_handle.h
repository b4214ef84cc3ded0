#pragma once
// Owns a kernel handle of the probe's own.
#include <windows.h>

#include <memory>

namespace probe {

struct HandleCloser {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

}  // namespace probe
