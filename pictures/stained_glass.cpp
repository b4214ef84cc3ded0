#include "stained_glass.h"

#include <cmath>
#include <limits>

#include "color.h"
#include "draw.h"
#include "noise.h"

namespace pictures {
namespace {

// Positions are in units of the picture's height, the origin at its centre.
Color RoseColour(Point p, Random& random) {
  const double r = std::hypot(p.x, p.y) / 0.46;
  const double angle = std::atan2(p.y, p.x);
  if (r > 1) {
    const Color stone[] = {Hex(0x2B3A67), Hex(0x3C2F5F), Hex(0x1F4E5F)};
    return stone[random.Below(3)];
  }
  // Twelve-fold symmetry: the colour depends on the ring and on the distance from a spoke.
  const double spoke = std::abs(std::remainder(angle, 2 * kPi / 12)) / (kPi / 12);
  const Color rings[] = {Hex(0xF5C542), Hex(0xC2362F), Hex(0x1F5BB5),
                         Hex(0x2E8B57), Hex(0xC2362F), Hex(0x1F5BB5)};
  const int ring = std::min(5, static_cast<int>(r * 6));
  const Color base = rings[ring];
  const Color alternate = ring % 2 == 0 ? Hex(0x7B2D8E) : Hex(0xE8A33C);
  return spoke < 0.35 ? alternate : base;
}

Color SunsetColour(Point p, Random& random) {
  const double hill = 0.18 + 0.06 * std::sin(p.x * 5 + 1) + 0.03 * std::sin(p.x * 13);
  if (p.y > hill + 0.12) return Mix(Hex(0x1F5C8C), Hex(0x3C8DBC), random.Uniform());  // water
  if (p.y > hill) return Mix(Hex(0x2E6B2E), Hex(0x5C9E3A), random.Uniform());         // hills
  const double sun = std::hypot(p.x - 0.2, p.y - 0.05);
  if (sun < 0.14) return Mix(Hex(0xFFD23F), Hex(0xFFB02E), random.Uniform());
  if (sun < 0.22) return Hex(0xF28C28);
  const double up = Clamp01((0.05 - p.y) / 0.55);
  return Mix(Mix(Hex(0xF26B38), Hex(0xC2366B), up), Hex(0x5B3C88), up * up) *
         random.Uniform(0.9, 1.1);
}

Color AutumnColour(Point, Random& random) {
  const Color leaves[] = {Hex(0xC0392B), Hex(0xE67E22), Hex(0xF1C40F), Hex(0x8E4A1C),
                          Hex(0xD35400), Hex(0x7D8A2E), Hex(0xA93226)};
  return leaves[random.Below(7)];
}

struct Pane {
  Point seed;
  Color colour;
};

}  // namespace

void PaintStainedGlass(Image& image, const GlassStyle& style) {
  const double h = image.Height();
  const double cell = style.pane * h;
  const int columns = static_cast<int>(std::ceil(image.Width() / cell)) + 2;
  const int rows = static_cast<int>(std::ceil(h / cell)) + 2;
  // One jittered seed per grid cell, with a one-cell margin round the picture.
  std::vector<Pane> panes(static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows));
  Random random(style.seed);
  for (int j = 0; j < rows; ++j) {
    for (int i = 0; i < columns; ++i) {
      const Point seed{(i - 1 + random.Uniform(0.1, 0.9)) * cell,
                       (j - 1 + random.Uniform(0.1, 0.9)) * cell};
      const Point unit{(seed.x - 0.5 * image.Width()) / h, (seed.y - 0.5 * h) / h};
      Color colour;
      switch (style.design) {
        case GlassDesign::Rose:
          colour = RoseColour(unit, random);
          break;
        case GlassDesign::Sunset:
          colour = SunsetColour(unit, random);
          break;
        case GlassDesign::Autumn:
          colour = AutumnColour(unit, random);
          break;
      }
      panes[static_cast<std::size_t>(j * columns + i)] = {seed, colour};
    }
  }
  const double lead = std::max(1.5, 0.006 * h);
  const Point light{0.5 * image.Width(), 0.35 * h};
  const auto pane_at = [&](int i, int j) -> const Pane& {
    return panes[static_cast<std::size_t>(j * columns + i)];
  };
  image.Shade([&](double px, double py) {
    // Seeds are jittered inside their own cells, so the nearest lies in the 3x3 block around
    // the pixel's cell, and every pane sharing an edge with it in the 3x3 block around its own.
    const int ci = static_cast<int>(px / cell) + 1;
    const int cj = static_cast<int>(py / cell) + 1;
    int ni = ci;
    int nj = cj;
    double best = std::numeric_limits<double>::max();
    for (int j = std::max(0, cj - 1); j <= std::min(rows - 1, cj + 1); ++j) {
      for (int i = std::max(0, ci - 1); i <= std::min(columns - 1, ci + 1); ++i) {
        const Point& seed = pane_at(i, j).seed;
        const double d = (px - seed.x) * (px - seed.x) + (py - seed.y) * (py - seed.y);
        if (d < best) {
          best = d;
          ni = i;
          nj = j;
        }
      }
    }
    const Pane& nearest = pane_at(ni, nj);
    // Distance to the nearest pane edge: the closest bisector with any neighbour.
    double edge = std::numeric_limits<double>::max();
    for (int j = std::max(0, nj - 1); j <= std::min(rows - 1, nj + 1); ++j) {
      for (int i = std::max(0, ni - 1); i <= std::min(columns - 1, ni + 1); ++i) {
        if (i == ni && j == nj) continue;
        const Point& seed = pane_at(i, j).seed;
        const double dx = seed.x - nearest.seed.x;
        const double dy = seed.y - nearest.seed.y;
        const double mx = 0.5 * (seed.x + nearest.seed.x);
        const double my = 0.5 * (seed.y + nearest.seed.y);
        edge = std::min(edge, ((mx - px) * dx + (my - py) * dy) / std::sqrt(dx * dx + dy * dy));
      }
    }
    // Glass: brighter towards the pane's middle, with ripples in the pour, lit from behind.
    const double middle = Clamp01(edge / (0.5 * cell));
    const double ripple = Fbm(px / h * 40, py / h * 40, style.seed + 1, 2);
    const double backlight = std::exp(-std::hypot(px - light.x, py - light.y) / h * 1.4);
    Color glass = nearest.colour * (0.62 + 0.3 * middle + 0.1 * ripple);
    glass = Screen(glass, nearest.colour * (0.55 * backlight));
    // Lead came: dark, with a faint highlight along its crown.
    const double crown = Clamp01(1 - edge / lead);
    const Color came = Mix(Hex(0x15161A), Hex(0x4A4C55), crown * crown);
    return Mix(glass, came, Coverage(edge - lead));
  });
  if (style.design != GlassDesign::Rose) return;
  // The rose's tracery: stone rings that cut across the panes.
  for (const double radius : {0.12, 0.24, 0.36, 0.46}) {
    const Point centre{0.5 * image.Width(), 0.5 * h};
    const double r = radius * h;
    const double half = lead * (radius > 0.45 ? 2.2 : 1.3);
    ForEachPixelIn(image, centre.x - r - half - 1, centre.y - r - half - 1, centre.x + r + half + 1,
                   centre.y + r + half + 1, [&](int x, int y, double px, double py) {
                     const double d = std::abs(std::hypot(px - centre.x, py - centre.y) - r);
                     const double crown = Clamp01(1 - d / half);
                     image.Blend(x, y, Mix(Hex(0x15161A), Hex(0x55565E), crown * crown),
                                 Coverage(d - half));
                   });
  }
}

}  // namespace pictures
