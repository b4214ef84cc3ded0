#include "trees.h"

#include <cmath>
#include <vector>

#include "draw.h"
#include "noise.h"
#include "sky.h"
#include "terrain.h"

namespace pictures {
namespace {

struct Twig {
  Point from;
  double angle;  // radians, 0 pointing right, growing clockwise (y points down)
  double length;
  double width;
  int depth;
};

// Grows a branch: every segment bends a little and may fork; twig ends are where flowers go.
// `spread` is how far a fork turns away from its parent.
void Grow(Image& image, Random& random, Twig twig, Color bark, double spread, int max_depth,
          std::vector<Point>& tips) {
  const Point to{twig.from.x + twig.length * std::cos(twig.angle),
                 twig.from.y + twig.length * std::sin(twig.angle)};
  const double end_width = twig.width * 0.78;
  Stroke(image, twig.from, to, twig.width, end_width, bark);
  if (twig.depth >= max_depth || end_width < 0.6) {
    tips.push_back(to);
    return;
  }
  if (twig.depth >= 3) tips.push_back(to);
  const double bend = random.Uniform(-0.3, 0.3);
  Grow(image, random,
       {to, twig.angle + bend, twig.length * random.Uniform(0.82, 0.95), end_width, twig.depth + 1},
       bark, spread, max_depth, tips);
  if (random.Chance(twig.depth < 2 ? 0.9 : 0.6)) {
    const double side = random.Chance(0.5) ? 1 : -1;
    Grow(image, random,
         {to, twig.angle + side * spread * random.Uniform(0.6, 1.2),
          twig.length * random.Uniform(0.55, 0.8), end_width * 0.7, twig.depth + 1},
         bark, spread, max_depth, tips);
  }
}

void Flower(Image& image, Random& random, Point at, double size, const BlossomStyle& style) {
  const double turn = random.Uniform(0, 2 * kPi);
  const Color petal = Mix(style.petal, Hex(0xFFFFFF), random.Uniform(0, 0.35));
  for (int p = 0; p < 5; ++p) {
    const double angle = turn + p * 2 * kPi / 5;
    const Point centre{at.x + 0.55 * size * std::cos(angle), at.y + 0.55 * size * std::sin(angle)};
    FillEllipse(image, centre, 0.56 * size, 0.42 * size, angle, Mix(petal, style.heart, 0.25));
    FillEllipse(image, centre, 0.5 * size, 0.36 * size, angle, petal);
  }
  FillDisc(image, at, 0.28 * size, style.heart, 0.85);
  for (int s = 0; s < 8; ++s) {
    const double angle = turn + s * 2 * kPi / 8 + 0.2;
    FillDisc(image, {at.x + 0.34 * size * std::cos(angle), at.y + 0.34 * size * std::sin(angle)},
             std::max(0.7, 0.05 * size), Hex(0xF7D774));
  }
}

}  // namespace

void PaintBlossomBranch(Image& image, const BlossomStyle& style) {
  const double w = image.Width();
  const double h = image.Height();
  const double unit = std::min(w, h);
  image.Shade([&](double, double y) { return style.sky.At(y / h); });
  Random random(style.seed);
  // Far blossom, out of focus.
  for (int i = 0; i < 60; ++i) {
    const Point at{random.Uniform() * w, random.Uniform() * h};
    FillDisc(image, at, unit * random.Uniform(0.02, 0.07), Mix(style.petal, Hex(0xFFFFFF), 0.3),
             random.Uniform(0.15, 0.35), unit * 0.02);
  }
  std::vector<Point> tips;
  const double side = style.from_left ? 1 : -1;
  const Point root{style.from_left ? -0.02 * w : 1.02 * w, 0.18 * h};
  const double heading = style.from_left ? 0.35 : kPi - 0.35;
  Grow(image, random, {root, heading, unit * 0.24, unit * 0.03, 0}, style.bark, 0.7 * side, 9,
       tips);
  Grow(image, random,
       {{root.x, root.y + 0.12 * h}, heading + 0.45 * side, unit * 0.17, unit * 0.02, 1},
       style.bark, 0.7 * side, 8, tips);
  for (const Point& tip : tips) {
    const int flowers = 1 + random.Below(3);
    for (int f = 0; f < flowers; ++f) {
      const Point at{tip.x + unit * random.Uniform(-0.035, 0.035),
                     tip.y + unit * random.Uniform(-0.035, 0.035)};
      Flower(image, random, at, unit * random.Uniform(0.025, 0.04), style);
    }
  }
  // Petals drifting down.
  for (int i = 0; i < 50; ++i) {
    const Point at{random.Uniform() * w, random.Uniform() * h};
    FillEllipse(image, at, unit * 0.008, unit * 0.005, random.Uniform(0, kPi), style.petal, 0.85);
  }
}

void PaintSavannaTree(Image& image, const SavannaStyle& style) {
  const double w = image.Width();
  const double h = image.Height();
  const double horizon = 0.78 * h;
  const Sun sun{{style.sun_x * w, 0.6 * h}, 0.11 * h, style.sun, 0.9};
  PaintSky(image, style.sky, horizon, sun);
  AddCloudStreaks(image, horizon, Mix(style.land, style.sun, 0.3), sun, 0.35, style.seed + 1);
  AddSunDisc(image, sun);
  // Far hills in haze, then the plain with a fringe of grass.
  Skyline far = MakeSkyline(
      {.base = 0.77, .amplitude = 0.05, .wavelength = 0.6, .jagged = false, .seed = style.seed + 2},
      image.Width(), image.Height());
  PaintRange(image, far, [&](int, int, double) { return Mix(style.land, style.sun, 0.35); });
  Skyline plain(static_cast<std::size_t>(image.Width()));
  for (int x = 0; x < image.Width(); ++x) {
    const double grass = std::pow(std::abs(Noise(x * 0.9, style.seed + 3)), 3.0);
    plain[static_cast<std::size_t>(x)] =
        horizon + 0.04 * h * Fbm(x / h * 1.5, style.seed + 4, 3) - 0.012 * h * grass;
  }
  PaintRange(image, plain, [&](int, int, double) { return style.land; });

  // The tree: a short trunk forking into limbs that fan out under a wide flat crown.
  Random random(style.seed + 5);
  const Point foot{style.tree_x * w, horizon + 0.01 * h};
  const double tall = 0.42 * h;
  const Point fork{foot.x + 0.01 * h, foot.y - 0.38 * tall};
  Stroke(image, foot, fork, 0.018 * h, 0.012 * h, style.land);
  std::vector<Point> crown;
  constexpr int kLimbs = 7;
  for (int l = 0; l < kLimbs; ++l) {
    const double f = (l + 0.5) / kLimbs - 0.5;
    const Point end{fork.x + f * 0.95 * tall + random.Uniform(-0.03, 0.03) * h,
                    fork.y - tall * (0.5 + 0.1 * random.Uniform() - 0.25 * std::abs(f))};
    const Point bend{Lerp(fork.x, end.x, 0.45) + random.Uniform(-0.02, 0.02) * h,
                     Lerp(fork.y, end.y, 0.6)};
    Stroke(image, fork, bend, 0.01 * h, 0.007 * h, style.land);
    Stroke(image, bend, end, 0.007 * h, 0.003 * h, style.land);
    crown.push_back(end);
  }
  // The crown is a flat layered mat of foliage resting on the limb ends.
  for (const Point& end : crown) {
    for (int k = 0; k < 14; ++k) {
      const Point at{end.x + random.Uniform(-0.09, 0.09) * h,
                     end.y + random.Uniform(-0.025, 0.012) * h};
      FillEllipse(image, at, random.Uniform(0.03, 0.07) * h, random.Uniform(0.012, 0.022) * h,
                  random.Uniform(-0.08, 0.08), style.land);
    }
  }
  // A few birds heading home.
  for (int b = 0; b < 5; ++b) {
    const double flock = style.tree_x < 0.5 ? 0.72 : 0.12;
    const Point at{(flock + random.Uniform(0, 0.16)) * w, (0.25 + random.Uniform(0, 0.15)) * h};
    const double span = random.Uniform(0.008, 0.014) * h;
    const double lift = span * random.Uniform(0.3, 0.6);
    Stroke(image, {at.x - span, at.y - lift}, at, 0.0015 * h, 0.002 * h, style.land);
    Stroke(image, at, {at.x + span, at.y - lift}, 0.002 * h, 0.0015 * h, style.land);
  }
}

}  // namespace pictures
