#pragma once
// The system's colour engine: the ICM functions of mscms.dll, the same engine on Windows and under
// Wine (which carries lcms2 in it).
#include "platform/pictures/colour_engine.h"

namespace platform::win32 {

// Loads mscms.dll when it is first asked to convert, so a show that converts nothing loads
// nothing; Windows does not always take mscms.dll from its own folder, so it is loaded from there
// alone: a copy planted beside the saver is never run.
class SystemColourEngine final : public ColourEngine {
 public:
  [[nodiscard]] std::optional<std::vector<std::uint32_t>> Convert(
      std::span<const std::uint8_t> from, std::span<const std::uint8_t> to,
      std::span<const std::uint32_t> colours) const override;
};

}  // namespace platform::win32
