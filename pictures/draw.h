#pragma once
// Anti-aliased shapes painted over what is already there. Edges are soft over about one pixel:
// coverage comes from the distance to the outline rather than from extra samples, which keeps
// the 24-megapixel pictures quick to make.
#include <algorithm>
#include <cmath>

#include "image.h"

namespace pictures {

struct Point {
  double x = 0;
  double y = 0;
};

// Calls visit(x, y, centre_x, centre_y) for every pixel of the image that the box
// [x0, x1] x [y0, y1] touches.
template <typename Visit>
void ForEachPixelIn(const Image& image, double x0, double y0, double x1, double y1, Visit&& visit) {
  const int left = std::max(0, static_cast<int>(std::floor(x0)));
  const int top = std::max(0, static_cast<int>(std::floor(y0)));
  const int right = std::min(image.Width() - 1, static_cast<int>(std::ceil(x1)));
  const int bottom = std::min(image.Height() - 1, static_cast<int>(std::ceil(y1)));
  for (int y = top; y <= bottom; ++y) {
    for (int x = left; x <= right; ++x) visit(x, y, x + 0.5, y + 0.5);
  }
}

// How much of a pixel a shape covers, given the signed distance from the pixel's centre to the
// outline (negative inside) and the width of the soft edge in pixels.
inline double Coverage(double signed_distance, double feather = 1.0) {
  return Clamp01(0.5 - signed_distance / feather);
}

void FillDisc(Image& image, Point centre, double radius, Color colour, double alpha = 1.0,
              double feather = 1.0);
void FillEllipse(Image& image, Point centre, double radius_x, double radius_y, double angle,
                 Color colour, double alpha = 1.0);
// A round glow whose light falls off as a Gaussian of the given radius, screened onto the image.
void Glow(Image& image, Point centre, double radius, Color light);
// A stroke from a to b whose half-width goes from width_a to width_b, with round ends.
void Stroke(Image& image, Point a, Point b, double width_a, double width_b, Color colour,
            double alpha = 1.0);

}  // namespace pictures
