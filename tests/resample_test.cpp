#include "platform/pictures/resample.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <functional>
#include <iomanip>
#include <memory>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/pictures/column_means.h"
#include "platform/pictures/orientation.h"
#include "platform/pictures/picture.h"
#include "platform/pictures/placed_frame.h"

namespace {

using platform::Bitmap;
using platform::PixelSize;

std::string Describe(PixelSize size) {
  return std::to_string(size.width) + "x" + std::to_string(size.height);
}

std::string Hex(std::uint32_t pixel) {
  std::ostringstream out;
  out << std::hex << std::setw(8) << std::setfill('0') << pixel;
  return out.str();
}

std::uint32_t Channel(std::uint32_t pixel, int channel) { return pixel >> (8 * channel) & 0xFF; }

// A picture held in memory, handed over in strips of a chosen height; it records how it was read.
class MemoryPicture : public platform::RowSource {
 public:
  MemoryPicture(PixelSize size, std::vector<std::uint32_t> pixels, int stripRows = 16)
      : size_(size), pixels_(std::move(pixels)), stripRows_(stripRows) {}

  [[nodiscard]] PixelSize size() const override { return size_; }
  void ReadRows(const platform::RowSink& sink) override {
    ++reads;
    for (int row = 0; row < size_.height; row += stripRows_) {
      const int count = std::min(stripRows_, size_.height - row);
      sink(row, count,
           &pixels_[static_cast<std::size_t>(row) * static_cast<std::size_t>(size_.width)]);
    }
  }

  int reads = 0;

 private:
  PixelSize size_;
  std::vector<std::uint32_t> pixels_;
  int stripRows_;
};

std::vector<std::uint32_t> Flat(PixelSize size, std::uint32_t pixel) {
  return std::vector<std::uint32_t>(static_cast<std::size_t>(size.width) * size.height, pixel);
}

// Opaque noise, or premultiplied noise with alpha of its own.
std::vector<std::uint32_t> Noise(PixelSize size, bool translucent, unsigned seed = 7) {
  std::mt19937 random(seed);
  const auto upTo = [&](std::uint32_t most) {
    return static_cast<std::uint32_t>(random() % (most + 1));
  };
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(size.width) * size.height);
  for (auto& pixel : pixels) {
    const std::uint32_t alpha = translucent ? upTo(255) : 255;
    pixel = alpha << 24;
    for (int c = 0; c < 3; ++c) pixel |= upTo(alpha) << (8 * c);
  }
  return pixels;
}

// The exact area mean of each target pixel, worked out directly in two dimensions in doubles:
// the overlap of every source pixel with the target pixel's rectangle, in source pixels.
double ExactMean(PixelSize from, const std::vector<std::uint32_t>& pixels, PixelSize to, int x,
                 int y, int channel) {
  const double sx = double(from.width) / to.width, sy = double(from.height) / to.height;
  const double left = x * sx, right = (x + 1) * sx, top = y * sy, bottom = (y + 1) * sy;
  double sum = 0;
  for (int j = int(top); j < from.height && j < bottom; ++j) {
    const double dy = std::min<double>(j + 1, bottom) - std::max<double>(j, top);
    for (int i = int(left); i < from.width && i < right; ++i) {
      const double dx = std::min<double>(i + 1, right) - std::max<double>(i, left);
      sum += dx * dy * Channel(pixels[std::size_t(j) * from.width + i], channel);
    }
  }
  return sum / (sx * sy);
}

TEST(Resample, SameSizeIsACopy) {
  const PixelSize size{37, 23};
  const auto pixels = Noise(size, true);
  MemoryPicture picture(size, pixels, 5);
  const Bitmap result = picture.Render(size);
  EXPECT_EQ(result.size, size);
  EXPECT_TRUE(result.pixels == pixels) << "identity changed pixels";
  EXPECT_EQ(picture.reads, 1);
}

TEST(Resample, HalvingAveragesEachTwoByTwoBlockExactly) {
  // Sums chosen to land on .0, .25, .5 and .75: a half rounds up, a quarter rounds down.
  const std::vector<std::uint32_t> pixels = {
      0xFF000000, 0xFF010101, 0x80102030, 0x80102031,  //
      0xFF010101, 0xFF010101, 0x80102030, 0x80102030,  //
      0x00000000, 0x00000000, 0xFFFFFFFF, 0xFFFEFDFC,  //
      0x02000000, 0x00000000, 0xFFFFFFFF, 0xFFFFFFFF,
  };
  const std::vector<std::uint32_t> expected = {0xFF010101, 0x80102030, 0x01000000, 0xFFFFFFFE};
  MemoryPicture picture({4, 4}, pixels, 3);
  const Bitmap result = picture.Render({2, 2});
  ASSERT_EQ(result.pixels.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(Hex(result.pixels[i]), Hex(expected[i])) << "target pixel " << i;
  }
}

TEST(Resample, AFlatColourStaysExactlyThatColourAtAnyRatio) {
  const PixelSize sizes[][2] = {
      {{7, 5}, {3, 2}},         {{1000, 3}, {7, 1}},      {{3, 3}, {2, 2}},
      {{640, 480}, {333, 250}}, {{6000, 4}, {1619, 1}},   {{1, 1}, {4, 3}},
      {{5, 5}, {7, 9}},         {{3, 7}, {10, 2}},        {{2, 1000}, {1, 999}},
      {{4000, 3}, {1920, 3}},   {{40000, 1}, {33001, 1}},
  };
  for (const std::uint32_t colour : {0xFF4080C0u, 0x80402010u, 0xFFFFFFFFu, 0x01010101u}) {
    for (const auto& [from, to] : sizes) {
      MemoryPicture picture(from, Flat(from, colour));
      const Bitmap result = picture.Render(to);
      ASSERT_EQ(result.size, to);
      const auto wrong = std::find_if(result.pixels.begin(), result.pixels.end(),
                                      [&](std::uint32_t p) { return p != colour; });
      EXPECT_TRUE(wrong == result.pixels.end())
          << Describe(from) << " -> " << Describe(to) << ": got " << Hex(*wrong) << ", expected "
          << Hex(colour) << " at " << (wrong - result.pixels.begin());
    }
  }
}

TEST(Resample, EveryPixelIsTheRoundedAreaMean) {
  struct Case {
    PixelSize from, to;
    // How far past the exact half a rounding may go: float sums at an exact half, or weights
    // rounded to 1/16384ths where both widths pass 16 bits.
    double slack = 1e-4;
  };
  const Case cases[] = {
      {{9, 6}, {3, 1}},   {{10, 7}, {1, 1}},    {{17, 13}, {5, 4}},
      {{13, 17}, {4, 5}}, {{50, 3}, {7, 3}},    {{3, 50}, {3, 7}},
      {{8, 8}, {3, 3}},   {{31, 1}, {4, 1}},    {{2, 2}, {3, 3}},
      {{3, 2}, {8, 5}},   {{20, 15}, {16, 12}}, {{5, 4}, {5, 3}},
      {{5, 3}, {1, 2}},   {{1, 3}, {3, 1}},     {{40000, 2}, {33001, 1}, 1.0 / 32},
  };
  for (const bool translucent : {false, true}) {
    for (const auto& [from, to, slack] : cases) {
      const auto pixels = Noise(from, translucent);
      MemoryPicture picture(from, pixels, 4);
      const Bitmap result = picture.Render(to);
      ASSERT_EQ(result.size, to);
      int wrong = 0;
      for (int y = 0; y < to.height; ++y) {
        for (int x = 0; x < to.width; ++x) {
          const std::uint32_t got = result.pixels[std::size_t(y) * to.width + x];
          for (int c = 0; c < 4; ++c) {
            const double exact = ExactMean(from, pixels, to, x, y, c);
            if (std::abs(Channel(got, c) - exact) <= 0.5 + slack) continue;
            if (++wrong <= 3) {
              ADD_FAILURE() << Describe(from) << " -> " << Describe(to) << " at " << x << "," << y
                            << " channel " << c << ": got " << Channel(got, c) << ", expected "
                            << exact << " rounded";
            }
          }
          EXPECT_LE(std::max({Channel(got, 0), Channel(got, 1), Channel(got, 2)}), Channel(got, 3))
              << "colour above alpha at " << x << "," << y << ": " << Hex(got);
        }
      }
    }
  }
}

// The column pass four pixels at a time against its plain arithmetic, bit for bit: two to eight
// taps unrolled, more in a loop with a pair left over or none, rows narrower than the taps,
// enlargements and weights rounded to 1/16384ths.
TEST(Resample, TheFastColumnPassMatchesThePlainOneBitForBit) {
  const std::pair<int, int> widths[] = {
      {4000, 1440}, {6000, 1080}, {9, 4}, {17, 5}, {13, 2}, {23, 2},
      {19, 2},      {1000, 9},    {3, 1}, {1, 3},  {2, 7},  {40000, 33001},
  };
  for (const auto& [from, to] : widths) {
    const auto row = Noise({from, 1}, true, static_cast<unsigned>(from));
    for (const bool next : {false, true}) {
      const auto size = static_cast<std::size_t>(to) * 4;
      std::vector<float> fast(size, 0.25F), plain(fast), fastNext(size), plainNext(size);
      platform::ColumnMeans columns(from, to);
      columns.Add(row.data(), 0.375F, fast.data(), 0.6F, next ? fastNext.data() : nullptr);
      columns.AddOneByOne(row.data(), 0.375F, plain.data(), 0.6F,
                          next ? plainNext.data() : nullptr);
      fast.insert(fast.end(), fastNext.begin(), fastNext.end());
      plain.insert(plain.end(), plainNext.begin(), plainNext.end());
      const auto differs =
          std::mismatch(fast.begin(), fast.end(), plain.begin(), [](float a, float b) {
            return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b);
          });
      EXPECT_TRUE(differs.first == fast.end())
          << from << " -> " << to << (next ? " with" : " without") << " a next row: float "
          << differs.first - fast.begin() << " is " << *differs.first << ", plainly "
          << *differs.second;
    }
  }
}

TEST(Resample, EnlargingRepeatsPixelsAndBlendsWhereTheyMeet) {
  struct Case {
    PixelSize from, to;
    std::vector<std::uint32_t> pixels, expected;
  };
  const Case cases[] = {
      {{2, 1}, {4, 1}, {0xFF000000, 0xFFFFFFFF}, {0xFF000000, 0xFF000000, 0xFFFFFFFF, 0xFFFFFFFF}},
      {{2, 1}, {3, 1}, {0xFF000000, 0xFFFFFFFF}, {0xFF000000, 0xFF808080, 0xFFFFFFFF}},
      {{1, 2},
       {1, 5},
       {0xFF000000, 0xFF0000FF},
       {0xFF000000, 0xFF000000, 0xFF000080, 0xFF0000FF, 0xFF0000FF}},
  };
  for (const auto& c : cases) {
    MemoryPicture picture(c.from, c.pixels);
    const Bitmap result = picture.Render(c.to);
    std::string got, expected;
    for (auto p : result.pixels) got += Hex(p) + " ";
    for (auto p : c.expected) expected += Hex(p) + " ";
    EXPECT_EQ(got, expected) << Describe(c.from) << " -> " << Describe(c.to);
  }
}

TEST(Resample, TheStripHeightDoesNotChangeTheResult) {
  const PixelSize from{61, 47};
  const auto pixels = Noise(from, true);
  for (const PixelSize to :
       {PixelSize{20, 15}, PixelSize{61, 10}, PixelSize{7, 47}, from, PixelSize{90, 70}}) {
    MemoryPicture whole(from, pixels, from.height);
    const Bitmap reference = whole.Render(to);
    for (const int stripRows : {1, 2, 3, 7, 32, 46}) {
      MemoryPicture picture(from, pixels, stripRows);
      EXPECT_TRUE(picture.Render(to).pixels == reference.pixels)
          << Describe(from) << " -> " << Describe(to) << " in strips of " << stripRows;
    }
  }
}

TEST(Resample, AnEmptyTargetReadsNothing) {
  MemoryPicture picture({4, 4}, Flat({4, 4}, 0xFFFFFFFF));
  for (const PixelSize to : {PixelSize{0, 3}, PixelSize{3, 0}}) {
    const Bitmap result = picture.Render(to);
    EXPECT_EQ(result.size, to);
    EXPECT_TRUE(result.pixels.empty()) << Describe(to);
  }
  EXPECT_EQ(picture.reads, 0);

  // A picture shown at no size releases its source, and so its file, at once and unread.
  struct Watched : MemoryPicture {
    explicit Watched(bool& gone) : MemoryPicture({4, 4}, Flat({4, 4}, 0xFFFFFFFF)), gone_(gone) {}
    ~Watched() override { gone_ = true; }
    bool& gone_;
  };
  bool gone = false;
  platform::Picture shown(std::make_unique<Watched>(gone));
  shown.Render({0, 3});
  EXPECT_TRUE(gone);
  EXPECT_EQ(shown.Rendered(), nullptr);
}

// A destroyed picture's buffer is reused by the next one's bitmap; nothing of the old picture
// shows where the new one's rows fall short, as a cut file's do.
TEST(Resample, TheNextPictureReusesTheLastOnesBufferWithNothingOfItsPixels) {
  constexpr std::uint32_t kGrey = 0xFF808080;
  struct CutShort : platform::RowSource {
    [[nodiscard]] PixelSize size() const override { return {8, 8}; }
    void ReadRows(const platform::RowSink& sink) override {
      sink(0, 4, Flat({8, 4}, kGrey).data());
    }
  };
  const std::uint32_t* buffer = nullptr;
  {
    platform::Picture last(std::make_unique<MemoryPicture>(PixelSize{8, 8}, Flat({8, 8}, ~0U)));
    last.Render({8, 8});
    buffer = last.Rendered()->pixels.data();
  }
  for (const PixelSize at : {PixelSize{8, 8}, PixelSize{4, 4}}) {
    platform::Picture next(std::make_unique<CutShort>());
    next.Render(at);
    const platform::PixelBuffer& pixels = next.Rendered()->pixels;
    EXPECT_EQ(pixels.data(), buffer) << Describe(at);
    const std::size_t half = pixels.size() / 2;
    EXPECT_TRUE(std::all_of(pixels.begin(), pixels.begin() + half, [](std::uint32_t p) {
      return p == kGrey;
    })) << Describe(at);
    EXPECT_TRUE(std::all_of(pixels.begin() + half, pixels.end(), [](std::uint32_t p) {
      return p == 0;
    })) << Describe(at);
  }
}

// A photo stored turned takes two bitmaps, the one made as stored and the upright one: shown one
// after another, such photos reuse the same two buffers. An upright picture after them takes one,
// and the other is freed rather than held for the rest of the show.
TEST(Resample, TurnedPhotosReuseTwoBuffersAndAnUprightOneAfterThemKeepsOne) {
  // Larger than any bitmap before: no buffer kept by another test fits.
  constexpr PixelSize kShown{40, 60};
  constexpr std::size_t kPixels = 2400;
  struct Turned : MemoryPicture {
    Turned() : MemoryPicture({60, 40}, Flat({60, 40}, 0xFF336699)) {}
    [[nodiscard]] platform::Orientation orientation() const override {
      return platform::Orientation::Rotate90;
    }
  };
  std::set<const std::uint32_t*> shownIn;
  for (int photo = 0; photo < 4; ++photo) {
    platform::Picture turned(std::make_unique<Turned>());
    turned.Render(kShown);
    shownIn.insert(turned.Rendered()->pixels.data());
  }
  EXPECT_EQ(shownIn.size(), 2u);

  platform::Picture(std::make_unique<MemoryPicture>(kShown, Flat(kShown, 0))).Render(kShown);
  // A second buffer still kept would be reused by the second of two small bitmaps.
  const std::vector<std::uint32_t> first = platform::BitmapBuffer(1),
                                   second = platform::BitmapBuffer(1);
  EXPECT_EQ(first.capacity(), kPixels) << "the upright picture's buffer, kept";
  EXPECT_EQ(second.capacity(), 1u) << "the turned photos' second buffer, not freed";
}

// A GIF's first frame on its logical screen: the frame at its offset, black all around, read in
// strips of any height.
TEST(Resample, AFramePlacedOnALargerPictureHasBlackAroundIt) {
  constexpr std::uint32_t W = 0xFFFFFFFF, K = 0;
  for (const int stripRows : {1, 2, 16}) {
    auto frame = std::make_unique<MemoryPicture>(PixelSize{2, 2}, Flat({2, 2}, W), stripRows);
    const auto placed = platform::PlaceFrame(std::move(frame), {4, 3}, {1, 1});
    EXPECT_EQ(Describe(placed->size()), "4x3");
    EXPECT_EQ(placed->Render({4, 3}).pixels,
              (std::vector<std::uint32_t>{K, K, K, K, K, W, W, K, K, W, W, K}))
        << "strips of " << stripRows;
  }
}

// Every EXIF orientation on a picture with no symmetry: each pixel lands where a photo viewer
// shows it.
TEST(Resample, OrientationsTurnAndMirrorTheResult) {
  // a b c
  // d e f
  enum : std::uint32_t { a = 1, b, c, d, e, f };
  const Bitmap stored{{3, 2}, std::vector<std::uint32_t>{a, b, c, d, e, f}};
  struct Case {
    platform::Orientation orientation;
    PixelSize size;
    std::vector<std::uint32_t> pixels;
  };
  using enum platform::Orientation;
  const Case cases[] = {
      {Normal, {3, 2}, {a, b, c, d, e, f}},     {MirrorHorizontal, {3, 2}, {c, b, a, f, e, d}},
      {Rotate180, {3, 2}, {f, e, d, c, b, a}},  {MirrorVertical, {3, 2}, {d, e, f, a, b, c}},
      {Transpose, {2, 3}, {a, d, b, e, c, f}},  {Rotate90, {2, 3}, {d, a, e, b, f, c}},
      {Transverse, {2, 3}, {f, c, e, b, d, a}}, {Rotate270, {2, 3}, {c, f, b, e, a, d}},
  };
  for (const Case& c : cases) {
    const Bitmap upright = platform::Orient(stored, c.orientation);
    EXPECT_EQ(Describe(upright.size), Describe(c.size)) << int(c.orientation);
    EXPECT_EQ(upright.pixels, c.pixels) << "orientation " << int(c.orientation);
  }
}

}  // namespace
