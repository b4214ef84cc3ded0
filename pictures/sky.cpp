#include "sky.h"

#include <cmath>

#include "noise.h"

namespace pictures {

void PaintSky(Image& image, const Gradient& sky, double horizon, const Sun& sun) {
  const double h = image.Height();
  image.Shade([&](double x, double y) {
    const Color base = sky.At(y / horizon);
    const double d = std::hypot(x - sun.centre.x, y - sun.centre.y) / h;
    // A tight halo and a wide warm wash, plus a band of light along the horizon.
    const double light = 0.55 * std::exp(-d / 0.06) + 0.45 * std::exp(-d / 0.3);
    const double band = std::exp(-std::abs(y - horizon) / (0.05 * h)) *
                        std::exp(-std::abs(x - sun.centre.x) / (0.8 * h));
    return Screen(base, sun.colour * (sun.glow * (light + 0.35 * band)));
  });
}

void AddSunDisc(Image& image, const Sun& sun) {
  if (sun.radius <= 0) return;
  FillDisc(image, sun.centre, sun.radius, Mix(sun.colour, Hex(0xFFFFFF), 0.6), 1.0, 1.5);
}

void AddStars(Image& image, double horizon, double density, std::uint32_t seed) {
  Random random(seed);
  const double w = image.Width();
  const double h = image.Height();
  const double scale = h / 1080.0;
  const int count = static_cast<int>(density * w * h / 900.0);
  for (int i = 0; i < count; ++i) {
    const Point at{random.Uniform() * w, random.Uniform() * horizon};
    // Few bright stars, many faint ones.
    const double magnitude = std::pow(random.Uniform(), 6.0);
    const double fade = Smoothstep(horizon, horizon * 0.35, at.y);
    const double tint = random.Uniform();
    const Color colour = tint < 0.2 ? Hex(0xFFD6A8) : tint < 0.5 ? Hex(0xCFE0FF) : Hex(0xFFFFFF);
    const double brightness = (0.25 + 0.75 * magnitude) * fade;
    if (brightness < 0.03) continue;
    FillDisc(image, at, std::max(0.45, (0.5 + 1.3 * magnitude) * scale), colour, brightness, 1.0);
    if (magnitude > 0.35) Glow(image, at, 4.0 * scale * magnitude, colour * (0.5 * brightness));
  }
}

void AddCloudStreaks(Image& image, double horizon, Color colour, const Sun& sun, double cover,
                     std::uint32_t seed) {
  const double h = image.Height();
  const int bottom = std::min(image.Height(), static_cast<int>(horizon));
  for (int y = 0; y < bottom; ++y) {
    const double v = y / horizon;
    // Clouds gather in a layer above the horizon and thin out overhead.
    const double layer = Smoothstep(0.05, 0.55, v) * Smoothstep(1.0, 0.85, v);
    if (layer <= 0) continue;
    for (int x = 0; x < image.Width(); ++x) {
      const double n = Fbm(x / h * 1.3, y / h * 11.0, seed, 4, 0.55);
      const double density = Smoothstep(0.45 - 0.5 * cover, 0.8 - 0.4 * cover, n + 0.25) * layer;
      if (density <= 0) continue;
      const double d = std::hypot(x - sun.centre.x, y - sun.centre.y) / h;
      const Color lit = Mix(colour, Mix(sun.colour, Hex(0xFFFFFF), 0.25), std::exp(-d / 0.35));
      image.Blend(x, y, lit, 0.85 * density);
    }
  }
}

}  // namespace pictures
