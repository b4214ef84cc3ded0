#pragma once
// zlib streams inflated piece by piece, so a caller keeps only what it wants of the output.
#include <cstdint>
#include <functional>
#include <memory>
#include <span>

namespace platform {

// Gives the next piece of a stream's input; an empty one where there is no more.
using InflateInput = std::function<std::span<const std::uint8_t>()>;
// Takes a piece of the inflated output; returns whether to go on.
using InflateOutput = std::function<bool(std::span<const std::uint8_t>)>;

// One zlib inflate state and its output buffer, allocated once and reset for each stream, so a
// file of many small streams costs no allocation, zero-fill or set-up per stream.
class Inflater {
 public:
  Inflater();
  ~Inflater();
  Inflater(const Inflater&) = delete;
  Inflater& operator=(const Inflater&) = delete;

  // Inflates the zlib stream `input` gives into `output`. True where the stream ended whole;
  // false where it is broken, its input ended first, or `output` stopped it.
  bool Inflate(const InflateInput& input, const InflateOutput& output);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace platform
