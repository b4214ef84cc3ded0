#include "platform/win32/wic_picture.h"

#include <windows.h>
// After windows.h, which it builds on.
#include <wincodec.h>
#include <wrl/client.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <functional>
#include <optional>
#include <vector>

#include "platform/pictures/colour_profile.h"
#include "platform/pictures/pixel_layout.h"
#include "platform/pictures/resample.h"
#include "platform/run_time_error.h"
#include "platform/win32/file_stream.h"

namespace platform::win32 {
namespace {

// IWICBitmapSourceTransform: a decoder that scales (and picks a pixel format) while it decodes;
// the Windows JPEG decoder's frames offer it. MinGW's wincodec.h does not declare it, so it is
// declared here under our own name and asked for by its documented interface id, which builds
// the same with the Windows SDK.
struct BitmapSourceTransform : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE CopyPixels(const WICRect* rect, UINT width, UINT height,
                                               WICPixelFormatGUID* format,
                                               WICBitmapTransformOptions transform, UINT stride,
                                               UINT bufferSize, BYTE* buffer) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetClosestSize(UINT* width, UINT* height) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetClosestPixelFormat(WICPixelFormatGUID* format) = 0;
  virtual HRESULT STDMETHODCALLTYPE DoesSupportTransform(WICBitmapTransformOptions transform,
                                                         BOOL* supported) = 0;
};

constexpr IID kBitmapSourceTransformId = {
    0x3b16811b, 0x6a43, 0x4ec9, {0xb7, 0x13, 0x3d, 0x5a, 0x0c, 0x13, 0xb9, 0x40}};

using Microsoft::WRL::ComPtr;

// About a megabyte of pixels per CopyPixels: few calls into WIC, and the strip stays small
// beside the screen-sized result however wide the picture is.
constexpr std::size_t kStripBytes = 1 << 20;
constexpr int kMaxStripRows = 128;

void Check(HRESULT result, const char* what) {
  if (FAILED(result)) ThrowInvalidPicture(what);
}

int StripRows(int width) {
  const std::size_t rows = kStripBytes / (static_cast<std::size_t>(width) * 4);
  return static_cast<int>(std::clamp<std::size_t>(rows, 1, kMaxStripRows));
}

std::optional<PixelLayout> LayoutOf(const WICPixelFormatGUID& format) {
  if (format == GUID_WICPixelFormat24bppBGR) return PixelLayout::Bgr24;
  if (format == GUID_WICPixelFormat8bppGray) return PixelLayout::Gray8;
  if (format == GUID_WICPixelFormat32bppBGR) return PixelLayout::Bgrx32;
  if (format == GUID_WICPixelFormat32bppBGRA) return PixelLayout::Bgra32;
  if (format == GUID_WICPixelFormat64bppRGBA) return PixelLayout::Rgba64;
  if (format == GUID_WICPixelFormat32bppPBGRA) return PixelLayout::Pbgra32;
  return std::nullopt;
}

}  // namespace

std::optional<unsigned> FrameBitsPerPixel(IWICImagingFactory& factory,
                                          IWICBitmapFrameDecode& frame) {
  WICPixelFormatGUID format{};
  ComPtr<IWICComponentInfo> info;
  ComPtr<IWICPixelFormatInfo> formatInfo;
  UINT bits = 0;
  if (FAILED(frame.GetPixelFormat(&format)) || FAILED(factory.CreateComponentInfo(format, &info)) ||
      FAILED(info.As(&formatInfo)) || FAILED(formatInfo->GetBitsPerPixel(&bits))) {
    return std::nullopt;
  }
  return bits;
}

std::optional<std::vector<std::uint8_t>> FrameColourProfile(IWICImagingFactory& factory,
                                                            IWICBitmapFrameDecode& frame) {
  // The first context is the one the codec found first: a frame rarely has more.
  ComPtr<IWICColorContext> context;
  UINT count = 0;
  if (FAILED(factory.CreateColorContext(&context)) ||
      FAILED(frame.GetColorContexts(1, context.GetAddressOf(), &count)) || count == 0) {
    return std::nullopt;
  }
  WICColorContextType type{};
  if (FAILED(context->GetType(&type))) return std::nullopt;
  if (type == WICColorContextExifColorSpace) {
    constexpr UINT kAdobeRgb = 2;
    UINT space = 0;
    if (FAILED(context->GetExifColorSpace(&space)) || space != kAdobeRgb) return std::nullopt;
    return AdobeRgbProfile();
  }
  UINT bytes = 0;
  if (FAILED(context->GetProfileBytes(0, nullptr, &bytes)) || bytes > kMaxProfileBytes) {
    return std::nullopt;
  }
  std::vector<std::uint8_t> profile(bytes);
  if (FAILED(context->GetProfileBytes(bytes, profile.data(), &bytes)) || bytes != profile.size()) {
    return std::nullopt;
  }
  return RgbProfile(std::move(profile));
}

DecodedFrame DecodeFrame(IWICImagingFactory& factory, FileStream& file) {
  DecodedFrame decoded;
  Check(factory.CreateDecoderFromStream(&file, nullptr, WICDecodeMetadataCacheOnDemand,
                                        &decoded.decoder),
        "no decoder for the picture");
  Check(decoded.decoder->GetFrame(0, &decoded.frame), "no first frame");
  UINT width = 0, height = 0;
  Check(decoded.frame->GetSize(&width, &height), "no frame size");
  if (width > INT_MAX || height > INT_MAX) ThrowInvalidPicture("frame too large");
  decoded.size = {static_cast<int>(width), static_cast<int>(height)};
  return decoded;
}

namespace {

// How the pixels come out of the decoder: at which size, in which layout, by which call. The
// call holds what it needs (a converter, the decoder's scaling interface).
struct Reading {
  PixelSize size;
  PixelLayout layout = PixelLayout::Pbgra32;
  std::function<HRESULT(const WICRect& rect, UINT stride, UINT bytes, BYTE* to)> copy;
};

class WicPicture final : public RowSource {
 public:
  WicPicture(ComPtr<IWICImagingFactory> factory, ComPtr<FileStream> file, PixelSize frameSize,
             Orientation orientation)
      : orientation_(orientation),
        factory_(std::move(factory)),
        file_(std::move(file)),
        size_(frameSize) {}

  WicPicture(ComPtr<IWICImagingFactory> factory, DecodedFrame decoded)
      : factory_(std::move(factory)), decoded_(std::move(decoded)), size_(decoded_.size) {}

  [[nodiscard]] PixelSize size() const override { return size_; }
  [[nodiscard]] Orientation orientation() const override { return orientation_; }

  Bitmap Render(PixelSize target) override {
    std::optional<Reading> reading = Reduced(target);
    if (!reading) reading = AsStored();
    if (reading->size == target) return ReadBitmap(*reading);
    return Resample(
        reading->size, [&](const RowSink& sink) { ReadRows(*reading, sink); }, target);
  }

  void ReadRows(const RowSink& sink) override { ReadRows(AsStored(), sink); }

 private:
  // The decoder shrinking the picture while it decodes, by the strongest power of two that
  // leaves it no smaller than `target`: what the Windows JPEG decoder offers. Nothing when the
  // decoder cannot.
  std::optional<Reading> Reduced(PixelSize target) {
    ComPtr<BitmapSourceTransform> transform;
    if (FAILED(Frame().QueryInterface(kBitmapSourceTransformId,
                                      reinterpret_cast<void**>(transform.GetAddressOf())))) {
      return std::nullopt;
    }
    BOOL supported = FALSE;
    WICPixelFormatGUID format = GUID_WICPixelFormat32bppPBGRA;
    if (FAILED(transform->DoesSupportTransform(WICBitmapTransformRotate0, &supported)) ||
        !supported || FAILED(transform->GetClosestPixelFormat(&format))) {
      return std::nullopt;
    }
    const std::optional<PixelLayout> layout = LayoutOf(format);
    if (!layout) return std::nullopt;
    // JPEG decoders reduce by 2, 4 or 8.
    for (int shift = 3; shift >= 1; --shift) {
      UINT width = static_cast<UINT>((size_.width + (1 << shift) - 1) >> shift);
      UINT height = static_cast<UINT>((size_.height + (1 << shift) - 1) >> shift);
      if (FAILED(transform->GetClosestSize(&width, &height))) return std::nullopt;
      const PixelSize reduced{static_cast<int>(width), static_cast<int>(height)};
      if (reduced.width >= target.width && reduced.height >= target.height &&
          reduced.width < size_.width) {
        return Reading{
            reduced, *layout,
            [transform, format, reduced](const WICRect& rect, UINT stride, UINT bytes, BYTE* to) {
              WICPixelFormatGUID asked = format;
              // The rectangle is in the reduced picture's pixels: the decoder scales
              // before it crops.
              return transform->CopyPixels(&rect, static_cast<UINT>(reduced.width),
                                           static_cast<UINT>(reduced.height), &asked,
                                           WICBitmapTransformRotate0, stride, bytes, to);
            }};
      }
    }
    return std::nullopt;
  }

  // The picture at its own size: the decoder's own rows, widened here where we know their layout
  // (cheaper than WIC's converter, Wine's above all), otherwise through the converter.
  Reading AsStored() {
    IWICBitmapFrameDecode& frame = Frame();
    WICPixelFormatGUID format{};
    Check(frame.GetPixelFormat(&format), "no pixel format");
    if (const std::optional<PixelLayout> layout = LayoutOf(format)) {
      return {size_, *layout,
              [frame = decoded_.frame](const WICRect& rect, UINT stride, UINT bytes, BYTE* to) {
                return frame->CopyPixels(&rect, stride, bytes, to);
              }};
    }
    ComPtr<IWICFormatConverter> converter;
    Check(factory_->CreateFormatConverter(&converter), "no format converter");
    Check(converter->Initialize(&frame, GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone,
                                nullptr, 0.0, WICBitmapPaletteTypeCustom),
          "no conversion to 32bppPBGRA");
    return {size_, PixelLayout::Pbgra32,
            [converter](const WICRect& rect, UINT stride, UINT bytes, BYTE* to) {
              return converter->CopyPixels(&rect, stride, bytes, to);
            }};
  }

  void ReadRows(const Reading& reading, const RowSink& sink) {
    const int rows = StripRows(reading.size.width);
    std::vector<std::uint32_t> strip(static_cast<std::size_t>(reading.size.width) *
                                     static_cast<std::size_t>(rows));
    CopyStrips(
        reading, rows, [&](int) { return strip.data(); },
        [&](int firstRow, int count) { sink(firstRow, count, strip.data()); });
  }

  // Strip by strip straight into the bitmap: no strip buffer, and no copy out of it.
  static Bitmap ReadBitmap(const Reading& reading) {
    const auto width = static_cast<std::size_t>(reading.size.width);
    std::vector<std::uint32_t> pixels = BitmapBuffer(PixelCount(reading.size));
    pixels.resize(PixelCount(reading.size));
    CopyStrips(
        reading, StripRows(reading.size.width),
        [&](int firstRow) { return &pixels[static_cast<std::size_t>(firstRow) * width]; },
        [](int, int) {});
    return {reading.size, std::move(pixels)};
  }

  // Copies the picture strip by strip, each into the rows `into(firstRow)` points at as
  // premultiplied BGRA, and tells `copied` of it. Rows of up to four bytes a pixel are decoded
  // into their place and widened there; wider ones go through a strip of their own.
  template <class Into, class Copied>
  static void CopyStrips(const Reading& reading, int rows, const Into& into, const Copied& copied) {
    const PixelSize size = reading.size;
    const auto width = static_cast<std::size_t>(size.width);
    const UINT bytesPerPixel = BytesPerPixel(reading.layout);
    const bool inPlace = bytesPerPixel <= 4;
    const UINT stride = inPlace ? static_cast<UINT>(width * 4)
                                : (static_cast<UINT>(width) * bytesPerPixel + 3) & ~3u;
    std::vector<std::uint8_t> wide(
        inPlace ? 0 : static_cast<std::size_t>(stride) * static_cast<std::size_t>(rows));
    for (int y = 0; y < size.height; y += rows) {
      const int count = std::min(rows, size.height - y);
      std::uint32_t* const to = into(y);
      BYTE* const landing = inPlace ? reinterpret_cast<BYTE*>(to) : wide.data();
      const WICRect rect{0, y, size.width, count};
      Check(reading.copy(rect, stride, stride * static_cast<UINT>(count), landing),
            "pixels not decodable");
      for (int r = 0; r < count; ++r) {
        WidenRow(reading.layout, landing + static_cast<std::size_t>(r) * stride,
                 to + static_cast<std::size_t>(r) * width, width);
      }
      copied(y, count);
    }
  }

  IWICBitmapFrameDecode& Frame() {
    if (!decoded_.frame) {
      DecodedFrame decoded = DecodeFrame(*factory_.Get(), *file_.Get());
      // A decoder that read the file otherwise than our header reader did: nothing of it is
      // copied.
      if (decoded.size != size_) ThrowInvalidPicture("frame size differs from the header");
      decoded_ = std::move(decoded);
      file_.Reset();  // the decoder holds it now
    }
    return *decoded_.frame.Get();
  }

  Orientation orientation_ = Orientation::Normal;
  ComPtr<IWICImagingFactory> factory_;
  ComPtr<FileStream> file_;  // until the decoder is made
  DecodedFrame decoded_;
  PixelSize size_;  // the frame's
};

}  // namespace

ComPtr<IWICImagingFactory> CreateWicFactory() {
  ComPtr<IWICImagingFactory> factory;
  Check(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                         IID_PPV_ARGS(factory.GetAddressOf())),
        "no WIC");
  return factory;
}

std::unique_ptr<RowSource> WicPictureOfHeader(ComPtr<IWICImagingFactory> factory,
                                              ComPtr<FileStream> file, PixelSize frame,
                                              Orientation orientation) {
  return std::make_unique<WicPicture>(std::move(factory), std::move(file), frame, orientation);
}

std::unique_ptr<PixelSource> WicPictureOfDecoder(ComPtr<IWICImagingFactory> factory,
                                                 DecodedFrame decoded) {
  return std::make_unique<WicPicture>(std::move(factory), std::move(decoded));
}

}  // namespace platform::win32
