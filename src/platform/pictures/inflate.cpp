#include "platform/pictures/inflate.h"

// The stream's input is only read.
#define ZLIB_CONST
#include <zlib.h>

namespace platform {

struct Inflater::State {
  z_stream z{};
  bool ready = false;
  // Written by inflate before it is read, so it is never zero-filled.
  static constexpr std::size_t kBufferBytes = std::size_t{64} * 1024;
  std::unique_ptr<std::uint8_t[]> buffer =
      std::make_unique_for_overwrite<std::uint8_t[]>(kBufferBytes);
};

Inflater::Inflater() : state_(std::make_unique<State>()) {
  state_->ready = inflateInit(&state_->z) == Z_OK;
}

Inflater::~Inflater() {
  if (state_->ready) inflateEnd(&state_->z);
}

bool Inflater::Inflate(const InflateInput& input, const InflateOutput& output) {
  z_stream& z = state_->z;
  if (!state_->ready || inflateReset(&z) != Z_OK) return false;
  z.next_in = nullptr;
  z.avail_in = 0;
  const std::span<const std::uint8_t> buffer(state_->buffer.get(), State::kBufferBytes);
  // Once the input has ended, inflate still hands out what it holds, then finds no progress.
  bool inputEnded = false;
  for (;;) {
    if (z.avail_in == 0 && !inputEnded) {
      const std::span<const std::uint8_t> piece = input();
      inputEnded = piece.empty();
      z.next_in = piece.data();
      z.avail_in = static_cast<uInt>(piece.size());
    }
    z.next_out = state_->buffer.get();
    z.avail_out = static_cast<uInt>(buffer.size());
    const int result = inflate(&z, Z_NO_FLUSH);
    if (!output(buffer.first(buffer.size() - z.avail_out))) return false;
    if (result == Z_STREAM_END) return true;
    if (result != Z_OK) return false;
  }
}

}  // namespace platform
