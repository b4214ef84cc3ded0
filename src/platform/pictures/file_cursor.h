#pragma once
// A file read front to back in small steps through a buffer.
#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <optional>
#include <span>

#include "platform/pictures/picture_header.h"

namespace platform {

// Reads a file front to back through a buffer, for formats walked in small steps.
class Cursor {
 public:
  Cursor(const PictureFileReader& read, std::uint64_t at) : read_(read), at_(at) {}

  [[nodiscard]] std::uint64_t at() const { return at_; }
  void Skip(std::uint64_t count) { at_ += count; }
  // The next byte, or nothing where the file ends.
  std::optional<std::uint8_t> Byte() {
    if (!Fill()) return std::nullopt;
    return buffer_[at_++ - start_];
  }
  // Moves past the next byte of `value` before `before`; false where the file or `before` comes
  // first.
  bool Find(std::uint8_t value, std::uint64_t before = UINT64_MAX) {
    while (at_ < before && Fill()) {
      const std::uint8_t* const from = buffer_.data() + (at_ - start_);
      const std::uint8_t* const end =
          buffer_.data() + std::min<std::uint64_t>(filled_, before - start_);
      const std::uint8_t* const found = std::find(from, end, value);
      at_ += static_cast<std::uint64_t>(found - from);
      if (found != end) {
        ++at_;
        return true;
      }
    }
    return false;
  }
  bool Bytes(std::span<std::uint8_t> into) {
    for (std::uint8_t& byte : into) {
      const std::optional<std::uint8_t> next = Byte();
      if (!next) return false;
      byte = *next;
    }
    return true;
  }
  // Walks data sub-blocks (a length byte, then that many bytes) up to the empty one; returns
  // the bytes they hold, or nothing where the file ends first.
  std::optional<std::uint64_t> SubBlocks() {
    std::uint64_t total = 0;
    for (;;) {
      const std::optional<std::uint8_t> length = Byte();
      if (!length) return std::nullopt;
      if (*length == 0) return total;
      total += *length;
      Skip(*length);
    }
  }

 private:
  // Whether the byte at `at_` is in the buffer, read from there where it was not.
  bool Fill() {
    if (at_ < start_ || at_ >= start_ + filled_) {
      start_ = at_;
      filled_ = read_(at_, buffer_);
    }
    return at_ >= start_ && at_ < start_ + filled_;
  }

  const PictureFileReader& read_;
  std::uint64_t at_;
  std::array<std::uint8_t, std::size_t{16} * 1024> buffer_{};
  std::uint64_t start_ = 0;
  std::size_t filled_ = 0;
};

}  // namespace platform
