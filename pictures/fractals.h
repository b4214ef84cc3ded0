#pragma once
// Escape-time fractals in rich cyclic palettes: views into the Mandelbrot set, Julia sets, and
// the basins of Newton's method for z³ = 1.
#include "color.h"
#include "image.h"

namespace pictures {

struct FractalView {
  double centre_re;
  double centre_im;
  double span;  // the height of the view in the complex plane; the width follows the picture
  int iterations;
  CosinePalette palette;
  double density;  // how fast the palette cycles with the escape time (Newton: how fast it darkens)
  Color inside;
};

void PaintMandelbrot(Image& image, const FractalView& view);
void PaintJulia(Image& image, const FractalView& view, double c_re, double c_im);
// The three basins take the palette at thirds of its cycle.
void PaintNewton(Image& image, const FractalView& view);

}  // namespace pictures
