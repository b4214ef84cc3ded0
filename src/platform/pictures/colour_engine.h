#pragma once
// The system's colour engine, as the show uses it: colours converted from one ICC profile's
// colours to another's. The Win32 binding's is mscms.dll; tests bring their own.
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace platform {

class ColourEngine {
 public:
  virtual ~ColourEngine() = default;
  // `colours` (opaque BGRA words), given in the colours of the profile `from`, as they are in
  // those of `to`, in their order; nothing where the engine refuses either profile or the
  // conversion, or has no engine at all.
  [[nodiscard]] virtual std::optional<std::vector<std::uint32_t>> Convert(
      std::span<const std::uint8_t> from, std::span<const std::uint8_t> to,
      std::span<const std::uint32_t> colours) const = 0;
};

}  // namespace platform
