#include "platform/pictures/pixels.h"

#include <atomic>
#include <utility>

namespace platform {

namespace {

// The words of the last picture let go. Pictures live and die on the thread that shows them, but
// nothing forbids another, so the words change hands under a lock held for a swap.
class KeptWords {
 public:
  std::vector<std::uint32_t> Exchange(std::vector<std::uint32_t> words) {
    while (busy_.test_and_set(std::memory_order_acquire)) {
    }
    words_.swap(words);
    busy_.clear(std::memory_order_release);
    return words;
  }

 private:
  std::atomic_flag busy_ = ATOMIC_FLAG_INIT;
  std::vector<std::uint32_t> words_;
};

KeptWords& Kept() {
  static KeptWords kept;
  return kept;
}

}  // namespace

std::vector<std::uint32_t> BitmapRoom(std::size_t count) {
  std::vector<std::uint32_t> room = Kept().Exchange({});
  room.clear();
  if (room.capacity() < count) {
    room = std::vector<std::uint32_t>();  // too few: freed before the new ones are asked for
    room.reserve(count);
  }
  return room;
}

void KeepForNextBitmap(std::vector<std::uint32_t> words) {
  if (words.capacity() > 0) Kept().Exchange(std::move(words));
}

}  // namespace platform
