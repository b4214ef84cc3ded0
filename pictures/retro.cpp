#include "retro.h"

#include <cmath>

#include "draw.h"
#include "noise.h"
#include "quantise.h"
#include "terrain.h"

namespace pictures {

void PaintSynthwave(Image& image, const SynthwaveStyle& style) {
  const double w = image.Width();
  const double h = image.Height();
  const double horizon = 0.62 * h;
  constexpr int kBands = 14;
  image.Shade([&](double, double y) {
    const double t = std::floor(y / horizon * kBands) / (kBands - 1);
    return style.sky.At(t);
  });
  Random random(style.seed);
  for (int i = 0; i < static_cast<int>(w * h / 4000); ++i) {
    const Point at{random.Uniform() * w, random.Uniform() * horizon * 0.7};
    FillDisc(image, at, h / 900 + 0.3, Hex(0xFFFFFF), random.Uniform(0.4, 1.0));
  }
  // The sun: a striped disc, its gaps widening towards the horizon.
  const Point sun{0.5 * w, horizon - 0.16 * h};
  const double radius = 0.24 * h;
  ForEachPixelIn(image, sun.x - radius - 1, sun.y - radius - 1, sun.x + radius + 1, horizon,
                 [&](int x, int y, double px, double py) {
                   const double v = (py - (sun.y - radius)) / (2 * radius);
                   const double stripe_pitch = 0.07;
                   const double lower = Clamp01((v - 0.5) / 0.5);
                   const double gap = lower > 0 ? 0.1 + 0.6 * lower : 0;
                   if (Fract(v / stripe_pitch) < gap) return;
                   const double t = std::floor(v * 8) / 7;
                   const Color c = Mix(style.sun_top, style.sun_bottom, t);
                   const double d = std::hypot(px - sun.x, py - sun.y) - radius;
                   image.Blend(x, y, c, Coverage(d));
                 });
  // Mountains with bright ridge lines.
  Skyline ridge = MakeSkyline(
      {.base = 0.6, .amplitude = 0.22, .wavelength = 0.22, .jagged = true, .seed = style.seed + 1},
      image.Width(), image.Height());
  for (int x = 0; x < image.Width(); ++x) {
    // Leave the middle open so the sun shows between two massifs.
    const double u = (x + 0.5) / w - 0.5;
    double& top = ridge[static_cast<std::size_t>(x)];
    top = Lerp(horizon, top, Smoothstep(0.12, 0.3, std::abs(u)));
  }
  PaintRange(
      image, ridge,
      [&](int, int, double depth) {
        return Mix(style.grid, style.mountains, Smoothstep(0, 0.004 * h + 1.5, depth));
      },
      static_cast<int>(horizon));
  // The floor: a grid in perspective, lines vanishing at the centre of the horizon.
  const double line = std::max(1.0, h / 600);
  const double nearest_row = h - horizon;
  for (int y = static_cast<int>(horizon); y < image.Height(); ++y) {
    const double below = y + 0.5 - horizon;
    // Distance along the floor in grid squares (1 at the bottom edge), and across it.
    const double depth = nearest_row / below;
    const double depth_per_pixel = depth / below;
    const double across_per_pixel = 2.0 / nearest_row * depth;
    // Where lines crowd closer than a few pixels they would only shimmer: let them fade.
    const double rows_fade = Smoothstep(0.6, 0.15, depth_per_pixel);
    const double columns_fade = Smoothstep(0.3, 0.08, across_per_pixel);
    const Color floor = Mix(style.mountains * 0.6, style.mountains, Smoothstep(0, 0.4 * h, below));
    const Color lit = Screen(floor, style.grid * (0.6 * std::exp(-below / (0.02 * h))));
    for (int x = 0; x < image.Width(); ++x) {
      const double across = (x + 0.5 - 0.5 * w) * across_per_pixel;
      const double to_row = std::abs(depth - std::round(depth)) / depth_per_pixel;
      const double to_column = std::abs(across - std::round(across)) / across_per_pixel;
      const double on_row = Coverage(to_row - 0.5 * line) * rows_fade;
      const double on_column = Coverage(to_column - 0.5 * line) * columns_fade;
      image.Set(x, y, Mix(lit, style.grid, std::max(on_row, on_column)));
    }
  }
}

void PaintAsPixelArt(Image& image, int factor, int colours, void (*paint)(Image&)) {
  Image small(image.Width() / factor, image.Height() / factor);
  paint(small);
  Posterise(small, colours);
  for (int y = 0; y < image.Height(); ++y) {
    const int sy = std::min(y / factor, small.Height() - 1);
    for (int x = 0; x < image.Width(); ++x) {
      image.Set(x, y, small.At(std::min(x / factor, small.Width() - 1), sy));
    }
  }
}

}  // namespace pictures
