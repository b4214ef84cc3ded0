#include "terrain.h"

#include <algorithm>
#include <cmath>

#include "noise.h"

namespace pictures {

Skyline MakeSkyline(const RangeShape& shape, int width, int height) {
  Skyline skyline(static_cast<std::size_t>(width));
  const double h = height;
  // Octaves down to a few pixels, so large pictures get their full share of detail.
  const int octaves = std::max(3, static_cast<int>(std::log2(h * shape.wavelength / 3)));
  for (int x = 0; x < width; ++x) {
    const double u = x / (h * shape.wavelength);
    // Jagged ranges: eroded crests; rolling hills: plain octaves, lifted to read as hills.
    const double rise = shape.jagged ? std::pow(RidgedFbm(u, shape.seed, octaves, 0.47), 1.6)
                                     : 0.5 + 0.5 * Fbm(u, shape.seed, octaves, 0.45);
    skyline[static_cast<std::size_t>(x)] = h * (shape.base - shape.amplitude * (rise - 0.5));
  }
  return skyline;
}

void DrawPines(Image& image, const Skyline& ground, double density, double tree_height,
               Color colour, std::uint32_t seed) {
  Random random(seed);
  const auto width = static_cast<int>(ground.size());
  const int trees = static_cast<int>(density * width / std::max(tree_height * 0.38, 1.0));
  struct Tier {
    double top, height, reach;
  };
  for (int t = 0; t < trees; ++t) {
    const double centre = random.Uniform(-0.02, 1.02) * width;
    const double tall = tree_height * random.Uniform(0.5, 1.5);
    const double half_width = tall * random.Uniform(0.2, 0.26);
    const int c = std::clamp(static_cast<int>(centre), 0, width - 1);
    const double foot = ground[static_cast<std::size_t>(c)] + tall * 0.04;
    // Tiers of branches, each a triangle whose tips droop below where it meets the trunk;
    // lower tiers reach further out.
    const int count = 7 + random.Below(4);
    std::vector<Tier> tiers;
    for (int k = 0; k < count; ++k) {
      const double f = static_cast<double>(k) / count;
      tiers.push_back({foot - tall * (1 - 0.82 * f) + tall * random.Uniform(-0.015, 0.015),
                       tall * (0.2 + 0.06 * f),
                       half_width * (0.22 + 0.78 * (k + 1) / count) * random.Uniform(0.85, 1.1)});
    }
    ForEachPixelIn(
        image, centre - half_width * 1.2, foot - tall - 1, centre + half_width * 1.2, foot + 1,
        [&](int x, int y, double px, double py) {
          const double dx = std::abs(px - centre);
          // The trunk, then the union of the tiers.
          double inside = std::max({dx - tall * 0.02, py - foot, foot - 0.9 * tall - py});
          for (const Tier& tier : tiers) {
            const double slope = tier.height / tier.reach;
            const double upper = (tier.top + dx * slope - py) / std::sqrt(1 + slope * slope);
            const double droop = dx / tier.reach;
            const double lower = py - (tier.top + tier.height * (0.7 + 0.3 * droop * droop));
            inside = std::min(inside, std::max({upper, lower, dx - tier.reach}));
          }
          image.Blend(x, y, colour, Coverage(inside));
        });
  }
}

void Reflect(Image& image, int horizon, Color water, std::uint32_t seed) {
  const int width = image.Width();
  const double h = image.Height();
  for (int y = horizon; y < image.Height(); ++y) {
    const double depth = (y - horizon + 0.5) / (h - horizon);
    // Ripples grow towards the viewer: each row is shifted sideways a little and taken from a
    // slightly different source row, so the reflection breaks into fine horizontal streaks.
    const double wobble = Noise(y * 0.7, 7.1, seed) * (0.3 + 1.5 * depth);
    const int source_y =
        std::clamp(2 * horizon - y - 1 + static_cast<int>(std::lround(wobble)), 0, horizon - 1);
    const double shift = Noise(y * 0.45, 1.3, seed + 1) * (0.5 + 4 * depth) * h / 1000;
    for (int x = 0; x < width; ++x) {
      const int source_x = std::clamp(static_cast<int>(x + shift), 0, width - 1);
      const double streak = 0.5 + 0.5 * Noise(x / (h * (0.05 + 0.2 * depth)), y * 0.5, seed + 2);
      const Color mirrored = image.At(source_x, source_y);
      image.Set(x, y, Mix(mirrored * 0.85, water, 0.12 + 0.3 * depth + 0.1 * streak));
    }
  }
}

}  // namespace pictures
