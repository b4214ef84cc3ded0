#include "quantise.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <limits>
#include <optional>

namespace pictures {
namespace {

constexpr std::size_t kMaxColours = 256;

std::uint32_t Pack(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) << 16 | static_cast<std::uint32_t>(p[1]) << 8 | p[2];
}

Rgb8 Unpack(std::uint32_t c) {
  return {static_cast<std::uint8_t>(c >> 16), static_cast<std::uint8_t>(c >> 8),
          static_cast<std::uint8_t>(c)};
}

template <typename Visit>
void ForEachPixel(const Image& image, Visit&& visit) {
  for (int y = 0; y < image.Height(); ++y) {
    const std::uint8_t* row = image.Row(y);
    for (int x = 0; x < image.Width(); ++x) visit(x, y, row + 3 * x);
  }
}

// The image's distinct colours in increasing order, or nothing when there are too many.
std::optional<std::vector<std::uint32_t>> DistinctColours(const Image& image) {
  std::vector<bool> seen(1U << 24);
  std::vector<std::uint32_t> colours;
  bool too_many = false;
  ForEachPixel(image, [&](int, int, const std::uint8_t* p) {
    const std::uint32_t c = Pack(p);
    if (too_many || seen[c]) return;
    seen[c] = true;
    colours.push_back(c);
    too_many = colours.size() > kMaxColours;
  });
  if (too_many) return std::nullopt;
  std::sort(colours.begin(), colours.end());
  return colours;
}

IndexedImage Blank(const Image& image) {
  IndexedImage out;
  out.width = image.Width();
  out.height = image.Height();
  out.indices.resize(static_cast<std::size_t>(out.width) * static_cast<std::size_t>(out.height));
  return out;
}

IndexedImage MapExactly(const Image& image, const std::vector<std::uint32_t>& colours) {
  IndexedImage out = Blank(image);
  for (const std::uint32_t c : colours) out.palette.push_back(Unpack(c));
  std::size_t i = 0;
  ForEachPixel(image, [&](int, int, const std::uint8_t* p) {
    const auto at = std::lower_bound(colours.begin(), colours.end(), Pack(p));
    out.indices[i++] = static_cast<std::uint8_t>(at - colours.begin());
  });
  return out;
}

// Median cut over a 5-bit-per-channel histogram.
struct Bin {
  int key = 0;  // r << 10 | g << 5 | b, 5 bits each
  double count = 0;
  std::array<double, 3> sum{};
  [[nodiscard]] int Channel(int c) const { return (key >> (10 - 5 * c)) & 31; }
};

struct Box {
  std::vector<Bin> bins;
  [[nodiscard]] double Count() const {
    double n = 0;
    for (const Bin& b : bins) n += b.count;
    return n;
  }
  // The channel with the widest spread and that spread.
  [[nodiscard]] std::pair<int, int> Widest() const {
    std::pair<int, int> widest{0, -1};
    for (int c = 0; c < 3; ++c) {
      const auto [lo, hi] = std::minmax_element(
          bins.begin(), bins.end(),
          [c](const Bin& a, const Bin& b) { return a.Channel(c) < b.Channel(c); });
      const int spread = hi->Channel(c) - lo->Channel(c);
      if (spread > widest.second) widest = {c, spread};
    }
    return widest;
  }
  [[nodiscard]] Rgb8 Mean() const {
    std::array<double, 3> sum{};
    for (const Bin& b : bins) {
      for (std::size_t c = 0; c < 3; ++c) sum[c] += b.sum[c];
    }
    const double n = Count();
    const auto channel = [&](std::size_t c) {
      return static_cast<std::uint8_t>(std::clamp(sum[c] / n + 0.5, 0.0, 255.0));
    };
    return {channel(0), channel(1), channel(2)};
  }
};

std::vector<Rgb8> MedianCutPalette(const Image& image, std::size_t max_colours) {
  std::vector<Bin> histogram(1U << 15);
  for (std::size_t k = 0; k < histogram.size(); ++k) histogram[k].key = static_cast<int>(k);
  ForEachPixel(image, [&](int, int, const std::uint8_t* p) {
    Bin& bin =
        histogram[static_cast<std::size_t>((p[0] >> 3) << 10 | (p[1] >> 3) << 5 | (p[2] >> 3))];
    bin.count += 1;
    for (std::size_t c = 0; c < 3; ++c) bin.sum[c] += p[c];
  });
  std::vector<Box> boxes(1);
  std::copy_if(histogram.begin(), histogram.end(), std::back_inserter(boxes[0].bins),
               [](const Bin& b) { return b.count > 0; });
  while (boxes.size() < max_colours) {
    // Split where many pixels share a wide range: that is where banding would show.
    auto best = boxes.end();
    double best_score = 0;
    for (auto box = boxes.begin(); box != boxes.end(); ++box) {
      const double score = box->Count() * box->Widest().second;
      if (score > best_score) {
        best_score = score;
        best = box;
      }
    }
    if (best == boxes.end()) break;
    const int channel = best->Widest().first;
    std::sort(best->bins.begin(), best->bins.end(), [channel](const Bin& a, const Bin& b) {
      return a.Channel(channel) < b.Channel(channel) ||
             (a.Channel(channel) == b.Channel(channel) && a.key < b.key);
    });
    const double half = best->Count() / 2;
    double running = 0;
    std::size_t cut = 0;
    while (cut + 1 < best->bins.size() && running + best->bins[cut].count < half) {
      running += best->bins[cut++].count;
    }
    cut = std::max<std::size_t>(cut, 1);
    Box upper{{best->bins.begin() + static_cast<std::ptrdiff_t>(cut), best->bins.end()}};
    best->bins.resize(cut);
    boxes.push_back(std::move(upper));
  }
  std::vector<Rgb8> palette;
  for (const Box& box : boxes) palette.push_back(box.Mean());
  return palette;
}

// 8x8 Bayer thresholds, 0..63.
constexpr std::array<std::array<int, 8>, 8> kBayer8 = {{{0, 32, 8, 40, 2, 34, 10, 42},
                                                        {48, 16, 56, 24, 50, 18, 58, 26},
                                                        {12, 44, 4, 36, 14, 46, 6, 38},
                                                        {60, 28, 52, 20, 62, 30, 54, 22},
                                                        {3, 35, 11, 43, 1, 33, 9, 41},
                                                        {51, 19, 59, 27, 49, 17, 57, 25},
                                                        {15, 47, 7, 39, 13, 45, 5, 37},
                                                        {63, 31, 55, 23, 61, 29, 53, 21}}};

// About the distance between neighbouring palette colours in a smooth gradient.
constexpr double kDitherSpread = 14.0;

// The nearest palette entry for each 6-bit-per-channel cell, found on first use.
class NearestColour {
 public:
  explicit NearestColour(const std::vector<Rgb8>& palette)
      : palette_(palette), nearest_(1U << 18, -1) {}

  int operator()(int r, int g, int b) {
    const int cell = (r >> 2) << 12 | (g >> 2) << 6 | (b >> 2);
    int& found = nearest_[static_cast<std::size_t>(cell)];
    if (found < 0) found = Search(((r >> 2) << 2) + 2, ((g >> 2) << 2) + 2, ((b >> 2) << 2) + 2);
    return found;
  }

 private:
  [[nodiscard]] int Search(int r, int g, int b) const {
    int best = 0;
    int best_d = std::numeric_limits<int>::max();
    for (std::size_t i = 0; i < palette_.size(); ++i) {
      const int dr = r - palette_[i].r;
      const int dg = g - palette_[i].g;
      const int db = b - palette_[i].b;
      const int d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
      if (d < best_d) {
        best_d = d;
        best = static_cast<int>(i);
      }
    }
    return best;
  }

  const std::vector<Rgb8>& palette_;
  std::vector<int> nearest_;
};

IndexedImage MapWithDither(const Image& image, std::vector<Rgb8> palette) {
  IndexedImage out = Blank(image);
  NearestColour nearest(palette);
  std::size_t i = 0;
  ForEachPixel(image, [&](int x, int y, const std::uint8_t* p) {
    const double offset =
        (kBayer8[static_cast<std::size_t>(y & 7)][static_cast<std::size_t>(x & 7)] + 0.5) / 64.0 -
        0.5;
    const auto channel = [&](int c) {
      return std::clamp(static_cast<int>(std::lround(p[c] + offset * kDitherSpread)), 0, 255);
    };
    out.indices[i++] = static_cast<std::uint8_t>(nearest(channel(0), channel(1), channel(2)));
  });
  out.palette = std::move(palette);
  return out;
}

}  // namespace

IndexedImage Quantise(const Image& image) {
  if (const auto colours = DistinctColours(image)) return MapExactly(image, *colours);
  return MapWithDither(image, MedianCutPalette(image, kMaxColours));
}

void Posterise(Image& image, int colours) {
  const std::vector<Rgb8> palette = MedianCutPalette(image, static_cast<std::size_t>(colours));
  NearestColour nearest(palette);
  ForEachPixel(image, [&](int x, int y, const std::uint8_t* p) {
    const Rgb8 c = palette[static_cast<std::size_t>(nearest(p[0], p[1], p[2]))];
    image.Set(x, y, {c.r / 255.0, c.g / 255.0, c.b / 255.0});
  });
}

}  // namespace pictures
