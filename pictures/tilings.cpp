#include "tilings.h"

#include <algorithm>
#include <cmath>

#include "draw.h"
#include "noise.h"

namespace pictures {
namespace {

std::uint32_t CellHash(std::int64_t i, std::int64_t j, std::uint32_t seed) {
  Random random(static_cast<std::uint64_t>(i) * 0x9E3779B1ULL ^
                static_cast<std::uint64_t>(j) * 0x85EBCA77ULL ^ seed);
  return static_cast<std::uint32_t>(random.Next());
}

// Signed distance to an axis-aligned square of half-side `half` centred on the origin.
double SquareDistance(double x, double y, double half) {
  const double dx = std::abs(x) - half;
  const double dy = std::abs(y) - half;
  return std::hypot(std::max(dx, 0.0), std::max(dy, 0.0)) + std::min(std::max(dx, dy), 0.0);
}

// An eight-pointed star made of two squares, one turned by 45 degrees.
double StarDistance(double x, double y, double half) {
  constexpr double kHalfRoot2 = 0.70710678118654752;
  return std::min(SquareDistance(x, y, half),
                  SquareDistance((x + y) * kHalfRoot2, (y - x) * kHalfRoot2, half));
}

}  // namespace

void PaintTruchet(Image& image, const TruchetStyle& style) {
  const double cell = style.cell * image.Height();
  const double half_band = 0.14;  // in tile units
  const double diagonal = image.Width() + image.Height();
  image.Shade([&](double px, double py) {
    const double gx = px / cell;
    const double gy = py / cell;
    const auto i = static_cast<std::int64_t>(std::floor(gx));
    const auto j = static_cast<std::int64_t>(std::floor(gy));
    const bool flipped = (CellHash(i, j, style.seed) & 1U) != 0;
    double fx = gx - static_cast<double>(i);
    const double fy = gy - static_cast<double>(j);
    if (flipped) fx = 1 - fx;
    // Two quarter arcs around opposite corners; the corner regions touch lattice points of one
    // parity and the middle region the other, so the plane two-colours cleanly.
    const double to_first = std::hypot(fx, fy);
    const double to_second = std::hypot(1 - fx, 1 - fy);
    const double d = std::min(std::abs(to_first - 0.5), std::abs(to_second - 0.5));
    const bool corner_region = to_first < 0.5 || to_second < 0.5;
    const bool odd = ((i + j + (flipped ? 1 : 0)) & 1) != 0;
    const double along = (px + py) / diagonal;
    const Color ground = (corner_region != odd) ? style.ground.At(along) : style.ground2.At(along);
    Color band = style.band;
    if (style.shaded) {
      const double across = Clamp01(d / half_band);
      band = band * (0.55 + 0.45 * std::sqrt(1 - across * across)) +
             Hex(0xFFFFFF) * (0.25 * std::exp(-std::pow((d / half_band + 0.35) * 3, 2)));
    }
    const double pixel = 1 / cell;  // one pixel in tile units
    const double line = 0.025 + pixel * 0.5;
    const double edge = std::abs(d - half_band);
    Color c = Mix(ground, band, Coverage((d - half_band) / pixel));
    return Mix(c, style.outline, Coverage((edge - line) / pixel));
  });
}

void PaintSeigaiha(Image& image, const SeigaihaStyle& style) {
  const double r = style.radius * image.Height();
  const double row_step = r * 0.5;
  constexpr int kRings = 5;
  const double line = std::max(1.2, r * 0.045);
  image.Shade([&](double px, double py) {
    // Rows are laid from the top down, each over the last: the visible fan is the one in the
    // lowest row that reaches this point.
    const auto last_row = static_cast<std::int64_t>(std::floor((py + r) / row_step));
    for (std::int64_t row = last_row; row >= last_row - 4; --row) {
      const double cy = static_cast<double>(row) * row_step;
      const double shift = (row & 1) != 0 ? r : 0.0;
      const auto column = static_cast<std::int64_t>(std::floor((px - shift + r) / (2 * r)));
      const double cx = static_cast<double>(column) * 2 * r + shift;
      const double dist = std::hypot(px - cx, py - cy);
      if (dist > r + 0.5) continue;
      const std::uint32_t pick = CellHash(column, row, style.seed);
      const Color fan = style.fans[pick % style.fans.size()];
      // Concentric rings, and the fan's own rim, drawn as lines of the paper colour.
      const double ring = r / kRings;
      const double to_line = std::abs(dist - ring * std::round(dist / ring));
      Color c = Mix(fan, style.lines, Coverage(to_line - line * 0.5));
      if (dist < ring * 0.5) c = fan;
      // Against the fan behind, the rim shows as a soft edge.
      return Mix(c, style.lines, Clamp01(dist - r + 0.5));
    }
    return style.lines;
  });
}

void PaintStarTiling(Image& image, const StarTilingStyle& style) {
  const double cell = style.cell * image.Height();
  // Star points exactly touch those of the neighbours on every side.
  const double half = 0.5 / std::sqrt(2.0);
  const double strap = 0.035;
  const double pixel = 1 / cell;
  image.Shade([&](double px, double py) {
    const double gx = px / cell - 0.5 * image.Width() / cell;
    const double gy = py / cell - 0.5 * image.Height() / cell;
    const double x = gx - std::round(gx);
    const double y = gy - std::round(gy);
    const double star = StarDistance(x, y, half);
    // Between four stars lies a cross-shaped gap, centred on the cell corner.
    const double cx = gx - std::floor(gx) - 0.5;
    const double cy = gy - std::floor(gy) - 0.5;
    const double cross =
        std::min(SquareDistance(cx * 0.45, cy, 0.06), SquareDistance(cx, cy * 0.45, 0.06));
    Color c = Mix(style.ground, style.accent, Coverage(cross / pixel));
    c = Mix(c, style.star, Coverage((star + strap) / pixel));
    const double rosette = StarDistance(x * std::cos(kPi / 8) - y * std::sin(kPi / 8),
                                        x * std::sin(kPi / 8) + y * std::cos(kPi / 8), half * 0.45);
    c = Mix(c, style.rosette, Coverage(rosette / pixel));
    c = Mix(c, style.accent, Coverage((std::hypot(x, y) - 0.04) / pixel));
    // The strap along every star's outline, with thin dark edges.
    const double band = std::abs(star) - strap;
    c = Mix(c, style.outline, Coverage((band - pixel * 1.2) / pixel));
    c = Mix(c, style.strap, Coverage((band + pixel * 0.6) / pixel));
    const double ring = std::abs(rosette) - pixel * 0.8;
    return Mix(c, style.outline, Coverage(ring / pixel));
  });
}

}  // namespace pictures
