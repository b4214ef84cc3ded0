// Which input ends the show: any key, any mouse button, and a move of more than 5 pixels from
// the reference position in both X and Y at once. The first move after a picture appears only
// sets that reference; Wine makes it at the screen's centre, where the fixture put the pointer.
// Every move here stays over the picture: positions over the picture and over the black around
// it are not measured from the same origin.
#include <functional>
#include <utility>

#include "harness/saver_test.h"
#include "harness/x_input.h"

namespace e2e {
namespace {

struct InputCase {
  const char* name;
  std::function<void(const XDisplay&)> send;
};

void PrintTo(const InputCase& c, std::ostream* out) { *out << c.name; }

std::function<void(const XDisplay&)> MovesBy(std::vector<std::pair<int, int>> offsets) {
  return [offsets = std::move(offsets)](const XDisplay& display) {
    for (const auto& [dx, dy] : offsets) MovePointer(display, kCentreX + dx, kCentreY + dy);
  };
}

class EndingInputTest : public SaverTest, public ::testing::WithParamInterface<InputCase> {};
class HarmlessInputTest : public SaverTest, public ::testing::WithParamInterface<InputCase> {};

const TestPicture kPicture{"QMAR5201.DAT", 800, 600, {255, 140, 0}, "png"};
// Shown 1024x512 at top 128: long horizontal moves along the middle stay over the picture.
const TestPicture kFullWidthPicture{"QMAR5201.DAT", 2048, 1024, {0, 170, 255}, "png"};

TEST_P(EndingInputTest, EndsTheSaverWithinTwoSeconds) {
  const ProgramFolder folder = MakeFolder("ending", {kPicture});
  ChildProcess saver = StartSaver(folder, {"/s"});
  ASSERT_TRUE(WaitForSteadyPicture()) << "the show did not start; see out/e2e/";

  GetParam().send(display());
  EXPECT_TRUE(saver.WaitForExit(2s)) << "the saver still runs 2 s after the input";
  Screenshot("after");
}

TEST_P(HarmlessInputTest, LeavesTheShowRunning) {
  const ProgramFolder folder = MakeFolder("harmless", {kFullWidthPicture});
  ChildProcess saver = StartSaver(folder, {"/s"});
  const std::optional<Shown> before = WaitForSteadyPicture();
  ASSERT_TRUE(before) << "the show did not start; see out/e2e/";

  GetParam().send(display());
  EXPECT_FALSE(saver.WaitForExit(2s)) << "the saver ended on this input";
  const std::optional<Box> after = Screenshot("after").NonBlackBox();
  ASSERT_TRUE(after) << "the screen went black";
  EXPECT_EQ(*after, before->box) << "the picture moved";
}

INSTANTIATE_TEST_SUITE_P(
    Input, EndingInputTest,
    ::testing::Values(
        InputCase{"LetterKey", [](const XDisplay& d) { PressKey(d, "a"); }},
        InputCase{"ShiftKey", [](const XDisplay& d) { PressKey(d, "shift"); }},
        InputCase{"LeftButton", [](const XDisplay& d) { ClickButton(d, 1); }},
        InputCase{"RightButton", [](const XDisplay& d) { ClickButton(d, 3); }},
        // A small first move may set the reference itself; the long one ends the show either way.
        InputCase{"DiagonalMove", MovesBy({{2, 2}, {40, 30}})},
        InputCase{"SixPixelsBothWays", MovesBy({{6, -6}})}),
    CaseName());

INSTANTIATE_TEST_SUITE_P(
    Input, HarmlessInputTest,
    ::testing::Values(InputCase{"HorizontalMoves", MovesBy({{480, 0}, {-500, 0}})},
                      InputCase{"VerticalMoves", MovesBy({{0, 240}, {0, -240}})},
                      InputCase{"FivePixelsBothWays", MovesBy({{5, -5}})}),
    CaseName());

}  // namespace
}  // namespace e2e
