#pragma once
// An open registry key, closed through the same system calls that opened it when its owner goes
// out of scope, on every path.
#include <utility>

#include "platform/system_calls.h"

namespace platform {

class RegistryKey {
 public:
  RegistryKey() = default;
  RegistryKey(SystemCalls& system, Handle key) : system_(&system), key_(key) {}
  RegistryKey(RegistryKey&& other) noexcept
      : system_(other.system_), key_(std::exchange(other.key_, 0)) {}
  RegistryKey& operator=(RegistryKey&& other) noexcept {
    if (this != &other) {
      Close();
      system_ = other.system_;
      key_ = std::exchange(other.key_, 0);
    }
    return *this;
  }
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;
  ~RegistryKey() { Close(); }

  [[nodiscard]] Handle get() const { return key_; }

 private:
  void Close() {
    // The result does not matter: there is nothing left to do with a key that will not close.
    if (key_ != 0) system_->RegCloseKey(std::exchange(key_, 0));
  }

  SystemCalls* system_ = nullptr;
  Handle key_ = 0;
};

}  // namespace platform
