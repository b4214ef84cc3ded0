#pragma once
// zlib streams inflated piece by piece, so a caller keeps only what it wants of the output.
#include <cstdint>
#include <functional>
#include <span>

namespace platform {

// Gives the next piece of a stream's input; an empty one where there is no more.
using InflateInput = std::function<std::span<const std::uint8_t>()>;
// Takes a piece of the inflated output; returns whether to go on.
using InflateOutput = std::function<bool(std::span<const std::uint8_t>)>;

// Inflates the zlib stream `input` gives into `output`. True where the stream ended whole; false
// where it is broken, its input ended first, or `output` stopped it.
bool Inflate(const InflateInput& input, const InflateOutput& output);

}  // namespace platform
