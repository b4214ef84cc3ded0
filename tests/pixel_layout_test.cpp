// Widening the decoders' pixel layouts to premultiplied BGRA, into a row of its own and where the
// row lies, at every width up to two of the four-pixel groups and past them.
#include "platform/pictures/pixel_layout.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

using platform::PixelLayout;

std::uint32_t Word(std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
  return a << 24 | r << 16 | g << 8 | b;
}

std::uint32_t Premultiplied(std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
  const auto times = [a](std::uint32_t c) { return (c * a + 127) / 255; };
  return Word(a, times(r), times(g), times(b));
}

// The word pixel `i` of `bytes` stands for, read the slow way.
std::uint32_t Expected(PixelLayout layout, const std::vector<std::uint8_t>& bytes, std::size_t i) {
  const std::uint8_t* p = &bytes[i * platform::BytesPerPixel(layout)];
  const auto sixteen = [&](int at) {
    return (std::uint32_t(p[2 * at] | p[2 * at + 1] << 8) + 128) / 257;
  };
  switch (layout) {
    case PixelLayout::Bgr24:
    case PixelLayout::Bgrx32:
      return Word(255, p[2], p[1], p[0]);
    case PixelLayout::Gray8:
      return Word(255, p[0], p[0], p[0]);
    case PixelLayout::Bgra32:
      return Premultiplied(p[3], p[2], p[1], p[0]);
    case PixelLayout::Rgba64:
      return Premultiplied(sixteen(3), sixteen(0), sixteen(1), sixteen(2));
    case PixelLayout::Pbgra32:
      return Word(p[3], p[2], p[1], p[0]);
  }
  return 0;
}

TEST(PixelLayout, EveryLayoutWidensToTheSameWordsInPlaceOrApart) {
  for (const PixelLayout layout :
       {PixelLayout::Bgr24, PixelLayout::Gray8, PixelLayout::Bgrx32, PixelLayout::Bgra32,
        PixelLayout::Rgba64, PixelLayout::Pbgra32}) {
    const unsigned size = platform::BytesPerPixel(layout);
    for (std::size_t width : {1, 2, 3, 4, 5, 7, 8, 9, 12, 13, 37}) {
      std::vector<std::uint8_t> bytes(width * size);
      for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 37 + 11);
      SCOPED_TRACE(testing::Message() << "layout " << int(layout) << ", width " << width);

      std::vector<std::uint32_t> apart(width + 1, 0xDEADBEEF);
      platform::WidenRow(layout, bytes.data(), apart.data(), width);
      for (std::size_t i = 0; i < width; ++i) EXPECT_EQ(apart[i], Expected(layout, bytes, i)) << i;
      EXPECT_EQ(apart[width], 0xDEADBEEF) << "written past the row";
      if (size > 4) continue;

      // As the decoder leaves a row: its bytes at the start of a row of words.
      std::vector<std::uint32_t> row(width, 0xDEADBEEF);
      std::memcpy(row.data(), bytes.data(), bytes.size());
      platform::WidenRow(layout, reinterpret_cast<const std::uint8_t*>(row.data()), row.data(),
                         width);
      EXPECT_EQ(row, std::vector<std::uint32_t>(apart.begin(), apart.end() - 1));
    }
  }
}

}  // namespace
