#pragma once
// Seeded randomness. Every picture draws from its own fixed seed, so the generator makes the
// same bytes on every run; nothing here reads the clock or the standard library's engines, whose
// sequences may differ between library versions.
#include <cstdint>

namespace pictures {

class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next();
  // Uniform in [0, 1).
  double Uniform();
  double Uniform(double low, double high) { return low + (high - low) * Uniform(); }
  // Uniform integer in [0, n).
  int Below(int n);
  bool Chance(double p) { return Uniform() < p; }

 private:
  std::uint64_t state_;
};

// Smooth gradient noise in about [-1, 1], different for every seed.
double Noise(double x, std::uint32_t seed);
double Noise(double x, double y, std::uint32_t seed);

// Sums of octaves, each twice the frequency and `gain` times the amplitude of the last,
// normalised back to about [-1, 1].
double Fbm(double x, std::uint32_t seed, int octaves, double gain = 0.5);
double Fbm(double x, double y, std::uint32_t seed, int octaves, double gain = 0.5);
// Like Fbm, but of 1 - |noise|: sharp crests, as on eroded ridges. In about [0, 1].
double RidgedFbm(double x, std::uint32_t seed, int octaves, double gain = 0.5);

}  // namespace pictures
