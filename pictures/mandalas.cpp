#include "mandalas.h"

#include <cmath>

#include "draw.h"
#include "noise.h"

namespace pictures {
namespace {

// Where within its sector a direction falls, for n sectors: -0.5 at one edge, 0 on the
// sector's axis, 0.5 at the other edge.
double SectorOffset(double angle, int n) {
  const double sectors = angle / (2 * kPi) * n;
  return sectors - std::round(sectors);
}

struct PetalRing {
  int petals;
  double base;    // radius where the petals start, in units of the mandala's radius
  double length;  // how far the longest petal reaches beyond its base
  int shape;      // 0 pointed, 1 round, 2 with a notch
  double twist;   // offset of alternate rings by half a petal
  Color colour;
};

double PetalProfile(int shape, double a) {
  const double t = std::abs(2 * a);  // 0 on the axis, 1 at the sector's edge
  switch (shape) {
    case 0:
      return std::pow(Clamp01(1 - t), 0.7);
    case 1:
      return std::sqrt(Clamp01(1 - t * t));
    default:
      return std::sqrt(Clamp01(1 - t * t)) * (1 - 0.35 * std::exp(-t * t * 60));
  }
}

}  // namespace

void PaintMandala(Image& image, const MandalaStyle& style) {
  const double h = image.Height();
  const Point centre{0.5 * image.Width(), 0.5 * h};
  const double radius = 0.47 * h;
  Random random(style.seed);
  std::vector<PetalRing> rings;
  const int counts[] = {6, 8, 12, 16, 16, 24, 32, 32, 48, 64};
  for (int k = 0; k < style.rings; ++k) {
    const double f = static_cast<double>(k) / style.rings;
    rings.push_back({counts[std::min(k, 9)], 0.06 + 0.8 * f, 0.8 / style.rings * 1.7,
                     random.Below(3), (k % 2) * 0.5,
                     style.colours[static_cast<std::size_t>(k) % style.colours.size()]});
  }
  const double pixel = 1 / radius;
  image.Shade([&](double px, double py) {
    const double dx = px - centre.x;
    const double dy = py - centre.y;
    const double r = std::hypot(dx, dy) / radius;
    const double angle = std::atan2(dy, dx);
    const double glow = std::exp(-r * r * 0.8);
    Color c = Mix(style.ground * 0.6, style.ground, glow);
    // A faint lattice of rings and spokes behind the flower.
    const double halo = std::abs(Fract(r * 9) - 0.5) * 2;
    c = Mix(c, style.colours.back(), 0.12 * Smoothstep(0.9, 1.0, halo) * Smoothstep(2.0, 0.9, r));
    // Inner rings lie on top, so look from the middle outwards and keep the first petal hit.
    for (const PetalRing& ring : rings) {
      if (r < ring.base) break;
      const double a = SectorOffset(angle + ring.twist * 2 * kPi / ring.petals, ring.petals);
      const double reach = ring.base + ring.length * PetalProfile(ring.shape, a);
      if (r > reach + pixel) continue;
      const double along = Clamp01((r - ring.base) / ring.length);
      Color petal = Mix(ring.colour * 0.7, Mix(ring.colour, Hex(0xFFFFFF), 0.25), along);
      petal = petal * (1 - 0.25 * std::exp(-std::pow(a * 14, 2)) * along);  // a vein
      const double edge = (r - reach) / pixel;
      const Color outlined = Mix(petal, style.outline, Coverage(std::abs(edge) - 1.2));
      return Mix(c, outlined, Coverage(edge - 1.2));
    }
    // The heart of the flower.
    const Color heart = Mix(style.colours.front(), Hex(0xFFFFFF), 0.3 * (1 - r / 0.06));
    return Mix(c, heart, Coverage((r - 0.06) / pixel));
  });
  // Rings of beads between the petal rings.
  for (std::size_t k = 1; k < rings.size(); k += 2) {
    const double bead_r = 0.012 * (1 + static_cast<double>(k) * 0.15) * radius;
    const double ring_r = (rings[k].base - 0.01) * radius;
    const int beads = rings[k].petals * 2;
    for (int b = 0; b < beads; ++b) {
      const double angle = 2 * kPi * b / beads;
      const Point at{centre.x + ring_r * std::cos(angle), centre.y + ring_r * std::sin(angle)};
      FillDisc(image, at, bead_r + 1, style.outline);
      FillDisc(image, at, bead_r, Mix(style.colours.back(), Hex(0xFFFFFF), 0.5));
    }
  }
}

void PaintKaleidoscope(Image& image, const KaleidoscopeStyle& style) {
  const double h = image.Height();
  const Point centre{0.5 * image.Width(), 0.5 * h};
  const double sector = kPi / style.folds;
  // Chips of coloured glass lying in one wedge between the mirrors, some across its edges.
  struct Chip {
    Point at;
    double rx, ry, cos_a, sin_a;
    Color colour;
  };
  Random random(style.seed);
  std::vector<Chip> chips;
  for (int k = 0; k < 50; ++k) {
    const double r = 1.3 * std::sqrt(random.Uniform());
    const double angle = random.Uniform(-0.2, 1.2) * sector;
    const double size = random.Uniform(0.03, 0.12) * (0.5 + r);
    const double turn = random.Uniform(0, kPi);
    chips.push_back({{r * std::cos(angle), r * std::sin(angle)},
                     size,
                     size * random.Uniform(0.25, 0.8),
                     std::cos(turn),
                     std::sin(turn),
                     style.palette.At(random.Uniform())});
  }
  const double pixel = 2 / h;
  image.Shade([&](double px, double py) {
    const double dx = (px - centre.x) / (0.5 * h);
    const double dy = (py - centre.y) / (0.5 * h);
    const double r = std::hypot(dx, dy);
    // Fold the direction into one mirrored wedge.
    double angle = std::fmod(std::atan2(dy, dx) + 2 * kPi, 2 * sector);
    if (angle > sector) angle = 2 * sector - angle;
    const double qx = r * std::cos(angle);
    const double qy = r * std::sin(angle);
    Color c = Mix(Hex(0xFFF6E8), style.palette.At(0.15) * 0.45, Smoothstep(0, 1.4, r));
    // Chips are filters: each one colours the light that passes through it.
    for (const Chip& chip : chips) {
      const double ox = qx - chip.at.x;
      const double oy = qy - chip.at.y;
      const double reach = chip.rx + pixel;
      if (ox * ox + oy * oy > reach * reach) continue;
      const double ux = ox * chip.cos_a + oy * chip.sin_a;
      const double uy = -ox * chip.sin_a + oy * chip.cos_a;
      const double d = (std::hypot(ux / chip.rx, uy / chip.ry) - 1) * chip.ry;
      if (d > pixel) continue;
      const Color filtered = c * Mix(chip.colour, Hex(0xFFFFFF), 0.35);
      const Color edged =
          Mix(filtered, chip.colour * 0.3, Coverage((std::abs(d) - 1.2 * pixel) / pixel));
      c = Mix(c, edged, Coverage(d / pixel));
    }
    return c * Smoothstep(1.5, 0.9, r);
  });
}

}  // namespace pictures
