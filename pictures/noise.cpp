#include "noise.h"

#include <cmath>

#include "color.h"

namespace pictures {
namespace {

std::uint32_t Hash(std::uint32_t x) {
  x ^= x >> 16;
  x *= 0x7feb352dU;
  x ^= x >> 15;
  x *= 0x846ca68bU;
  x ^= x >> 16;
  return x;
}

std::uint32_t Hash(std::int64_t i, std::uint32_t salt) {
  return Hash(static_cast<std::uint32_t>(i) ^ salt);
}

std::uint32_t Salt(std::uint32_t seed) { return Hash(seed + 0x9e3779b9U); }

double Fade(double t) { return t * t * t * (t * (t * 6 - 15) + 10); }

// Sixteen evenly spread unit gradients.
constexpr double kGradients[16][2] = {
    {1.0, 0.0},  {0.92388, 0.382683},   {0.707107, 0.707107},   {0.382683, 0.92388},
    {0.0, 1.0},  {-0.382683, 0.92388},  {-0.707107, 0.707107},  {-0.92388, 0.382683},
    {-1.0, 0.0}, {-0.92388, -0.382683}, {-0.707107, -0.707107}, {-0.382683, -0.92388},
    {0.0, -1.0}, {0.382683, -0.92388},  {0.707107, -0.707107},  {0.92388, -0.382683}};

double Slope(std::uint32_t h, double dx, double dy) {
  const double* g = kGradients[h & 15U];
  return g[0] * dx + g[1] * dy;
}

}  // namespace

std::uint64_t Random::Next() {
  std::uint64_t z = (state_ += 0x9e3779b97f4a7c15ULL);
  z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
  z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
  return z ^ (z >> 31);
}

double Random::Uniform() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }

int Random::Below(int n) { return static_cast<int>(Uniform() * static_cast<double>(n)) % n; }

double Noise(double x, std::uint32_t seed) {
  const double fx = std::floor(x);
  const auto i = static_cast<std::int64_t>(fx);
  const double t = x - fx;
  const std::uint32_t salt = Hash(Salt(seed));
  const auto slope = [salt](std::int64_t k) {
    return static_cast<double>(Hash(k, salt) & 0xFFFFU) / 32767.5 - 1.0;
  };
  return 2.0 * Lerp(slope(i) * t, slope(i + 1) * (t - 1), Fade(t));
}

double Noise(double x, double y, std::uint32_t seed) {
  const double fx = std::floor(x);
  const double fy = std::floor(y);
  const auto i = static_cast<std::int64_t>(fx);
  const auto j = static_cast<std::int64_t>(fy);
  const double tx = x - fx;
  const double ty = y - fy;
  const std::uint32_t salt = Salt(seed);
  const std::uint32_t row0 = Hash(j, salt);
  const std::uint32_t row1 = Hash(j + 1, salt);
  const double n00 = Slope(Hash(i, row0), tx, ty);
  const double n10 = Slope(Hash(i + 1, row0), tx - 1, ty);
  const double n01 = Slope(Hash(i, row1), tx, ty - 1);
  const double n11 = Slope(Hash(i + 1, row1), tx - 1, ty - 1);
  const double u = Fade(tx);
  return 1.4 * Lerp(Lerp(n00, n10, u), Lerp(n01, n11, u), Fade(ty));
}

double Fbm(double x, std::uint32_t seed, int octaves, double gain) {
  double sum = 0;
  double amplitude = 1;
  double total = 0;
  for (int o = 0; o < octaves; ++o) {
    sum += amplitude * Noise(x, seed + static_cast<std::uint32_t>(o) * 101U);
    total += amplitude;
    amplitude *= gain;
    x *= 2.03;
  }
  return sum / total;
}

double Fbm(double x, double y, std::uint32_t seed, int octaves, double gain) {
  double sum = 0;
  double amplitude = 1;
  double total = 0;
  for (int o = 0; o < octaves; ++o) {
    sum += amplitude * Noise(x, y, seed + static_cast<std::uint32_t>(o) * 101U);
    total += amplitude;
    amplitude *= gain;
    // A slight rotation between octaves keeps the lattice from showing.
    const double nx = 1.6 * x + 1.2 * y;
    y = -1.2 * x + 1.6 * y;
    x = nx;
  }
  return sum / total;
}

double RidgedFbm(double x, std::uint32_t seed, int octaves, double gain) {
  double sum = 0;
  double amplitude = 1;
  double total = 0;
  for (int o = 0; o < octaves; ++o) {
    sum += amplitude * (1 - std::abs(Noise(x, seed + static_cast<std::uint32_t>(o) * 101U)));
    total += amplitude;
    amplitude *= gain;
    x *= 2.03;
  }
  return sum / total;
}

}  // namespace pictures
