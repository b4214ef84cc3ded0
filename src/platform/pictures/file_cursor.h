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
  void MoveTo(std::uint64_t at) { at_ = at; }
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
  // The bytes from here on that the buffer holds, up to `before`, and moves past them; empty where
  // the file or `before` comes first. Hands a stream to its reader without copying it.
  std::span<const std::uint8_t> Piece(std::uint64_t before) {
    if (at_ >= before || !Fill()) return {};
    const auto count =
        static_cast<std::size_t>(std::min<std::uint64_t>(start_ + filled_, before) - at_);
    const std::span<const std::uint8_t> piece(buffer_.data() + (at_ - start_), count);
    at_ += count;
    return piece;
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
  // the bytes they hold, or nothing where the file ends first. Each block is counted in `blocks`,
  // and the walk stops where they pass `maxBlocks`.
  std::optional<std::uint64_t> SubBlocks(std::uint64_t& blocks,
                                         std::uint64_t maxBlocks = UINT64_MAX) {
    std::uint64_t total = 0;
    while (blocks <= maxBlocks) {
      const std::optional<std::uint8_t> length = Byte();
      if (!length) return std::nullopt;
      if (*length == 0) return total;
      ++blocks;
      total += *length;
      Skip(*length);
    }
    return total;
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
  // Written by the reader before it is read, so it is never zero-filled.
  std::array<std::uint8_t, std::size_t{16} * 1024> buffer_;
  std::uint64_t start_ = 0;
  std::size_t filled_ = 0;
};

}  // namespace platform
