#include "lights.h"

#include <algorithm>
#include <cmath>

#include "draw.h"
#include "noise.h"

namespace pictures {
namespace {

// Signed distance to a regular hexagon of inner radius r.
double HexagonDistance(double x, double y, double r) {
  x = std::abs(x);
  y = std::abs(y);
  constexpr double kCos30 = 0.8660254037844386;
  return std::max(x * kCos30 + y * 0.5, y) - r;
}

void AddDisc(Image& image, Point centre, double radius, Color colour, double strength,
             bool hexagonal) {
  const double edge = std::max(1.0, radius * 0.06);
  ForEachPixelIn(image, centre.x - radius - edge, centre.y - radius - edge,
                 centre.x + radius + edge, centre.y + radius + edge,
                 [&](int x, int y, double px, double py) {
                   const double dx = px - centre.x;
                   const double dy = py - centre.y;
                   const double d = hexagonal ? HexagonDistance(dx, dy, radius * 0.93)
                                              : std::hypot(dx, dy) - radius;
                   const double inside = Clamp01(0.5 - d / edge);
                   if (inside <= 0) return;
                   // Out-of-focus highlights are flat discs with a brighter rim.
                   const double rim = std::exp(-std::pow((d + edge) / (radius * 0.12), 2));
                   image.Lighten(x, y, colour * (strength * inside * (0.75 + 0.5 * rim)));
                 });
}

}  // namespace

void PaintBokeh(Image& image, const BokehStyle& style) {
  const double w = image.Width();
  const double h = image.Height();
  image.Shade([&](double x, double y) {
    // A few big soft blooms of colour behind everything.
    const double bloom = 0.5 + 0.5 * Fbm(x / h * 1.2, y / h * 1.2, style.seed, 3);
    return style.ground.At(y / h) * (0.7 + 0.6 * bloom);
  });
  Random random(style.seed + 1);
  const int count = static_cast<int>(style.count * (w * h) / (h * h * 16.0 / 9.0));
  for (int i = 0; i < count; ++i) {
    // Far discs are small and many, near ones few and large; they gather along a loose band.
    const double depth = std::pow(random.Uniform(), 1.8);
    const double radius = h * Lerp(0.012, 0.1, depth);
    const double band = 0.5 + 0.25 * std::sin(random.Uniform() * 2 * kPi) * random.Uniform();
    const Point centre{random.Uniform(-0.05, 1.05) * w,
                       (band + 0.35 * (random.Uniform() - 0.5)) * h};
    const Color colour =
        style.lights[static_cast<std::size_t>(random.Below(static_cast<int>(style.lights.size())))];
    const double strength = random.Uniform(0.12, 0.45) * Lerp(1.0, 0.55, depth);
    AddDisc(image, centre, radius, colour, strength, style.hexagonal);
  }
  // A scatter of sharp sparkles in front.
  for (int i = 0; i < count / 4; ++i) {
    const Point at{random.Uniform() * w, random.Uniform(0.2, 0.8) * h};
    Glow(image, at, h * random.Uniform(0.002, 0.005), Hex(0xFFF4DC) * random.Uniform(0.4, 0.9));
  }
}

void PaintRibbons(Image& image, const RibbonStyle& style) {
  const double w = image.Width();
  const double h = image.Height();
  image.Shade([&](double, double y) { return style.ground.At(y / h); });
  // A faint ribbon far behind and a bright one in front.
  for (const double strength : {0.35, 1.0}) {
    Random random(style.seed + static_cast<std::uint64_t>(strength * 10));
    // Each strand is a sum of three waves; neighbouring strands differ by small phase steps,
    // so together they twist like a silk ribbon.
    struct Wave {
      double frequency, phase, amplitude, twist;
    };
    std::vector<Wave> waves(3);
    for (std::size_t k = 0; k < waves.size(); ++k) {
      const auto octave = static_cast<double>(k + 1);
      waves[k] = {random.Uniform(0.6, 1.6) * octave, random.Uniform(0, 2 * kPi),
                  random.Uniform(0.08, 0.16) / octave, random.Uniform(0.6, 1.4)};
    }
    const double tilt = random.Uniform(-0.3, 0.3);
    const double width = h * 0.0016 * (strength < 1 ? 2.5 : 1.0);
    for (int s = 0; s < style.strands; ++s) {
      const double f = static_cast<double>(s) / (style.strands - 1);
      const Color colour = style.colours.At(strength < 1 ? 1 - f : f) * strength;
      const auto strand_y = [&](double x) {
        const double u = x / w;
        double y = 0.5 + tilt * (u - 0.5);
        for (const Wave& wave : waves) {
          y += wave.amplitude *
               std::sin(2 * kPi * wave.frequency * u + wave.phase + wave.twist * f * 2.2);
        }
        return y * h;
      };
      for (int x = 0; x < image.Width(); ++x) {
        const double cy = strand_y(x + 0.5);
        // Distances are taken across the strand, so steep stretches keep their width.
        const double slope = strand_y(x + 1.5) - cy;
        const double across = 1 / std::sqrt(1 + slope * slope);
        const double reach = width * 12 / across;
        const int top = std::max(0, static_cast<int>(cy - reach));
        const int bottom = std::min(image.Height() - 1, static_cast<int>(cy + reach));
        for (int py = top; py <= bottom; ++py) {
          const double d = (py + 0.5 - cy) * across / width;
          const double light = std::exp(-d * d) * 0.7 + std::exp(-std::abs(d) / 4) * 0.06;
          image.Lighten(x, py, colour * light);
        }
      }
    }
  }
}

}  // namespace pictures
