// The show moves on to the next picture of the folder once a picture period has passed.
#include "screen/picture_cycle.h"

#include "harness/saver_test.h"

namespace e2e {
namespace {

using PictureCycleTest = SaverTest;

TEST_F(PictureCycleTest, ShowsTheNextPictureAfterOneTick) {
  const TestPicture first{"QMAR5201.DAT", 800, 600, {255, 140, 0}, "png"};
  const TestPicture second{"QMAR5202.DAT", 640, 480, {0, 170, 255}, "jpg"};
  const Box first_box{112, 84, 800, 600};
  const Box second_box{192, 144, 640, 480};
  const ProgramFolder folder = MakeFolder("cycle", {first, second});
  ChildProcess saver = StartSaver(folder, {"/s"});

  const std::optional<Shown> shown = WaitForSteadyPicture(20s, "first");
  ASSERT_TRUE(shown) << "the show did not start; see out/e2e/";
  ASSERT_TRUE(NearlyEqual(shown->box, first_box))
      << "first picture: got " << shown->box << ", expected " << first_box;
  const auto first_seen = std::chrono::steady_clock::now();

  const auto timeout = screen::kPicturePeriod + 15s;
  const std::optional<Shown> next = WaitForPictureAt(second_box, timeout, "second");
  ASSERT_TRUE(next) << "QMAR5202.DAT did not appear at " << second_box << " within "
                    << timeout.count() << " ms";
  const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - first_seen);
  // The tick is a period from the show's start, a little before the first picture was seen.
  EXPECT_GE(elapsed, screen::kPicturePeriod - 5s)
      << "the next picture came " << elapsed.count() << " ms after the first was seen, expected "
      << screen::kPicturePeriod.count() << " ms";
  const Rgb inside = next->image.At(second_box.left + 4, second_box.top + 4);
  EXPECT_TRUE(Near(inside, second.colour))
      << "second picture's colour: got " << inside << ", expected " << second.colour;
  EXPECT_TRUE(saver.Running()) << "the saver ended on the tick";
}

}  // namespace
}  // namespace e2e
