#pragma once
// The 50 pictures that ship beside the saver: what each one shows, its size and its format.
// Sizes are chosen so that, on the common screens, the set meets every case of the saver's fit
// rule; formats are mixed so that its loader meets every format it recognises.
#include <span>
#include <string>

#include "encoders.h"
#include "image.h"

namespace pictures {

struct CataloguedPicture {
  int number;  // 1 to 50
  int width;
  int height;
  Format format;
  const char* subject;
  void (*paint)(Image&);
};

std::span<const CataloguedPicture> Catalogue();

// QMAR5201.DAT to QMAR5250.DAT.
std::string FileName(int number);

}  // namespace pictures
