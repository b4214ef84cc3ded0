#include "platform/pictures/pixels.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <utility>

namespace platform {

namespace {

// The buffers of the last bitmaps destroyed, the latest first. A picture shown upright from rows
// stored turned takes two bitmaps, the stored one and the turned one, so two are kept: shown one
// after the other, such photos reuse the same two. Pictures are made and destroyed on the thread
// that shows them, but nothing forbids another, so the buffers change hands under a lock held
// for a few moves; the buffers to be freed are freed outside it.
class KeptBuffers {
 public:
  // The latest kept buffer that holds `count`; none where no kept one does, and all are freed then.
  std::vector<std::uint32_t> Take(std::size_t count) {
    std::array<std::vector<std::uint32_t>, kKept> taken;
    Lock();
    auto* const fits = std::find_if(buffers_.begin(), buffers_.end(), [count](const auto& buffer) {
      return buffer.capacity() > 0 && buffer.capacity() >= count;
    });
    if (fits == buffers_.end()) {
      taken.swap(buffers_);
    } else {
      taken[0].swap(*fits);
      std::rotate(fits, fits + 1, buffers_.end());
    }
    Unlock();
    return std::move(taken[0]);
  }
  // Keeps `buffer` as the latest, and frees the earliest.
  void Keep(std::vector<std::uint32_t> buffer) {
    Lock();
    std::rotate(buffers_.rbegin(), buffers_.rbegin() + 1, buffers_.rend());
    buffers_[0].swap(buffer);
    Unlock();
  }
  // Frees all but the latest `count`.
  void Trim(std::size_t count) {
    std::array<std::vector<std::uint32_t>, kKept> freed;
    Lock();
    for (std::size_t i = count; i < kKept; ++i) freed[i].swap(buffers_[i]);
    Unlock();
  }

 private:
  static constexpr std::size_t kKept = 2;
  void Lock() {
    while (busy_.test_and_set(std::memory_order_acquire)) {
    }
  }
  void Unlock() { busy_.clear(std::memory_order_release); }

  std::atomic_flag busy_ = ATOMIC_FLAG_INIT;
  std::array<std::vector<std::uint32_t>, kKept> buffers_;
};

KeptBuffers& Kept() {
  static KeptBuffers kept;
  return kept;
}

}  // namespace

std::vector<std::uint32_t> BitmapBuffer(std::size_t count) {
  std::vector<std::uint32_t> buffer = Kept().Take(count);
  buffer.clear();
  if (buffer.capacity() < count) {
    buffer = std::vector<std::uint32_t>();  // too small: freed before the new one is allocated
    buffer.reserve(count);
  }
  return buffer;
}

void KeepForNextBitmap(std::vector<std::uint32_t> buffer) {
  if (buffer.capacity() > 0) Kept().Keep(std::move(buffer));
}

void FreeKeptBitmapsBeyond(std::size_t count) { Kept().Trim(count); }

}  // namespace platform
