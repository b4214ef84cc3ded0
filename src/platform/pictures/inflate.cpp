#include "platform/pictures/inflate.h"

// The stream's input is only read.
#define ZLIB_CONST
#include <zlib.h>

#include <array>

namespace platform {

bool Inflate(const InflateInput& input, const InflateOutput& output) {
  z_stream z{};
  if (inflateInit(&z) != Z_OK) return false;
  struct End {
    z_stream& z;
    explicit End(z_stream& stream) : z(stream) {}
    End(const End&) = delete;
    End& operator=(const End&) = delete;
    ~End() { inflateEnd(&z); }
  } const end{z};
  std::array<std::uint8_t, std::size_t{64} * 1024> buffer{};
  // Once the input has ended, inflate still hands out what it holds, then finds no progress.
  bool inputEnded = false;
  for (;;) {
    if (z.avail_in == 0 && !inputEnded) {
      const std::span<const std::uint8_t> piece = input();
      inputEnded = piece.empty();
      z.next_in = piece.data();
      z.avail_in = static_cast<uInt>(piece.size());
    }
    z.next_out = buffer.data();
    z.avail_out = static_cast<uInt>(buffer.size());
    const int result = inflate(&z, Z_NO_FLUSH);
    if (!output(std::span(buffer).first(buffer.size() - z.avail_out))) return false;
    if (result == Z_STREAM_END) return true;
    if (result != Z_OK) return false;
  }
}

}  // namespace platform
