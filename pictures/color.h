#pragma once
// Colours as scenes compute them: double-precision RGB, nominally in [0, 1], in the same gamma as
// the stored file (scenes are designed by eye, so no linear-light conversion is involved).
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <utility>
#include <vector>

namespace pictures {

inline constexpr double kPi = 3.14159265358979323846;

struct Color {
  double r = 0;
  double g = 0;
  double b = 0;
};

constexpr Color operator+(Color a, Color b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
constexpr Color operator-(Color a, Color b) { return {a.r - b.r, a.g - b.g, a.b - b.b}; }
constexpr Color operator*(Color a, double k) { return {a.r * k, a.g * k, a.b * k}; }
constexpr Color operator*(double k, Color a) { return a * k; }
constexpr Color operator*(Color a, Color b) { return {a.r * b.r, a.g * b.g, a.b * b.b}; }

// A colour written as 0xRRGGBB. Such colours survive storing unchanged (no dither).
constexpr Color Hex(std::uint32_t rgb) {
  return {static_cast<double>((rgb >> 16) & 0xFF) / 255.0,
          static_cast<double>((rgb >> 8) & 0xFF) / 255.0, static_cast<double>(rgb & 0xFF) / 255.0};
}

constexpr double Clamp01(double x) { return std::clamp(x, 0.0, 1.0); }
constexpr double Lerp(double a, double b, double t) { return a + (b - a) * t; }
constexpr Color Mix(Color a, Color b, double t) { return a + (b - a) * t; }

constexpr double Smoothstep(double edge0, double edge1, double x) {
  const double t = Clamp01((x - edge0) / (edge1 - edge0));
  return t * t * (3 - 2 * t);
}

inline double Fract(double x) { return x - std::floor(x); }

// Light added the way film takes it: bright on bright saturates softly instead of clipping.
inline Color Screen(Color base, Color light) {
  return {1 - (1 - Clamp01(base.r)) * (1 - Clamp01(light.r)),
          1 - (1 - Clamp01(base.g)) * (1 - Clamp01(light.g)),
          1 - (1 - Clamp01(base.b)) * (1 - Clamp01(light.b))};
}

// The cosine palettes of fractal colouring: a + b cos(2π (c t + d)), per channel.
struct CosinePalette {
  Color a, b, c, d;
  [[nodiscard]] Color At(double t) const {
    const auto channel = [t](double ai, double bi, double ci, double di) {
      return ai + bi * std::cos(2 * kPi * (ci * t + di));
    };
    return {channel(a.r, b.r, c.r, d.r), channel(a.g, b.g, c.g, d.g), channel(a.b, b.b, c.b, d.b)};
  }
};

// A piecewise-linear colour ramp over [0, 1] through stops given in increasing order.
class Gradient {
 public:
  Gradient(std::initializer_list<std::pair<double, Color>> stops) : stops_(stops) {}
  [[nodiscard]] Color At(double t) const {
    if (t <= stops_.front().first) return stops_.front().second;
    for (std::size_t i = 1; i < stops_.size(); ++i) {
      if (t <= stops_[i].first) {
        const auto& [t0, c0] = stops_[i - 1];
        const auto& [t1, c1] = stops_[i];
        return Mix(c0, c1, (t - t0) / (t1 - t0));
      }
    }
    return stops_.back().second;
  }

 private:
  std::vector<std::pair<double, Color>> stops_;
};

}  // namespace pictures
