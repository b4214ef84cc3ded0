// A picture that cannot be shown leaves the screen black for its period, and the show goes on
// to the next one; one crafted to cost gigabytes costs no more than an ordinary one.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <thread>

#include "harness/saver_test.h"
#include "harness/wait.h"
#include "harness/x_input.h"
#include "screen/picture_cycle.h"

namespace e2e {
namespace {

const TestPicture kNext{"QMAR5202.DAT", 640, 480, {0, 170, 255}, "png"};
const Box kNextBox{192, 144, 640, 480};
// An ordinary picture's show peaks near 20 MB; decoding any of the crafted files would take
// gigabytes.
constexpr double kPeakMemoryMb = 100;

struct BrokenCase {
  const char* name;
  // Spoils QMAR5201.DAT in the folder, which holds a good 800 x 600 PNG of that name.
  std::function<void(const std::filesystem::path& file)> spoil;
};

void PrintTo(const BrokenCase& c, std::ostream* out) { *out << c.name; }

class BrokenPictureTest : public SaverTest, public ::testing::WithParamInterface<BrokenCase> {};

TEST_P(BrokenPictureTest, LeavesTheScreenBlackThenShowsTheNext) {
  const ProgramFolder folder =
      MakeFolder("broken", {{"QMAR5201.DAT", 800, 600, {255, 140, 0}, "png"}, kNext});
  GetParam().spoil(folder.HostPath() / "QMAR5201.DAT");
  ChildProcess saver = StartSaver(folder, {"/s"});

  // Black all over, task bar included, for a good while before the tick.
  EXPECT_TRUE(WaitUntil(10s, [&] { return !Screenshot("black").NonBlackBox(); }))
      << "the screen did not turn all black; see out/e2e/";
  std::this_thread::sleep_for(screen::kPicturePeriod / 4);
  EXPECT_FALSE(Screenshot("still-black").NonBlackBox()) << "something was drawn; see out/e2e/";
  ASSERT_TRUE(saver.Running()) << "the saver ended on the broken picture";
  const std::optional<ProcessUsage> usage = saver.Usage();
  ASSERT_TRUE(usage) << "no memory figure for the saver";
  EXPECT_LT(usage->peakMb, kPeakMemoryMb) << "MB at the most";

  EXPECT_TRUE(WaitForPictureAt(kNextBox, screen::kPicturePeriod + 10s, "next"))
      << "QMAR5202.DAT did not appear at " << kNextBox << " after the tick";
  EXPECT_TRUE(saver.Running());
}

void WriteFile(const std::filesystem::path& file, const std::string& bytes) {
  std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

std::string Be16(unsigned value) { return {char(value >> 8), char(value)}; }

// A grey JPEG frame header of the size, tables of one one-bit code each and a few bytes of data,
// which a decoder takes as a grey picture of that size cut short.
std::string GreyJpegFrame(unsigned width, unsigned height) {
  const std::string oneCode = std::string("\x01", 1) + std::string(16, '\0');
  return std::string("\xFF\xDB\0\x43\0", 5) + std::string(64, '\x01') +
         std::string("\xFF\xC0\0\x0B\x08", 5) + Be16(height) + Be16(width) +
         std::string("\x01\x01\x11\0", 4) + std::string("\xFF\xC4\0\x14\x00", 5) + oneCode +
         std::string("\xFF\xC4\0\x14\x10", 5) + oneCode +
         std::string("\xFF\xDA\0\x08\x01\x01\0\0\x3F\0", 10) + std::string(400, '\0') + "\xFF\xD9";
}

INSTANTIATE_TEST_SUITE_P(
    Files, BrokenPictureTest,
    ::testing::Values(
        // A PNG header declaring 100000 x 100000 pixels: refused before any decoder sees it.
        BrokenCase{"AbsurdSize",
                   [](const std::filesystem::path& file) {
                     static constexpr char kHeader[] =
                         "\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\x01\x86\xa0\0\x01\x86\xa0\x08\x02\0\0\0"
                         "\x27\x30\x9c\x9f";
                     WriteFile(file, std::string(kHeader, sizeof kHeader - 1));
                   }},
        // Header and dimensions intact, pixel data cut short: the decoder fails late.
        BrokenCase{"Truncated",
                   [](const std::filesystem::path& file) {
                     std::filesystem::resize_file(file, std::filesystem::file_size(file) / 3);
                   }},
        // A stuffed zero where a marker belongs: a length read from it leads to a 16 x 16 frame
        // hidden in the next segment, which the decoder skips on its way to 20000 x 20000.
        BrokenCase{"JpegHidingItsFrame",
                   [](const std::filesystem::path& file) {
                     const std::string hidden =
                         std::string("\xFF\xC0\0\x0B\x08\0\x10\0\x10\x01\x01\x11\0", 13);
                     WriteFile(file, std::string("\xFF\xD8\xFF\0\0\x08\xFF\xE1", 8) +
                                         Be16(unsigned(4 + hidden.size())) + std::string(2, '\0') +
                                         hidden + GreyJpegFrame(20000, 20000));
                   }},
        // 60 bytes: run-length coded 15811 x 15811 pixels that end at once, a gigabyte decoded.
        BrokenCase{"RunLengthBitmapOfAQuarterGigapixel",
                   [](const std::filesystem::path& file) {
                     static constexpr char kBitmap[] =
                         "BM\x3C\0\0\0\0\0\0\0\x3A\0\0\0"
                         "\x28\0\0\0\xC3\x3D\0\0\xC3\x3D\0\0\x01\0\x08\0\x01\0\0\0"
                         "\x02\0\0\0\x13\x0B\0\0\x13\x0B\0\0\x01\0\0\0\0\0\0\0"
                         "\0\0\0\0\0\x01";
                     WriteFile(file, std::string(kBitmap, sizeof kBitmap - 1));
                   }},
        // A format we do not read goes to WIC, which finds no codec for the noise after it.
        BrokenCase{"UnknownSignatureThenNoise",
                   [](const std::filesystem::path& file) {
                     std::string noise("RIFF\0\x10\0\0WEBPVP8 ", 16);
                     std::uint32_t state = 12345;
                     for (int i = 0; i < 4096; ++i) {
                       state = state * 1103515245u + 12345u;
                       noise += char(state >> 24);
                     }
                     WriteFile(file, noise);
                   }},
        BrokenCase{"FolderOfThatName",
                   [](const std::filesystem::path& file) {
                     std::filesystem::remove(file);
                     std::filesystem::create_directory(file);
                   }}),
    CaseName());

std::string Le16(unsigned value) { return {char(value), char(value >> 8)}; }
std::string Le32(std::uint32_t value) { return Le16(value & 0xFFFF) + Le16(value >> 16); }

// A 64 x 48 GIF of one frame whose LZW data is sound, and no colour table anywhere: a decoder that
// looks its colours up reads through a table that is not there.
std::string GifWithoutColours() {
  static constexpr char kCodes[] =  // 3072 zeros, LZW-coded at two bits a pixel
      "\x84\x8F\xA9\xCB\xED\x0F\xA3\x9C\xB4\xDA\x8B\xB3\xDE\xBC\xFB\x0F\x86\xE2\x48\x96\xE6\x89"
      "\xA6\xEA\xCA\xB6\xEE\x0B\xC7\xF2\x4C\xD7\xF6\x8D\xE7\xFA\xCE\xF7\xFE\x0F\x0C\x0A\x87\xC4"
      "\xA2\xF1\x88\x4C\x2A\x97\xCC\xA6\xF3\x09\x8D\x26\x0B";
  const std::string codes(kCodes, sizeof kCodes - 1);
  return "GIF89a" + Le16(64) + Le16(48) + std::string(3, '\0') + "\x2C" + Le32(0) + Le16(64) +
         Le16(48) + std::string(1, '\0') + "\x02" + char(codes.size()) + codes +
         std::string(1, '\0') + "\x3B";
}

// A 64 x 48 grey TIFF in one strip whose description claims 0x7FFFFFFF bytes of a 3 KB file: a
// decoder that believes it reads for seconds into a gigabyte.
std::string TiffWithEndlessDescription() {
  constexpr std::uint32_t kEntries[][4] = {
      // tag, type, count, value
      {256, 3, 1, 64}, {257, 3, 1, 48},         {258, 3, 1, 8}, {259, 3, 1, 1},
      {262, 3, 1, 1},  {270, 2, 0x7FFFFFFF, 8}, {273, 4, 1, 0}, {277, 3, 1, 1},
      {278, 3, 1, 48}, {279, 4, 1, 64 * 48}};
  const std::uint32_t pixelsAt = 8 + 2 + 12 * std::size(kEntries) + 4;
  std::string file = "II*" + std::string(1, '\0') + Le32(8) + Le16(std::size(kEntries));
  for (const auto& [tag, type, count, value] : kEntries) {
    file += Le16(tag) + Le16(type) + Le32(count) + Le32(tag == 273 ? pixelsAt : value);
  }
  return file + Le32(0) + std::string(64 * 48, '\x80');
}

// A file crafted to crash a decoder, one to hold it for seconds, and one to cost twice the budget
// (an icon around a PNG that alone is as costly as the budget allows), one after the other: the
// saver lives through their turns, black, and shows the picture after them.
class BrokenPictureSeriesTest : public SaverTest {};

TEST_F(BrokenPictureSeriesTest, CrashFreezeAndBombAreBlackForTheirTurnsThenTheNextIsShown) {
  const ProgramFolder folder =
      MakeFolder("hostile", {{"QMAR5203.DAT", 6476, 6476, {255, 140, 0}, "png"},
                             {"QMAR5204.DAT", 640, 480, {0, 170, 255}, "png"}});
  WriteFile(folder.HostPath() / "QMAR5201.DAT", GifWithoutColours());
  WriteFile(folder.HostPath() / "QMAR5202.DAT", TiffWithEndlessDescription());
  const std::filesystem::path bomb = folder.HostPath() / "QMAR5203.DAT";
  const auto png = std::filesystem::file_size(bomb);
  std::string icon = std::string(2, '\0') + Le16(1) + Le16(1) + std::string(4, '\0') + Le16(1) +
                     Le16(32) + Le32(std::uint32_t(png)) + Le32(22);
  icon.resize(22 + png);
  std::ifstream(bomb, std::ios::binary).read(icon.data() + 22, std::streamsize(png));
  WriteFile(bomb, icon);
  ChildProcess saver = StartSaver(folder, {"/s"});

  // Three turns, black all through: each looked at about its middle.
  EXPECT_TRUE(WaitUntil(10s, [&] { return !Screenshot("black").NonBlackBox(); }))
      << "the screen did not turn all black; see out/e2e/";
  for (int turn = 1; turn <= 3; ++turn) {
    std::this_thread::sleep_for(turn == 1 ? screen::kPicturePeriod * 2 / 5
                                          : screen::kPicturePeriod);
    const std::string label = "turn-" + std::to_string(turn);
    EXPECT_FALSE(Screenshot(label).NonBlackBox()) << "drawn on " << label << "; see out/e2e/";
    ASSERT_TRUE(saver.Running()) << "the saver ended by " << label;
  }
  EXPECT_TRUE(WaitForPictureAt(kNextBox, screen::kPicturePeriod + 10s, "next"))
      << "QMAR5204.DAT did not appear at " << kNextBox << " after three black turns";
  ASSERT_TRUE(saver.Running());
  const std::optional<ProcessUsage> usage = saver.Usage();
  ASSERT_TRUE(usage) << "no memory figure for the saver";
  EXPECT_LT(usage->peakMb, kPeakMemoryMb) << "MB at the most";
}

std::string Be32(std::uint32_t value) { return Be16(value >> 16) + Be16(value & 0xFFFF); }

// Floods of tiny parts, each costing a decoder something while costing the file a few bytes.
// A 64 x 64 grey PNG whose header is followed by a million empty zTXt chunks (15 MB).
std::string PngOfAMillionTextChunks() {
  const std::string chunk = Be32(3) + "zTXtk" + std::string(2, '\0') + Be32(0xEAD78DFA);
  static constexpr char kHeader[] =
      "\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\0\x40\0\0\0\x40\x08\0\0\0\0\x8f\x02\x2e\x02";
  std::string file(kHeader, sizeof kHeader - 1);
  file.reserve(file.size() + 1'000'000 * chunk.size());
  for (int i = 0; i < 1'000'000; ++i) file += chunk;
  return file;  // no pixels or end: the decoder would find it cut short, were it let in
}

// An 8 x 8 GIF whose million comments (5 MB) come before its frame.
std::string GifOfAMillionComments() {
  std::string file =
      "GIF89a" + Le16(8) + Le16(8) + std::string("\x80\0\0", 3) + std::string(6, '\0');
  const std::string comment("\x21\xFE\x01\x63\0", 5);
  file.reserve(file.size() + 1'000'000 * comment.size() + 32);
  for (int i = 0; i < 1'000'000; ++i) file += comment;
  return file + "\x2C" + Le32(0) + Le16(8) + Le16(8) + std::string("\0\x02\x02\x44\x01\0\x3B", 7);
}

// A 1000 x 750 EMF of 100 000 rectangles, each filling all of it (2.4 MB): few records, many
// pixels each.
std::string EmfOfFillingRectangles() {
  constexpr std::uint32_t kRecords = 100'000, kBytes = 88 + 24 * kRecords + 20;
  const auto himetric = [](std::uint32_t pixels) { return Le32(pixels * 2540 / 96); };
  std::string file = Le32(1) + Le32(88) + Le32(0) + Le32(0) + Le32(999) + Le32(749) + Le32(0) +
                     Le32(0) + himetric(1000) + himetric(750) + " EMF" + Le32(0x10000) +
                     Le32(kBytes) + Le32(kRecords + 2) + Le16(1) + Le16(0) + Le32(0) + Le32(0) +
                     Le32(0) + Le32(1920) + Le32(1080) + Le32(508) + Le32(285);
  const std::string rectangle = Le32(43) + Le32(24) + Le32(0) + Le32(0) + Le32(1000) + Le32(750);
  file.reserve(kBytes);
  for (std::uint32_t i = 0; i < kRecords; ++i) file += rectangle;
  return file + Le32(14) + Le32(20) + Le32(0) + Le32(16) + Le32(20);
}

// Each flood is black for its turn, and a click as the last is drawn ends the show as fast as after
// an ordinary picture: no part of a file holds the show's thread.
TEST_F(BrokenPictureSeriesTest, FloodsOfTinyPartsAreBlackForTheirTurnsAndAClickEndsTheShow) {
  const ProgramFolder folder =
      MakeFolder("floods", {{"QMAR5204.DAT", 640, 480, {0, 170, 255}, "png"}});
  WriteFile(folder.HostPath() / "QMAR5201.DAT", PngOfAMillionTextChunks());
  WriteFile(folder.HostPath() / "QMAR5202.DAT", GifOfAMillionComments());
  WriteFile(folder.HostPath() / "QMAR5203.DAT", EmfOfFillingRectangles());
  ChildProcess saver = StartSaver(folder, {"/s"});

  ASSERT_TRUE(WaitUntil(10s, [&] { return !Screenshot("black").NonBlackBox(); }))
      << "the screen did not turn all black; see out/e2e/";
  const auto shown = std::chrono::steady_clock::now();
  for (int turn = 1; turn <= 2; ++turn) {
    std::this_thread::sleep_until(shown + (turn - 1) * screen::kPicturePeriod +
                                  screen::kPicturePeriod * 2 / 5);
    const std::string label = "flood-" + std::to_string(turn);
    EXPECT_FALSE(Screenshot(label).NonBlackBox()) << "drawn on " << label << "; see out/e2e/";
    ASSERT_TRUE(saver.Running()) << "the saver ended by " << label;
  }
  // The third turn comes two periods after the first.
  std::this_thread::sleep_until(shown + 2 * screen::kPicturePeriod);
  ClickButton(display(), 1);
  // The costliest honest picture holds the show's thread about a second; Wine's exit takes 2.
  EXPECT_TRUE(saver.WaitForExit(3s)) << "the saver still runs 3 s after the click";
}

}  // namespace
}  // namespace e2e
