#include "platform/win32/wic_picture.h"

#include <windows.h>
// After windows.h, which it builds on.
#include <wincodec.h>
#include <wrl/client.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

#include "platform/pictures/pixel_layout.h"
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

class WicPicture final : public PixelSource {
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

  void PreferAtLeast(PixelSize target) override {
    if (reducer_) return;  // sizes below are relative to the full picture
    ComPtr<BitmapSourceTransform> transform;
    if (FAILED(Frame().QueryInterface(kBitmapSourceTransformId,
                                      reinterpret_cast<void**>(transform.GetAddressOf())))) {
      return;
    }
    BOOL supported = FALSE;
    WICPixelFormatGUID format = GUID_WICPixelFormat32bppPBGRA;
    if (FAILED(transform->DoesSupportTransform(WICBitmapTransformRotate0, &supported)) ||
        !supported || FAILED(transform->GetClosestPixelFormat(&format))) {
      return;
    }
    const std::optional<PixelLayout> layout = LayoutOf(format);
    if (!layout) return;
    // The strongest reduction first; JPEG decoders reduce by 2, 4 or 8.
    for (int shift = 3; shift >= 1; --shift) {
      UINT width = static_cast<UINT>((size_.width + (1 << shift) - 1) >> shift);
      UINT height = static_cast<UINT>((size_.height + (1 << shift) - 1) >> shift);
      if (FAILED(transform->GetClosestSize(&width, &height))) return;
      const PixelSize reduced{static_cast<int>(width), static_cast<int>(height)};
      if (reduced.width >= std::max(target.width, 1) &&
          reduced.height >= std::max(target.height, 1) && reduced.width < size_.width) {
        reducer_ = std::move(transform);
        reducedFormat_ = format;
        reducedLayout_ = *layout;
        size_ = reduced;
        return;
      }
    }
  }

  void ReadRows(const RowSink& sink) override {
    const int rows = StripRows(size_.width);
    std::vector<std::uint32_t> strip(static_cast<std::size_t>(size_.width) *
                                     static_cast<std::size_t>(rows));
    Copy(
        rows, [&](int) { return strip.data(); },
        [&](int firstRow, int count) { sink(firstRow, count, strip.data()); });
  }

  // Strip by strip straight into the bitmap: no strip buffer, and no copy out of it.
  Bitmap ReadBitmap() override {
    const auto width = static_cast<std::size_t>(size_.width);
    std::vector<std::uint32_t> pixels(PixelCount(size_));
    Copy(
        StripRows(size_.width),
        [&](int firstRow) { return &pixels[static_cast<std::size_t>(firstRow) * width]; },
        [](int, int) {});
    return {size_, std::move(pixels)};
  }

 private:
  // Copies the picture strip by strip, each into the rows `into(firstRow)` points at as
  // premultiplied BGRA, and tells `copied` of it.
  template <class Into, class Copied>
  void Copy(int rows, const Into& into, const Copied& copied) {
    IWICBitmapFrameDecode& frame = Frame();
    if (reducer_) {
      CopyStrips(reducedLayout_, rows, into, copied,
                 [&](const WICRect& rect, UINT stride, UINT bytes, BYTE* to) {
                   WICPixelFormatGUID format = reducedFormat_;
                   // The rectangle is in the reduced picture's pixels: the decoder scales before
                   // it crops.
                   return reducer_->CopyPixels(&rect, static_cast<UINT>(size_.width),
                                               static_cast<UINT>(size_.height), &format,
                                               WICBitmapTransformRotate0, stride, bytes, to);
                 });
      return;
    }
    WICPixelFormatGUID format{};
    Check(frame.GetPixelFormat(&format), "no pixel format");
    if (const std::optional<PixelLayout> layout = LayoutOf(format)) {
      // The decoder's own rows, widened here: cheaper than WIC's converter, Wine's above all.
      CopyStrips(*layout, rows, into, copied,
                 [&](const WICRect& rect, UINT stride, UINT bytes, BYTE* to) {
                   return frame.CopyPixels(&rect, stride, bytes, to);
                 });
      return;
    }
    ComPtr<IWICFormatConverter> converter;
    Check(factory_->CreateFormatConverter(&converter), "no format converter");
    Check(converter->Initialize(&frame, GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone,
                                nullptr, 0.0, WICBitmapPaletteTypeCustom),
          "no conversion to 32bppPBGRA");
    CopyStrips(PixelLayout::Pbgra32, rows, into, copied,
               [&](const WICRect& rect, UINT stride, UINT bytes, BYTE* to) {
                 return converter->CopyPixels(&rect, stride, bytes, to);
               });
  }

  // Rows of up to four bytes a pixel are decoded into their place and widened there; wider ones
  // go through a strip of their own.
  template <class Into, class Copied, class CopyStrip>
  void CopyStrips(PixelLayout layout, int rows, const Into& into, const Copied& copied,
                  const CopyStrip& copyStrip) {
    const auto width = static_cast<std::size_t>(size_.width);
    const UINT bytesPerPixel = BytesPerPixel(layout);
    const bool inPlace = bytesPerPixel <= 4;
    const UINT stride = inPlace ? static_cast<UINT>(width * 4)
                                : (static_cast<UINT>(width) * bytesPerPixel + 3) & ~3u;
    std::vector<std::uint8_t> wide(
        inPlace ? 0 : static_cast<std::size_t>(stride) * static_cast<std::size_t>(rows));
    for (int y = 0; y < size_.height; y += rows) {
      const int count = std::min(rows, size_.height - y);
      std::uint32_t* const to = into(y);
      BYTE* const landing = inPlace ? reinterpret_cast<BYTE*>(to) : wide.data();
      const WICRect rect{0, y, size_.width, count};
      Check(copyStrip(rect, stride, stride * static_cast<UINT>(count), landing),
            "pixels not decodable");
      for (int r = 0; r < count; ++r) {
        WidenRow(layout, landing + static_cast<std::size_t>(r) * stride,
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
  PixelSize size_;                         // the frame's, or the reduced size the decoder hands out
  ComPtr<BitmapSourceTransform> reducer_;  // set when the decoder reduces while decoding
  WICPixelFormatGUID reducedFormat_{};
  PixelLayout reducedLayout_ = PixelLayout::Pbgra32;
};

}  // namespace

ComPtr<IWICImagingFactory> CreateWicFactory() {
  ComPtr<IWICImagingFactory> factory;
  Check(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                         IID_PPV_ARGS(factory.GetAddressOf())),
        "no WIC");
  return factory;
}

std::unique_ptr<PixelSource> WicPictureOfHeader(ComPtr<IWICImagingFactory> factory,
                                                ComPtr<FileStream> file, PixelSize frame,
                                                Orientation orientation) {
  return std::make_unique<WicPicture>(std::move(factory), std::move(file), frame, orientation);
}

std::unique_ptr<PixelSource> WicPictureOfDecoder(ComPtr<IWICImagingFactory> factory,
                                                 DecodedFrame decoded) {
  return std::make_unique<WicPicture>(std::move(factory), std::move(decoded));
}

}  // namespace platform::win32
