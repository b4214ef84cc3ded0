// A picture that cannot be shown leaves the screen black for its 20 seconds, and the show goes on
// to the next one.
#include <filesystem>
#include <fstream>
#include <functional>

#include "harness/saver_test.h"
#include "harness/wait.h"

namespace e2e {
namespace {

const TestPicture kNext{"QMAR5202.DAT", 640, 480, {0, 170, 255}, "png"};
const Box kNextBox{192, 144, 640, 480};

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
  std::this_thread::sleep_for(5s);
  EXPECT_FALSE(Screenshot("still-black").NonBlackBox()) << "something was drawn; see out/e2e/";
  ASSERT_TRUE(saver.Running()) << "the saver ended on the broken picture";

  EXPECT_TRUE(WaitForPictureAt(kNextBox, 30s, "next"))
      << "QMAR5202.DAT did not appear at " << kNextBox << " after the tick";
  EXPECT_TRUE(saver.Running());
}

void WriteFile(const std::filesystem::path& file, const std::string& bytes) {
  std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Files, BrokenPictureTest,
    ::testing::Values(
        // A PNG header declaring 100000 x 100000 pixels: refused before any decoder sees it.
        BrokenCase{
            "AbsurdSize",
            [](const std::filesystem::path& file) {
              static constexpr char kHeader[] =
                  "\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\x01\x86\xa0\0\x01\x86\xa0\x08\x02\0\0\0";
              WriteFile(file, std::string(kHeader, sizeof kHeader - 1));
            }},
        // Header and dimensions intact, pixel data cut short: the decoder fails late.
        BrokenCase{"Truncated",
                   [](const std::filesystem::path& file) {
                     std::filesystem::resize_file(file, std::filesystem::file_size(file) / 3);
                   }},
        BrokenCase{"FolderOfThatName",
                   [](const std::filesystem::path& file) {
                     std::filesystem::remove(file);
                     std::filesystem::create_directory(file);
                   }}),
    CaseName());

}  // namespace
}  // namespace e2e
