#include "night_skies.h"

#include <cmath>

#include "noise.h"
#include "sky.h"
#include "terrain.h"

namespace pictures {
namespace {

// A band of faint light across the sky, clumpy, split by dark lanes of dust, with its own
// crowd of faint stars.
void AddMilkyWay(Image& image, double horizon, std::uint32_t seed) {
  const double w = image.Width();
  const double h = image.Height();
  const Point from{0.18 * w, 0};
  const Point to{0.78 * w, horizon};
  const double length = std::hypot(to.x - from.x, to.y - from.y);
  const Point normal{-(to.y - from.y) / length, (to.x - from.x) / length};
  const int bottom = static_cast<int>(horizon);
  for (int y = 0; y < bottom; ++y) {
    for (int x = 0; x < image.Width(); ++x) {
      const double d = ((x - from.x) * normal.x + (y - from.y) * normal.y) / h;
      const double core = std::exp(-d * d / 0.02);
      if (core < 0.01) continue;
      const double u = x / h;
      const double v = y / h;
      const double clumps = 0.45 + 0.55 * Fbm(u * 6, v * 6, seed, 5);
      const double dust =
          Smoothstep(-0.05, 0.3, Fbm(u * 5 + 9, v * 5, seed + 1, 5)) * std::exp(-d * d / 0.004);
      const double light =
          core * clumps * (1 - 0.85 * dust) * (0.3 + 0.7 * Smoothstep(horizon, 0, y)) * 0.8;
      const Color tint = Mix(Hex(0x9FB6FF), Hex(0xFFE6C8), std::exp(-d * d / 0.004));
      image.Lighten(x, y, tint * light);
    }
  }
  Random random(seed + 2);
  const int count = static_cast<int>(w * h / 500);
  for (int i = 0; i < count; ++i) {
    const double t = random.Uniform();
    const double across = (random.Uniform() + random.Uniform() + random.Uniform() - 1.5) * 0.16;
    const Point at{from.x + t * (to.x - from.x) + across * h * normal.x,
                   from.y + t * (to.y - from.y) + across * h * normal.y};
    const double fade = Smoothstep(horizon, horizon * 0.5, at.y);
    FillDisc(image, at, 0.45 * h / 1080 + 0.3, Hex(0xF2F0FF), random.Uniform(0.1, 0.5) * fade);
  }
}

// Curtains of light hanging from a meandering lower edge, with fine vertical rays, brightest
// just above the edge and fading upwards into a second colour.
void AddAurora(Image& image, const NightStyle& style, double horizon) {
  const double h = image.Height();
  const int bottom = static_cast<int>(horizon);
  constexpr int kCurtains = 2;
  for (int c = 0; c < kCurtains; ++c) {
    const auto seed = style.seed + 50 + static_cast<std::uint32_t>(c) * 7;
    const double base = horizon - h * (0.2 + 0.18 * c);
    const double brightness = c == 0 ? 1.0 : 0.55;
    for (int y = 0; y < bottom; ++y) {
      for (int x = 0; x < image.Width(); ++x) {
        const double u = x / h;
        const double edge =
            base + h * (0.3 * Fbm(u * 1.1, seed, 3) + 0.06 * std::sin(u * 2.6 + c * 2.0));
        const double above = (edge - y) / h;
        if (above < -0.02 || above > 0.7) continue;
        // The curtain folds: rays are sampled along a sideways-swaying line.
        const double fold = u + 0.04 * Noise(y / h * 2.5, u * 0.8, seed + 1);
        const double rays = std::pow(0.5 + 0.5 * Fbm(fold * 36, seed + 2, 4), 3.0);
        const double strength = Smoothstep(-0.45, 0.45, Fbm(u * 0.8, seed + 3, 2));
        const double glow = above < 0 ? std::exp(above / 0.004) : std::exp(-above / 0.16);
        const double fringe = above < 0 ? std::exp(above / 0.003) : std::exp(-above / 0.025);
        const double light =
            ((0.15 + 1.6 * rays) * glow + (0.6 + rays) * fringe) * strength * 0.75 * brightness;
        if (light < 0.004) continue;
        const Color colour =
            Mix(style.aurora_low, style.aurora_high, Smoothstep(0.02, 0.35, above));
        image.Lighten(x, y, colour * light);
      }
    }
  }
}

}  // namespace

void PaintNightSky(Image& image, const NightStyle& style) {
  const double h = image.Height();
  const double horizon = style.horizon * h;
  // No moon: only a faint afterglow low in the sky.
  const Sun afterglow{{0.3 * image.Width(), horizon + 0.2 * h}, 0, Hex(0x2A3A66), 0.5};
  PaintSky(image, style.sky, horizon, afterglow);
  AddStars(image, horizon, 1.0, style.seed);
  if (style.milky_way) AddMilkyWay(image, horizon, style.seed + 1);
  if (style.aurora) AddAurora(image, style, horizon);

  const Color far = Mix(style.land, style.sky.At(1.0), 0.35);
  const auto hills = [&](const RangeShape& shape, Color colour, bool trees, int bottom) {
    const Skyline skyline = MakeSkyline(shape, image.Width(), image.Height());
    PaintRange(
        image, skyline, [&](int, int, double) { return colour; }, bottom);
    if (trees) DrawPines(image, skyline, 0.5, h * 0.06, colour, shape.seed + 1);
  };
  if (style.lake) {
    hills({.base = style.horizon - 0.06,
           .amplitude = 0.18,
           .wavelength = 0.35,
           .jagged = true,
           .seed = style.seed + 60},
          far, false, static_cast<int>(horizon));
    hills({.base = style.horizon - 0.015,
           .amplitude = 0.04,
           .wavelength = 0.6,
           .jagged = false,
           .seed = style.seed + 61},
          style.land, true, static_cast<int>(horizon));
    Reflect(image, static_cast<int>(horizon), Mix(style.land, style.sky.At(1.0), 0.2),
            style.seed + 62);
  } else {
    hills({.base = style.horizon - 0.03,
           .amplitude = 0.12,
           .wavelength = 0.5,
           .jagged = true,
           .seed = style.seed + 60},
          far, false, -1);
    hills({.base = style.horizon + 0.08,
           .amplitude = 0.1,
           .wavelength = 0.8,
           .jagged = false,
           .seed = style.seed + 61},
          style.land, true, -1);
  }
}

}  // namespace pictures
