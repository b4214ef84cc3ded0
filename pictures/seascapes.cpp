#include "seascapes.h"

#include <cmath>

#include "noise.h"
#include "sky.h"
#include "terrain.h"

namespace pictures {
namespace {

void PaintSea(Image& image, const SeaStyle& style, double horizon, const Sun& sun) {
  const double h = image.Height();
  const Color sky_at_horizon = style.sky.At(1.0);
  for (int y = static_cast<int>(horizon); y < image.Height(); ++y) {
    const double below = std::max(y + 0.5 - horizon, 0.5);
    const double t = below / (h - horizon);
    // Coordinates on the water's surface: rows near the horizon cover ever more sea.
    const double distance = h / below;
    const Color base = Mix(Mix(sky_at_horizon, style.sea_far, Smoothstep(0, 0.12, t)),
                           style.sea_near, std::pow(t, 0.7));
    // The glitter path widens towards the viewer.
    const double path_width = h * (0.015 + 0.22 * t) + sun.radius;
    for (int x = 0; x < image.Width(); ++x) {
      const double across = (x + 0.5 - sun.centre.x) / below;
      const double waves = Fbm(across * 0.8, distance * 2.4, style.seed, 3);
      const double ripples = Fbm(across * 4, distance * 12, style.seed + 1, 2);
      const double shade = 1 + 0.22 * waves + 0.08 * ripples;
      Color c = base * shade;
      const double off = (x + 0.5 - sun.centre.x) / path_width;
      const double path = std::exp(-off * off);
      const double sparkle = Smoothstep(0.15, 0.55, ripples + 0.3 * waves);
      const double glitter = path * (0.25 + sparkle) * style.glow;
      c = Screen(c, Mix(style.sun_colour, Hex(0xFFFFFF), 0.3 * sparkle) * glitter);
      image.Set(x, y, c);
    }
  }
}

// Low islands strung along the horizon, with a faint reflection.
void AddIslands(Image& image, const SeaStyle& style, double horizon) {
  const double h = image.Height();
  Skyline skyline(static_cast<std::size_t>(image.Width()));
  for (int x = 0; x < image.Width(); ++x) {
    const double u = x / h;
    const double rise = std::max(0.0, Fbm(u * 1.6, style.seed + 5, 5) - 0.12);
    skyline[static_cast<std::size_t>(x)] = horizon - h * 0.28 * rise * rise * 3;
  }
  const int bottom = static_cast<int>(horizon) + 1;
  PaintRange(
      image, skyline, [&](int, int, double) { return style.island; }, bottom);
}

}  // namespace

void PaintSeascape(Image& image, const SeaStyle& style) {
  const double w = image.Width();
  const double h = image.Height();
  const double horizon = style.horizon * h;
  const Sun sun{
      {style.sun.x * w, style.sun.y * h}, style.sun_radius * h, style.sun_colour, style.glow};
  PaintSky(image, style.sky, horizon, sun);
  if (style.stars) AddStars(image, horizon, 0.7, style.seed + 1);
  if (style.clouds > 0) {
    AddCloudStreaks(image, horizon, style.cloud_colour, sun, style.clouds, style.seed + 2);
  }
  AddSunDisc(image, sun);
  if (style.islands) AddIslands(image, style, horizon);
  PaintSea(image, style, horizon, sun);
}

}  // namespace pictures
