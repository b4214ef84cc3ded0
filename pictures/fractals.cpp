#include "fractals.h"

#include <cmath>
#include <complex>
#include <vector>

namespace pictures {
namespace {

using Complex = std::complex<double>;

// Fractal edges are all detail, and one sample per pixel turns them into noise. Every pixel
// gets one sample at its centre; those that differ from a neighbour get four more on a rotated
// grid, so flat areas (and the costly inside of the set) are computed only once.
constexpr double kSubpixels[4][2] = {
    {0.375, 0.125}, {0.875, 0.375}, {0.125, 0.625}, {0.625, 0.875}};
constexpr double kEdgeContrast = 0.04;

double Difference(Color a, Color b) {
  return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
}

template <typename ColourAt>
void Render(Image& image, const FractalView& view, ColourAt&& colour_at) {
  const int width = image.Width();
  const int height = image.Height();
  const double scale = view.span / height;
  const double left = view.centre_re - 0.5 * width * scale;
  const double top = view.centre_im + 0.5 * view.span;
  const auto sample = [&](double x, double y) {
    return colour_at(Complex(left + x * scale, top - y * scale));
  };
  std::vector<Color> centres(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  const auto at = [&](int x, int y) -> Color& {
    return centres[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                   static_cast<std::size_t>(x)];
  };
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) at(x, y) = sample(x + 0.5, y + 0.5);
  }
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const Color centre = at(x, y);
      double contrast = 0;
      if (x > 0) contrast = std::max(contrast, Difference(centre, at(x - 1, y)));
      if (x + 1 < width) contrast = std::max(contrast, Difference(centre, at(x + 1, y)));
      if (y > 0) contrast = std::max(contrast, Difference(centre, at(x, y - 1)));
      if (y + 1 < height) contrast = std::max(contrast, Difference(centre, at(x, y + 1)));
      if (contrast < kEdgeContrast) {
        image.Set(x, y, centre);
        continue;
      }
      Color sum = centre;
      for (const auto& [dx, dy] : kSubpixels) sum = sum + sample(x + dx, y + dy);
      image.Set(x, y, sum * 0.2);
    }
  }
}

constexpr double kEscape = 256.0;

// The colour of an orbit that escaped after n steps at z: smooth across iteration bands.
Color Escaped(const FractalView& view, int n, Complex z) {
  const double smooth = n + 1 - std::log2(std::log(std::abs(z)));
  return view.palette.At(view.density * std::log(smooth + 1));
}

bool InMainBulbs(Complex c) {
  const double x = c.real() - 0.25;
  const double y2 = c.imag() * c.imag();
  const double q = x * x + y2;
  const bool cardioid = q * (q + x) <= 0.25 * y2;
  const bool period_two = (c.real() + 1) * (c.real() + 1) + y2 <= 0.0625;
  return cardioid || period_two;
}

}  // namespace

void PaintMandelbrot(Image& image, const FractalView& view) {
  Render(image, view, [&](Complex c) {
    if (InMainBulbs(c)) return view.inside;
    Complex z = 0;
    for (int n = 0; n < view.iterations; ++n) {
      z = z * z + c;
      if (std::norm(z) > kEscape * kEscape) return Escaped(view, n, z);
    }
    return view.inside;
  });
}

void PaintJulia(Image& image, const FractalView& view, double c_re, double c_im) {
  const Complex c(c_re, c_im);
  Render(image, view, [&](Complex z) {
    for (int n = 0; n < view.iterations; ++n) {
      z = z * z + c;
      if (std::norm(z) > kEscape * kEscape) return Escaped(view, n, z);
    }
    // Inside, a soft shading by where the orbit settled keeps the set from being a flat hole.
    return view.inside * (0.6 + 0.4 * std::cos(std::arg(z)));
  });
}

void PaintNewton(Image& image, const FractalView& view) {
  Render(image, view, [&](Complex z) {
    for (int n = 0; n < view.iterations; ++n) {
      const Complex z2 = z * z;
      if (std::norm(z2) < 1e-18) break;
      const Complex step = (z2 * z - 1.0) / (3.0 * z2);
      z -= step;
      const double moved = std::abs(step);
      if (moved < 1e-6) {
        // Which cube root of unity caught the orbit picks the hue; how long it took, and how
        // close the last step came, shade it smoothly.
        const double root = std::round(std::arg(z) / (2 * kPi / 3));
        const double settle = n - std::log2(-std::log(moved) / 13.8);
        const Color hue = view.palette.At(root / 3.0);
        return hue * std::exp(-view.density * settle);
      }
    }
    return view.inside;
  });
}

}  // namespace pictures
