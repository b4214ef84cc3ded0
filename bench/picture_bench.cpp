// Measures the picture pipeline against WIC's bare decoder, side by side in one process, and the
// peak memory of either in a fresh process of its own.
//
//   picture_bench time <repetitions> <picture>...  a markdown table row per picture
//   picture_bench versus <repetitions> <a> <b>      the pipeline on a against b, one table row
//   picture_bench monitor <repetitions> <picture> <profile>
//                                                   the pipeline with that monitor profile
//                                                   against it with none, one table row
//   picture_bench peak-pipeline <picture>           peak memory after showing the picture
//   picture_bench peak-decoder <picture>            peak memory after only opening its decoder
//   picture_bench check <folder>                    the pipeline's answers to the files there
//   picture_bench cost <picture>                    what showing the picture cost
//   picture_bench drawing <emf>                     writes the drawing the table times
#include <windows.h>
// After windows.h, which they build on.
#include <psapi.h>
#include <wincodec.h>
#include <wrl/client.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "platform/pictures/display_colours.h"
#include "platform/pictures/picture.h"
#include "platform/run_time_error.h"
#include "platform/win32/com_apartment.h"
#include "platform/win32/handles.h"
#include "platform/win32/metafile_picture.h"
#include "platform/win32/picture_file.h"
#include "platform/win32/system_colour_engine.h"
#include "platform/win32/wic_picture.h"
#include "show_fit.h"

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

// A DIB section in a memory DC: the show window's back buffer, screen-sized, or the bitmap GDI
// alone plays a metafile on.
class ScreenBuffer {
 public:
  explicit ScreenBuffer(PixelSize size = kScreen) : size_(size), dc_(CreateCompatibleDC(nullptr)) {
    const BITMAPINFO info = TopDownInfo(size_);
    void* bits = nullptr;
    bitmap_ = platform::win32::UniqueBitmap(
        CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    selection_.emplace(dc_.get(), bitmap_.get());
  }

  [[nodiscard]] HDC dc() const { return dc_.get(); }

  // One blit of the screen-sized bitmap, centred, as the painter does it.
  void Blit(const platform::Bitmap& bitmap) const {
    Blit(bitmap.size, bitmap.pixels.data(), TopDownInfo(bitmap.size));
  }
  // The same of rows in the layout `info` describes.
  void Blit(PixelSize size, const void* rows, const BITMAPINFO& info) const {
    SetDIBitsToDevice(dc_.get(), (size_.width - size.width) / 2, (size_.height - size.height) / 2,
                      static_cast<DWORD>(size.width), static_cast<DWORD>(size.height), 0, 0, 0,
                      static_cast<UINT>(size.height), rows, &info, DIB_RGB_COLORS);
  }

 private:
  PixelSize size_;
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

using Display = std::shared_ptr<const platform::DisplayColours>;

// A monitor with the colour profile in `file`, or with none.
Display MonitorWith(const std::optional<std::wstring>& file) {
  std::optional<std::vector<std::uint8_t>> profile;
  if (file) {
    std::ifstream in(std::filesystem::path(*file), std::ios::binary);
    profile.emplace(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  return std::make_shared<const platform::DisplayColours>(
      std::make_shared<const platform::win32::SystemColourEngine>(), std::move(profile));
}

// The screen's DPI is asked for once, as the saver asks for it once; its monitor has no colour
// profile unless one is given.
std::unique_ptr<platform::PixelSource> Open(const std::wstring& path, const Display& display = {}) {
  static const int pixelsPerInch = platform::win32::ScreenPixelsPerInch();
  static const Display srgb = MonitorWith(std::nullopt);
  return platform::win32::OpenPictureFile(Factory(), path, pixelsPerInch, display ? display : srgb);
}

// Where the show draws the picture in the file, worked out once per file before anything of it
// is measured. Throws RunTimeError for a picture refused when it is opened.
PixelSize ShownAt(const std::wstring& path) {
  static std::map<std::wstring, PixelSize> fitted;
  if (const auto found = fitted.find(path); found != fitted.end()) return found->second;
  const PixelSize natural = platform::Picture(Open(path)).NaturalSize();
  return fitted[path] = ShownSize(natural, kScreen);
}

// (a) What the show does with a picture file, up to the back buffer.
Shown ShowPicture(const std::wstring& path, const ScreenBuffer& screen,
                  const Display& display = {}) {
  const PixelSize at = ShownAt(path);
  platform::Picture picture(Open(path, display));
  picture.Render(at);
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

bool IsEnhancedMetafile(const std::wstring& path) {
  const platform::win32::UniqueEnhancedMetafile metafile(GetEnhMetaFileW(path.c_str()));
  return bool(metafile);
}

// (b) For a metafile, GDI alone: the file played onto a bitmap of the size it is shown at.
void PlayBare(const std::wstring& path) {
  const PixelSize at = ShownAt(path);
  const platform::win32::UniqueEnhancedMetafile metafile(GetEnhMetaFileW(path.c_str()));
  const ScreenBuffer canvas(at);
  const RECT to{0, 0, at.width, at.height};
  if (!metafile || !PlayEnhMetaFile(canvas.dc(), metafile.get(), &to)) {
    throw std::runtime_error("GDI cannot play " + Narrow(path));
  }
  GdiFlush();
}

// (b) The bare decoder: the whole frame in its own pixel format. For a picture shown at its own
// size, also the one blit that showing it takes and a bare decode never pays: of the decoded rows
// themselves, which GDI takes as they are in 24 or 32 bits a pixel, the least any viewer does.
void DecodeBare(const std::wstring& path, const ScreenBuffer* shownAtItsOwnSize = nullptr) {
  static std::map<std::wstring, bool> metafiles;
  if (!metafiles.contains(path)) metafiles[path] = IsEnhancedMetafile(path);
  if (metafiles[path]) return PlayBare(path);
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
  if (shownAtItsOwnSize == nullptr) return;
  if (*bits != 24 && *bits != 32) throw std::runtime_error("no blit of " + Narrow(path));
  const PixelSize size{static_cast<int>(width), static_cast<int>(height)};
  BITMAPINFO info = TopDownInfo(size);
  info.bmiHeader.biBitCount = static_cast<WORD>(*bits);
  shownAtItsOwnSize->Blit(size, pixels.data(), info);
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

// The medians of `repetitions` timings of each of two tasks, in milliseconds, taken in turn and
// alternating which goes first, so that drift favours neither.
std::pair<double, double> SideBySide(int repetitions, const std::function<void()>& one,
                                     const std::function<void()>& two) {
  std::vector<double> first, second;
  for (int i = 0; i < repetitions; ++i) {
    if (i % 2 == 0) {
      first.push_back(Milliseconds(one));
      second.push_back(Milliseconds(two));
    } else {
      second.push_back(Milliseconds(two));
      first.push_back(Milliseconds(one));
    }
  }
  return {Median(first), Median(second)};
}

int Time(int repetitions, const std::vector<std::wstring>& paths) {
  const ScreenBuffer screen;
  for (const std::wstring& path : paths) {
    const Shown shown = ShowPicture(path, screen);  // warms the caches and the DLLs for both
    const ScreenBuffer* const ownSize = shown.natural == shown.drawn ? &screen : nullptr;
    DecodeBare(path, ownSize);
    const auto [bareMs, pipelineMs] = SideBySide(
        repetitions, [&] { DecodeBare(path, ownSize); }, [&] { ShowPicture(path, screen); });
    std::printf("| %s | %dx%d | %dx%d | %.1f | %.1f | %.2f |\n", Narrow(FileName(path)).c_str(),
                shown.natural.width, shown.natural.height, shown.drawn.width, shown.drawn.height,
                bareMs, pipelineMs, pipelineMs / bareMs);
    std::fflush(stdout);
  }
  return 0;
}

// The pipeline on one picture against the pipeline on another (a photo with a colour profile
// against the same photo without), side by side.
int Versus(int repetitions, const std::wstring& path, const std::wstring& other) {
  const ScreenBuffer screen;
  ShowPicture(path, screen);
  ShowPicture(other, screen);
  const auto [firstMs, secondMs] = SideBySide(
      repetitions, [&] { ShowPicture(path, screen); }, [&] { ShowPicture(other, screen); });
  std::printf("| %s | %s | %.1f | %.1f | %.2f |\n", Narrow(FileName(path)).c_str(),
              Narrow(FileName(other)).c_str(), firstMs, secondMs, firstMs / secondMs);
  return 0;
}

// The pipeline on a picture for a monitor with the colour profile in `profile` against the same
// for a monitor with none, side by side, and what the conversion adds a shown pixel.
int Monitor(int repetitions, const std::wstring& path, const std::wstring& profile) {
  const Display monitor = MonitorWith(profile);
  if (monitor->IsSrgb()) throw std::runtime_error("no conversion to " + Narrow(profile));
  const ScreenBuffer screen;
  const Shown shown = ShowPicture(path, screen, monitor);
  ShowPicture(path, screen);
  const auto [withMs, withoutMs] = SideBySide(
      repetitions, [&] { ShowPicture(path, screen, monitor); }, [&] { ShowPicture(path, screen); });
  const double nanoseconds = (withMs - withoutMs) * 1e6 / double(platform::PixelCount(shown.drawn));
  std::printf("| %s | %s | %.1f | %.1f | %.1f |\n", Narrow(FileName(path)).c_str(),
              Narrow(FileName(profile)).c_str(), withMs, withoutMs, nanoseconds);
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
  // How long the show's thread is held: the show's whole pass, up to where it is refused, which
  // may be while it is drawn.
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
    int tolerance;        // for JPEG's rounding and WIC's own premultiplying
  };
  const Flat flats[] = {
      {L"flat.png", 0xFF336699, 0},
      {L"flat.bmp", 0xFF336699, 0},
      {L"flat.tif", 0xFF336699, 0},
      {L"flat.gif", 0xFF336699, 0},
      {L"gray.jpg", 0xFF808080, 0},
      {L"translucent.png", 0x801A334D, 1},
      // Unusual but valid: CMYK and progressive JPEG, 16-bit, interlaced and palette PNG with
      // a transparent entry, an animated GIF's first frame, a 16-bit grey TIFF.
      {L"cmyk.jpg", 0xFF336699, 2},
      {L"progressive.jpg", 0xFF336699, 1},
      {L"deep.png", 0xFF336699, 0},
      {L"deep-translucent.png", 0x801A334D, 1},
      {L"interlaced.png", 0xFF336699, 0},
      {L"palette-transparent.png", 0x00000000, 0},
      {L"animated.gif", 0xFF336699, 0},
      {L"grey.tif", 0xFF808080, 0},
  };
  for (const Flat& flat : flats) {
    try {
      const std::wstring path = folder + L"\\" + flat.file;
      const PixelSize fitted = ShownAt(path);
      platform::Picture picture(Open(path));
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

// A drawing as a drawing program saves one: an A3 sheet in landscape (1587 x 1123 pixels at
// 96 DPI) of filled shapes, a mesh of hairlines and lines of text.
int MakeDrawing(const std::wstring& path) {
  const RECT sheet{0, 0, 42000, 29700};  // in hundredths of a millimetre
  HDC dc = CreateEnhMetaFileW(nullptr, path.c_str(), &sheet, nullptr);
  if (dc == nullptr) throw std::runtime_error("GDI cannot make a metafile");
  const PixelSize size{1587, 1123};
  unsigned seed = 7;
  const auto next = [&seed](int below) {
    seed = seed * 1103515245u + 12345u;
    return static_cast<int>((seed >> 8) % static_cast<unsigned>(below));
  };
  for (int i = 0; i < 600; ++i) {
    const platform::win32::UniqueBrush brush(
        CreateSolidBrush(RGB(next(256), next(256), next(256))));
    SelectObject(dc, brush.get());
    const int x = next(size.width), y = next(size.height), r = 10 + next(120);
    if (i % 2 == 0) {
      Ellipse(dc, x - r, y - r, x + r, y + r);
    } else {
      Rectangle(dc, x - r, y - r / 2, x + r, y + r / 2);
    }
    SelectObject(dc, GetStockObject(NULL_BRUSH));
  }
  for (int i = 0; i < 3000; ++i) {
    MoveToEx(dc, next(size.width), next(size.height), nullptr);
    LineTo(dc, next(size.width), next(size.height));
  }
  for (int line = 0; line < 40; ++line) {
    const std::wstring text = L"Line " + std::to_wstring(line) + L" of the drawing's legend";
    TextOutW(dc, 40, 20 + line * 27, text.c_str(), static_cast<int>(text.size()));
  }
  const platform::win32::UniqueEnhancedMetafile made(CloseEnhMetaFile(dc));
  if (!made) throw std::runtime_error("GDI cannot write " + Narrow(path));
  return 0;
}

int Run(const std::vector<std::wstring>& args) {
  try {
    processFactory = platform::win32::CreateWicFactory();
    if (args.size() >= 3 && args[0] == L"time") {
      return Time(std::stoi(args[1]), {args.begin() + 2, args.end()});
    }
    if (args.size() == 4 && args[0] == L"versus") {
      return Versus(std::stoi(args[1]), args[2], args[3]);
    }
    if (args.size() == 4 && args[0] == L"monitor") {
      return Monitor(std::stoi(args[1]), args[2], args[3]);
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
    if (args.size() == 2 && args[0] == L"drawing") return MakeDrawing(args[1]);
    if (args.size() == 2 && args[0] == L"cost") return ReportCost(args[1]);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "picture_bench: %s\n", error.what());
    return 1;
  }
  std::fprintf(
      stderr,
      "usage: picture_bench time <repetitions> <picture>... | versus <repetitions> <picture> "
      "<other> | monitor <repetitions> <picture> <profile> | peak-pipeline <picture> | "
      "peak-decoder <picture> | check <folder> | cost <picture> | drawing <emf>\n");
  return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const platform::win32::ComApartment com;
  const int code = Run({argv + 1, argv + argc});
  processFactory.Reset();
  return code;
}
