// Measures the picture pipeline against WIC's bare decoder, side by side in one process, and the
// peak memory of either in a fresh process of its own.
//
//   picture_bench time <repetitions> <picture>...  a markdown table row per picture
//   picture_bench peak-pipeline <picture>           peak memory after showing the picture
//   picture_bench peak-decoder <picture>            peak memory after only opening its decoder
//   picture_bench check <folder>                    the pipeline's answers to the files there
//   picture_bench cost <picture>                    what showing the picture cost
#include <windows.h>
// After windows.h, which they build on.
#include <psapi.h>
#include <wincodec.h>
#include <wrl/client.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "platform/pictures/picture.h"
#include "platform/run_time_error.h"
#include "platform/win32/com_apartment.h"
#include "platform/win32/handles.h"
#include "platform/win32/metafile_picture.h"
#include "platform/win32/wic_picture.h"

namespace {

using Microsoft::WRL::ComPtr;
using platform::PixelSize;

constexpr PixelSize kScreen{1920, 1080};

std::string Narrow(const std::wstring& text) {
  std::string narrow;
  for (const wchar_t c : text) narrow += c < 0x80 ? static_cast<char>(c) : '?';
  return narrow;
}

std::wstring FileName(const std::wstring& path) {
  return path.substr(path.find_last_of(L"\\/") + 1);
}

// The fit rule: proportions kept, never enlarged.
PixelSize FitToScreen(PixelSize picture) {
  if (picture.width <= kScreen.width && picture.height <= kScreen.height) return picture;
  const double scale =
      std::min(double(kScreen.width) / picture.width, double(kScreen.height) / picture.height);
  return {std::max(1, static_cast<int>(std::lround(picture.width * scale))),
          std::max(1, static_cast<int>(std::lround(picture.height * scale)))};
}

// 32-bit pixels, rows top to bottom, as platform::Bitmap holds them.
BITMAPINFO TopDownInfo(PixelSize size) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = size.width;
  info.bmiHeader.biHeight = -size.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

// The show window's back buffer: a screen-sized DIB section in a memory DC.
class ScreenBuffer {
 public:
  ScreenBuffer() : dc_(CreateCompatibleDC(nullptr)) {
    const BITMAPINFO info = TopDownInfo(kScreen);
    void* bits = nullptr;
    bitmap_ = platform::win32::UniqueBitmap(
        CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    selection_.emplace(dc_.get(), bitmap_.get());
  }

  // One blit of the screen-sized bitmap, centred, as the painter does it.
  void Blit(const platform::Bitmap& bitmap) const {
    const BITMAPINFO info = TopDownInfo(bitmap.size);
    SetDIBitsToDevice(dc_.get(), (kScreen.width - bitmap.size.width) / 2,
                      (kScreen.height - bitmap.size.height) / 2,
                      static_cast<DWORD>(bitmap.size.width), static_cast<DWORD>(bitmap.size.height),
                      0, 0, 0, static_cast<UINT>(bitmap.size.height), bitmap.pixels.data(), &info,
                      DIB_RGB_COLORS);
  }

 private:
  platform::win32::MemoryDc dc_;
  platform::win32::UniqueBitmap bitmap_;
  std::optional<platform::win32::DcSelection> selection_;
};

struct Shown {
  PixelSize natural, drawn;
};

// One factory for the process, as the saver keeps one; wmain makes it and lets it go inside its
// COM apartment.
ComPtr<IWICImagingFactory> processFactory;
const ComPtr<IWICImagingFactory>& Factory() { return processFactory; }

// (a) What the show does with a picture file, up to the back buffer.
Shown ShowPicture(const std::wstring& path, const ScreenBuffer& screen) {
  platform::Picture picture(
      platform::win32::OpenWicPicture(Factory(), path, platform::win32::ScreenPixelsPerInch()));
  picture.Render(FitToScreen(picture.NaturalSize()));
  screen.Blit(*picture.Rendered());
  return {picture.NaturalSize(), picture.Rendered()->size};
}

ComPtr<IWICBitmapFrameDecode> OpenFrame(IWICImagingFactory& factory, const std::wstring& path) {
  ComPtr<IWICBitmapDecoder> decoder;
  ComPtr<IWICBitmapFrameDecode> frame;
  if (FAILED(factory.CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ,
                                               WICDecodeMetadataCacheOnDemand, &decoder)) ||
      FAILED(decoder->GetFrame(0, &frame))) {
    throw std::runtime_error("WIC cannot open " + Narrow(path));
  }
  return frame;
}

// (b) The bare decoder: the whole frame in its own pixel format, nothing else.
void DecodeBare(const std::wstring& path) {
  const ComPtr<IWICBitmapFrameDecode> frame = OpenFrame(*Factory().Get(), path);
  UINT width = 0, height = 0;
  frame->GetSize(&width, &height);
  const std::optional<unsigned> bits =
      platform::win32::FrameBitsPerPixel(*Factory().Get(), *frame.Get());
  if (!bits) throw std::runtime_error("unknown pixel format");
  const UINT stride = (width * *bits + 31) / 32 * 4;
  std::vector<BYTE> pixels(static_cast<std::size_t>(stride) * height);
  if (FAILED(frame->CopyPixels(nullptr, stride, static_cast<UINT>(pixels.size()), pixels.data()))) {
    throw std::runtime_error("WIC cannot decode " + Narrow(path));
  }
}

double Milliseconds(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

int Time(int repetitions, const std::vector<std::wstring>& paths) {
  const ScreenBuffer screen;
  for (const std::wstring& path : paths) {
    const Shown shown = ShowPicture(path, screen);  // warms the caches and the DLLs for both
    DecodeBare(path);
    std::vector<double> bare, pipeline;
    for (int i = 0; i < repetitions; ++i) {
      // Alternating which goes first keeps drift from favouring either.
      const auto measureBare = [&] { bare.push_back(Milliseconds([&] { DecodeBare(path); })); };
      const auto measurePipeline = [&] {
        pipeline.push_back(Milliseconds([&] { ShowPicture(path, screen); }));
      };
      if (i % 2 == 0) {
        measureBare();
        measurePipeline();
      } else {
        measurePipeline();
        measureBare();
      }
    }
    const double bareMs = Median(bare), pipelineMs = Median(pipeline);
    std::printf("| %s | %dx%d | %dx%d | %.1f | %.1f | %.2f |\n", Narrow(FileName(path)).c_str(),
                shown.natural.width, shown.natural.height, shown.drawn.width, shown.drawn.height,
                bareMs, pipelineMs, pipelineMs / bareMs);
    std::fflush(stdout);
  }
  return 0;
}

PROCESS_MEMORY_COUNTERS MemoryCounters() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof(counters);
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters))) {
    throw std::runtime_error("no memory counters");
  }
  return counters;
}

double Megabytes(SIZE_T bytes) { return double(bytes) / (1 << 20); }

int ReportPeakMemory() {
  const PROCESS_MEMORY_COUNTERS counters = MemoryCounters();
  std::printf("%.1f %.1f\n", Megabytes(counters.PeakWorkingSetSize),
              Megabytes(counters.PeakPagefileUsage));
  return 0;
}

// In a fresh process: whether the picture was shown or refused, its peak working set and the
// time from opening the file to the blit, separated by tabs.
int ReportCost(const std::wstring& path) {
  const ScreenBuffer screen;
  std::string outcome;
  const double ms = Milliseconds([&] {
    try {
      const Shown shown = ShowPicture(path, screen);
      outcome = "shown at " + std::to_string(shown.drawn.width) + "x" +
                std::to_string(shown.drawn.height);
    } catch (const platform::RunTimeError& error) {
      outcome = std::string("refused: ") + error.what();
    }
  });
  std::printf("%s\t%s\t%.1f\t%.0f\n", Narrow(FileName(path)).c_str(), outcome.c_str(),
              Megabytes(MemoryCounters().PeakWorkingSetSize), ms);
  return 0;
}

// Whether every channel of every pixel is within `tolerance` of `expected`.
bool AllPixelsAre(const platform::Bitmap& bitmap, std::uint32_t expected, int tolerance) {
  return std::all_of(bitmap.pixels.begin(), bitmap.pixels.end(), [&](std::uint32_t pixel) {
    for (int shift = 0; shift < 32; shift += 8) {
      const int got = static_cast<int>(pixel >> shift & 0xFF);
      if (std::abs(got - static_cast<int>(expected >> shift & 0xFF)) > tolerance) return false;
    }
    return true;
  });
}

std::string Describe(PixelSize size) {
  return std::to_string(size.width) + "x" + std::to_string(size.height);
}

// The files bench/run.sh puts in the folder: broken ones, and flat colours in every pixel
// layout the decoders hand out, which must come out that colour at the fitted size.
int Check(const std::wstring& folder) {
  const ScreenBuffer screen;
  int failures = 0;
  const auto report = [&](bool ok, const wchar_t* file, const std::string& what) {
    std::printf("%s %s: %s\n", ok ? "ok  " : "FAIL", Narrow(file).c_str(), what.c_str());
    failures += ok ? 0 : 1;
  };
  const std::pair<const wchar_t*, platform::ErrorCode> broken[] = {
      {L"missing.jpg", platform::ErrorCode::FileNotFound},
      {L"folder.jpg", platform::ErrorCode::FileNotFound},
      {L"absurd.png", platform::ErrorCode::InvalidPicture},
      {L"text.dat", platform::ErrorCode::InvalidPicture},
      {L"cut.png", platform::ErrorCode::InvalidPicture},
  };
  for (const auto& [file, error] : broken) {
    try {
      report(false, file, "shown at " + Describe(ShowPicture(folder + L"\\" + file, screen).drawn));
    } catch (const platform::RunTimeError& thrown) {
      report(thrown.code() == error, file,
             "run-time error " + std::to_string(static_cast<int>(thrown.code())) + ", expected " +
                 std::to_string(static_cast<int>(error)));
    }
  }
  struct Flat {
    const wchar_t* file;
    std::uint32_t pixel;  // premultiplied
    int tolerance;        // for WIC's own premultiplying
  };
  const Flat flats[] = {
      {L"flat.png", 0xFF336699, 0}, {L"flat.bmp", 0xFF336699, 0},
      {L"flat.tif", 0xFF336699, 0}, {L"flat.gif", 0xFF336699, 0},
      {L"gray.jpg", 0xFF808080, 0}, {L"translucent.png", 0x801A334D, 1},
  };
  for (const Flat& flat : flats) {
    try {
      platform::Picture picture(platform::win32::OpenWicPicture(
          Factory(), folder + L"\\" + flat.file, platform::win32::ScreenPixelsPerInch()));
      const PixelSize fitted = FitToScreen(picture.NaturalSize());
      picture.Render(fitted);
      const platform::Bitmap& bitmap = *picture.Rendered();
      char expected[16];
      std::snprintf(expected, sizeof expected, "%08X", flat.pixel);
      report(
          bitmap.size == fitted && AllPixelsAre(bitmap, flat.pixel, flat.tolerance), flat.file,
          Describe(bitmap.size) + ", every pixel " + expected + " expected at " + Describe(fitted));
    } catch (const platform::RunTimeError& thrown) {
      report(false, flat.file, "run-time error " + std::to_string(static_cast<int>(thrown.code())));
    }
  }
  return failures == 0 ? 0 : 1;
}

int Run(const std::vector<std::wstring>& args) {
  try {
    processFactory = platform::win32::CreateWicFactory();
    if (args.size() >= 3 && args[0] == L"time") {
      return Time(std::stoi(args[1]), {args.begin() + 2, args.end()});
    }
    if (args.size() == 2 && args[0] == L"peak-pipeline") {
      const ScreenBuffer screen;
      ShowPicture(args[1], screen);
      return ReportPeakMemory();
    }
    if (args.size() == 2 && args[0] == L"peak-decoder") {
      const ComPtr<IWICBitmapFrameDecode> frame = OpenFrame(*Factory().Get(), args[1]);
      return ReportPeakMemory();
    }
    if (args.size() == 2 && args[0] == L"check") return Check(args[1]);
    if (args.size() == 2 && args[0] == L"cost") return ReportCost(args[1]);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "picture_bench: %s\n", error.what());
    return 1;
  }
  std::fprintf(stderr,
               "usage: picture_bench time <repetitions> <picture>... | peak-pipeline <picture> | "
               "peak-decoder <picture> | check <folder> | cost <picture>\n");
  return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const platform::win32::ComApartment com;
  const int code = Run({argv + 1, argv + argc});
  processFactory.Reset();
  return code;
}
