#include "draw.h"

namespace pictures {

void FillDisc(Image& image, Point centre, double radius, Color colour, double alpha,
              double feather) {
  const double reach = radius + feather;
  ForEachPixelIn(image, centre.x - reach, centre.y - reach, centre.x + reach, centre.y + reach,
                 [&](int x, int y, double px, double py) {
                   const double d = std::hypot(px - centre.x, py - centre.y) - radius;
                   image.Blend(x, y, colour, alpha * Coverage(d, feather));
                 });
}

void FillEllipse(Image& image, Point centre, double radius_x, double radius_y, double angle,
                 Color colour, double alpha) {
  const double c = std::cos(angle);
  const double s = std::sin(angle);
  const double reach = std::max(radius_x, radius_y) + 1;
  const double scale = std::min(radius_x, radius_y);
  ForEachPixelIn(image, centre.x - reach, centre.y - reach, centre.x + reach, centre.y + reach,
                 [&](int x, int y, double px, double py) {
                   const double u = ((px - centre.x) * c + (py - centre.y) * s) / radius_x;
                   const double v = (-(px - centre.x) * s + (py - centre.y) * c) / radius_y;
                   // Distance in units of the short radius: exact enough for a soft edge.
                   const double d = (std::hypot(u, v) - 1) * scale;
                   image.Blend(x, y, colour, alpha * Coverage(d));
                 });
}

void Glow(Image& image, Point centre, double radius, Color light) {
  const double reach = radius * 3;
  ForEachPixelIn(image, centre.x - reach, centre.y - reach, centre.x + reach, centre.y + reach,
                 [&](int x, int y, double px, double py) {
                   const double dx = (px - centre.x) / radius;
                   const double dy = (py - centre.y) / radius;
                   const double k = std::exp(-(dx * dx + dy * dy));
                   if (k > 1e-3) image.Lighten(x, y, light * k);
                 });
}

void Stroke(Image& image, Point a, Point b, double width_a, double width_b, Color colour,
            double alpha) {
  const double reach = std::max(width_a, width_b) + 1;
  const double dx = b.x - a.x;
  const double dy = b.y - a.y;
  const double length2 = std::max(dx * dx + dy * dy, 1e-12);
  ForEachPixelIn(image, std::min(a.x, b.x) - reach, std::min(a.y, b.y) - reach,
                 std::max(a.x, b.x) + reach, std::max(a.y, b.y) + reach,
                 [&](int x, int y, double px, double py) {
                   const double t = Clamp01(((px - a.x) * dx + (py - a.y) * dy) / length2);
                   const double d =
                       std::hypot(px - a.x - t * dx, py - a.y - t * dy) - Lerp(width_a, width_b, t);
                   image.Blend(x, y, colour, alpha * Coverage(d));
                 });
}

}  // namespace pictures
