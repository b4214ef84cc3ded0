#pragma once
// The sky above every outdoor scene: its gradient, the sun or moon with its light, stars, and
// thin streaks of cloud lit from below.
#include <cstdint>

#include "color.h"
#include "draw.h"
#include "image.h"

namespace pictures {

struct Sun {
  Point centre;   // pixels
  double radius;  // pixels; 0 for only the light of a sun below the horizon
  Color colour;
  double glow;  // strength of its light on the sky
};

// The gradient from the top row (0) to `horizon` (1, in pixels), its last colour below, with
// the sun's light screened on.
void PaintSky(Image& image, const Gradient& sky, double horizon, const Sun& sun);
void AddSunDisc(Image& image, const Sun& sun);
// Stars thinning out towards the horizon; `density` 1 is a clear dark-sky night.
void AddStars(Image& image, double horizon, double density, std::uint32_t seed);
// Long flat clouds, brighter and warmer near the sun; `cover` from 0 (none) to 1 (overcast).
void AddCloudStreaks(Image& image, double horizon, Color colour, const Sun& sun, double cover,
                     std::uint32_t seed);

}  // namespace pictures
