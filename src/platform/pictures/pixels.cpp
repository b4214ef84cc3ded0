#include "platform/pictures/pixels.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <utility>

namespace platform {

namespace {

// The words of the last bitmaps let go, the latest first. A picture shown upright from rows stored
// turned takes two bitmaps, the stored one and the turned one, so two are kept: shown one after
// the other, such photos are made in the same two. Pictures live and die on the thread that shows
// them, but nothing forbids another, so the words change hands under a lock held for a few moves;
// words let go are freed outside it.
class KeptWords {
 public:
  // The latest kept words that hold `count`; none where neither does, and both are let go then.
  std::vector<std::uint32_t> Take(std::size_t count) {
    std::array<std::vector<std::uint32_t>, kKept> taken;
    Lock();
    auto* const fits = std::find_if(words_.begin(), words_.end(), [count](const auto& words) {
      return words.capacity() > 0 && words.capacity() >= count;
    });
    if (fits == words_.end()) {
      taken.swap(words_);
    } else {
      taken[0].swap(*fits);
      std::rotate(fits, fits + 1, words_.end());
    }
    Unlock();
    return std::move(taken[0]);
  }
  // Keeps `words` as the latest, and lets go of the earliest.
  void Keep(std::vector<std::uint32_t> words) {
    Lock();
    std::rotate(words_.rbegin(), words_.rbegin() + 1, words_.rend());
    words_[0].swap(words);
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
  std::array<std::vector<std::uint32_t>, kKept> words_;
};

KeptWords& Kept() {
  static KeptWords kept;
  return kept;
}

}  // namespace

std::vector<std::uint32_t> BitmapRoom(std::size_t count) {
  std::vector<std::uint32_t> room = Kept().Take(count);
  room.clear();
  if (room.capacity() < count) {
    room = std::vector<std::uint32_t>();  // too few: freed before the new ones are asked for
    room.reserve(count);
  }
  return room;
}

void KeepForNextBitmap(std::vector<std::uint32_t> words) {
  if (words.capacity() > 0) Kept().Keep(std::move(words));
}

}  // namespace platform
