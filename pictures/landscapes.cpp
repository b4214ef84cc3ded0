#include "landscapes.h"

#include <cmath>

#include "noise.h"
#include "sky.h"
#include "terrain.h"

namespace pictures {
namespace {

// A cone with a small summit plateau and concave flanks, capped with snow that runs down the
// gullies; the side towards the sun is lit.
void PaintVolcano(Image& image, const MountainStyle& style, double foot, Color rock) {
  const double w = image.Width();
  const double h = image.Height();
  const double peak_x = w * (style.sun.x < 0.5 ? 0.62 : 0.38);
  const double summit = foot - 0.44 * h;
  Skyline skyline(static_cast<std::size_t>(image.Width()));
  for (int x = 0; x < image.Width(); ++x) {
    const double off = std::max(std::abs(x + 0.5 - peak_x) - 0.03 * h, 0.0) / h;
    skyline[static_cast<std::size_t>(x)] =
        summit + 0.62 * h * (1 - std::exp(-off / 0.55)) + 0.003 * h * Noise(x / h * 40, style.seed);
  }
  const Color snow = Mix(Hex(0xF4F1F6), style.sun_colour, 0.15);
  const Color shade = Mix(snow, style.haze, 0.5);
  const double towards_sun = style.sun.x < 0.5 ? -1 : 1;
  PaintRange(image, skyline, [&](int x, int y, double) {
    const double u = (x + 0.5 - peak_x) / h;
    // Gullies: narrow tongues of snow reaching further down the flanks.
    const double gully = std::pow(RidgedFbm(u * 14, style.seed + 3, 4), 4.0);
    const double snowline = summit + h * (0.09 + 0.02 * Noise(u * 7, style.seed + 4) +
                                          0.2 * gully * Clamp01(1 - std::abs(u) * 2.2));
    const double light = Smoothstep(-0.04, 0.06, u * towards_sun);
    const Color cap = Mix(shade, snow, light);
    const Color flank = Mix(Mix(rock, style.haze, 0.15), rock, 0.5 + 0.5 * light);
    return Mix(cap, flank, Smoothstep(snowline - 1.5, snowline + 1.5, y + 0.5));
  });
}

}  // namespace

void PaintMountains(Image& image, const MountainStyle& style) {
  const double w = image.Width();
  const double h = image.Height();
  const double horizon = style.horizon * h;
  const Sun sun{
      {style.sun.x * w, style.sun.y * h}, style.sun_radius * h, style.sun_colour, style.glow};
  PaintSky(image, style.sky, horizon, sun);
  if (style.stars) AddStars(image, horizon, 0.6, style.seed + 10);
  if (style.clouds) AddCloudStreaks(image, horizon, style.cloud_colour, sun, 0.5, style.seed + 11);
  AddSunDisc(image, sun);

  const int ranges = style.ranges;
  for (int i = 0; i < ranges; ++i) {
    const double f = ranges > 1 ? static_cast<double>(i) / (ranges - 1) : 1.0;
    // Behind a lake every range stands on the far shore; otherwise they step down the picture.
    const RangeShape shape{
        .base = style.lake ? Lerp(style.horizon - 0.16, style.horizon - 0.015, f)
                           : Lerp(style.horizon - 0.12, 0.86, std::pow(f, 1.1)),
        .amplitude = style.lake ? Lerp(0.26, 0.05, f) : Lerp(0.24, 0.12, f),
        .wavelength = Lerp(0.3, 0.9, f),
        .jagged = f < 0.6,
        .seed = style.seed * 31 + static_cast<std::uint32_t>(i),
    };
    const Skyline skyline = MakeSkyline(shape, image.Width(), image.Height());
    // Behind a lake even the nearest range keeps some air in front of it: the shore is nearer.
    const Color body =
        Mix(style.haze, style.near, (0.12 + 0.88 * std::pow(f, 1.3)) * (style.lake ? 0.7 : 1.0));
    const Color mist = Mix(style.haze, body, 0.25 + 0.5 * f);
    const double fog = 0.75 * (1 - 0.7 * f);
    // Mist lies in level sheets, so it thickens with the height below the range's mean line,
    // not with the depth below each peak.
    const double mist_top = (shape.base - 0.3 * shape.amplitude) * h;
    if (style.volcano && i == 1) PaintVolcano(image, style, horizon, body);
    PaintRange(
        image, skyline,
        [&](int, int y, double) {
          return Mix(body, mist, fog * Smoothstep(mist_top, mist_top + 0.16 * h, y));
        },
        style.lake ? static_cast<int>(horizon) : -1);
    if (style.pines && !style.lake && i >= ranges - 2) {
      DrawPines(image, skyline, 0.5, h * (i == ranges - 1 ? 0.1 : 0.05), body,
                style.seed + 20 + static_cast<std::uint32_t>(i));
    }
  }
  if (!style.lake) return;
  Reflect(image, static_cast<int>(horizon), Mix(style.haze, style.near, 0.6), style.seed + 30);
  const Skyline shore = MakeSkyline({.base = 0.95,
                                     .amplitude = 0.07,
                                     .wavelength = 0.8,
                                     .jagged = false,
                                     .seed = style.seed + 40},
                                    image.Width(), image.Height());
  PaintRange(image, shore, [&](int, int, double) { return style.near; });
  if (style.pines) DrawPines(image, shore, 0.5, h * 0.14, style.near, style.seed + 41);
}

}  // namespace pictures
