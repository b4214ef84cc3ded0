#include "encoders.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

// The C libraries' headers: jpeglib.h relies on <cstdio> having come first.
#include <gif_lib.h>
#include <jpeglib.h>
#include <png.h>
#include <tiffio.h>

#include "quantise.h"

namespace pictures {
namespace {

// libjpeg and libpng report failures by printing and ending the process, which is what a build
// step should do; only the failures we can see ourselves are turned into exceptions.
[[noreturn]] void Fail(const std::filesystem::path& path, const std::string& what) {
  throw std::runtime_error(path.string() + ": " + what);
}

using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

File OpenForWriting(const std::filesystem::path& path) {
  File file(std::fopen(path.c_str(), "wb"), &std::fclose);
  if (!file) Fail(path, "cannot be created");
  return file;
}

void CheckWritten(const File& file, const std::filesystem::path& path) {
  if (std::fflush(file.get()) != 0 || std::ferror(file.get()) != 0) Fail(path, "cannot be written");
}

void WriteJpeg(const Image& image, bool progressive, const std::filesystem::path& path) {
  const File file = OpenForWriting(path);
  jpeg_compress_struct jpeg{};
  jpeg_error_mgr errors{};
  jpeg.err = jpeg_std_error(&errors);
  jpeg_create_compress(&jpeg);
  jpeg_stdio_dest(&jpeg, file.get());
  jpeg.image_width = static_cast<JDIMENSION>(image.Width());
  jpeg.image_height = static_cast<JDIMENSION>(image.Height());
  jpeg.input_components = 3;
  jpeg.in_color_space = JCS_RGB;
  jpeg_set_defaults(&jpeg);
  jpeg_set_quality(&jpeg, 90, TRUE);
  jpeg.optimize_coding = TRUE;
  if (progressive) jpeg_simple_progression(&jpeg);
  jpeg_start_compress(&jpeg, TRUE);
  for (int y = 0; y < image.Height(); ++y) {
    // libjpeg only reads the row; its API predates const.
    JSAMPROW row = const_cast<JSAMPLE*>(image.Row(y));
    jpeg_write_scanlines(&jpeg, &row, 1);
  }
  jpeg_finish_compress(&jpeg);
  jpeg_destroy_compress(&jpeg);
  CheckWritten(file, path);
}

void WritePng(const Image& image, bool palette, const std::filesystem::path& path) {
  const File file = OpenForWriting(path);
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_init_io(png, file.get());
  const auto width = static_cast<png_uint_32>(image.Width());
  const auto height = static_cast<png_uint_32>(image.Height());
  if (palette) {
    const IndexedImage indexed = Quantise(image);
    std::vector<png_color> colours;
    for (const Rgb8& c : indexed.palette) colours.push_back({c.r, c.g, c.b});
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_PLTE(png, info, colours.data(), static_cast<int>(colours.size()));
    png_write_info(png, info);
    for (int y = 0; y < indexed.height; ++y) {
      png_write_row(png, indexed.indices.data() + static_cast<std::size_t>(y) * width);
    }
  } else {
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < image.Height(); ++y) png_write_row(png, image.Row(y));
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  CheckWritten(file, path);
}

class LittleEndianWriter {
 public:
  void U8(std::uint8_t v) { bytes_.push_back(v); }
  void U16(std::uint16_t v) {
    U8(static_cast<std::uint8_t>(v));
    U8(static_cast<std::uint8_t>(v >> 8));
  }
  void U32(std::uint32_t v) {
    U16(static_cast<std::uint16_t>(v));
    U16(static_cast<std::uint16_t>(v >> 16));
  }
  void Pad(std::size_t n) { bytes_.resize(bytes_.size() + n); }
  [[nodiscard]] const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

 private:
  std::vector<std::uint8_t> bytes_;
};

// BITMAPFILEHEADER and BITMAPINFOHEADER, then the palette if any, then rows bottom-up, each
// padded to four bytes.
void WriteBmp(const Image& image, bool palette, const std::filesystem::path& path) {
  const auto width = static_cast<std::uint32_t>(image.Width());
  const auto height = static_cast<std::uint32_t>(image.Height());
  const IndexedImage indexed = palette ? Quantise(image) : IndexedImage{};
  const auto colours = static_cast<std::uint32_t>(indexed.palette.size());
  const std::uint32_t bytes_per_pixel = palette ? 1 : 3;
  const std::uint32_t stride = (width * bytes_per_pixel + 3) & ~3U;
  const std::uint32_t pixel_offset = 14 + 40 + 4 * colours;
  const std::uint32_t pixel_bytes = stride * height;

  LittleEndianWriter out;
  out.U8('B');
  out.U8('M');
  out.U32(pixel_offset + pixel_bytes);
  out.U32(0);
  out.U32(pixel_offset);
  out.U32(40);
  out.U32(width);
  out.U32(height);  // positive: bottom-up
  out.U16(1);
  out.U16(static_cast<std::uint16_t>(8 * bytes_per_pixel));
  out.U32(0);  // BI_RGB
  out.U32(pixel_bytes);
  out.U32(2835);  // 72 dots per inch, in dots per metre
  out.U32(2835);
  out.U32(colours);
  out.U32(0);
  for (const Rgb8& c : indexed.palette) {
    out.U8(c.b);
    out.U8(c.g);
    out.U8(c.r);
    out.U8(0);
  }
  for (std::uint32_t row = height; row-- > 0;) {
    if (palette) {
      for (std::uint32_t x = 0; x < width; ++x) out.U8(indexed.indices[row * width + x]);
    } else {
      const std::uint8_t* p = image.Row(static_cast<int>(row));
      for (std::uint32_t x = 0; x < width; ++x, p += 3) {
        out.U8(p[2]);
        out.U8(p[1]);
        out.U8(p[0]);
      }
    }
    out.Pad(stride - width * bytes_per_pixel);
  }
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(out.Bytes().data()),
             static_cast<std::streamsize>(out.Bytes().size()));
  if (!file) Fail(path, "cannot be written");
}

void WriteGif(const Image& image, const std::filesystem::path& path) {
  const IndexedImage indexed = Quantise(image);
  // A GIF colour table has a power-of-two size; the spare entries stay black.
  int table_size = 2;
  while (table_size < static_cast<int>(indexed.palette.size())) table_size *= 2;
  std::vector<GifColorType> colours(static_cast<std::size_t>(table_size));
  for (std::size_t i = 0; i < indexed.palette.size(); ++i) {
    colours[i] = {indexed.palette[i].r, indexed.palette[i].g, indexed.palette[i].b};
  }
  // Written through our own stream: giflib's own file opening makes files only their owner can
  // read.
  const File file = OpenForWriting(path);
  const OutputFunc write = [](GifFileType* gif, const GifByteType* bytes, int length) {
    return static_cast<int>(std::fwrite(bytes, 1, static_cast<std::size_t>(length),
                                        static_cast<std::FILE*>(gif->UserData)));
  };
  int error = 0;
  GifFileType* gif = EGifOpen(file.get(), write, &error);
  if (gif == nullptr) Fail(path, GifErrorString(error));
  ColorMapObject* map = GifMakeMapObject(table_size, colours.data());
  bool ok = EGifPutScreenDesc(gif, indexed.width, indexed.height, 8, 0, map) == GIF_OK &&
            EGifPutImageDesc(gif, 0, 0, indexed.width, indexed.height, false, nullptr) == GIF_OK;
  GifFreeMapObject(map);
  std::vector<GifPixelType> row(static_cast<std::size_t>(indexed.width));
  for (int y = 0; ok && y < indexed.height; ++y) {
    const auto first = indexed.indices.begin() + static_cast<std::ptrdiff_t>(y) * indexed.width;
    std::copy(first, first + indexed.width, row.begin());
    ok = EGifPutLine(gif, row.data(), indexed.width) == GIF_OK;
  }
  if (!ok) error = gif->Error;
  if (EGifCloseFile(gif, &error) != GIF_OK || !ok) Fail(path, GifErrorString(error));
  CheckWritten(file, path);
}

void WriteTiff(const Image& image, const std::filesystem::path& path) {
  TIFF* tiff = TIFFOpen(path.c_str(), "w");
  if (tiff == nullptr) Fail(path, "cannot be created");
  TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, static_cast<std::uint32_t>(image.Width()));
  TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, static_cast<std::uint32_t>(image.Height()));
  TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 3);
  TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
  TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
  TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(tiff, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
  TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
  TIFFSetField(tiff, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL);
  TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tiff, 0));
  std::vector<std::uint8_t> row(static_cast<std::size_t>(image.Width()) * 3);
  bool ok = true;
  for (int y = 0; ok && y < image.Height(); ++y) {
    // libtiff predicts and compresses in place, so it gets a copy of the row.
    std::copy(image.Row(y), image.Row(y) + row.size(), row.begin());
    ok = TIFFWriteScanline(tiff, row.data(), static_cast<std::uint32_t>(y), 0) == 1;
  }
  TIFFClose(tiff);
  if (!ok) Fail(path, "cannot be written");
}

}  // namespace

void Write(const Image& image, Format format, const std::filesystem::path& path) {
  switch (format) {
    case Format::Jpeg:
      return WriteJpeg(image, false, path);
    case Format::ProgressiveJpeg:
      return WriteJpeg(image, true, path);
    case Format::Png:
      return WritePng(image, false, path);
    case Format::PalettePng:
      return WritePng(image, true, path);
    case Format::Bmp:
      return WriteBmp(image, false, path);
    case Format::PaletteBmp:
      return WriteBmp(image, true, path);
    case Format::Gif:
      return WriteGif(image, path);
    case Format::Tiff:
      return WriteTiff(image, path);
  }
}

}  // namespace pictures
