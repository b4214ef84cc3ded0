// The saver finds its pictures beside itself whatever the folder is called.
#include "harness/saver_test.h"

namespace e2e {
namespace {

using FolderNameTest = SaverTest;

TEST_F(FolderNameTest, JapaneseNameWithSpacesStillShowsThePicture) {
  const Box expected{112, 84, 800, 600};
  const ProgramFolder folder =
      MakeFolder("写真 スライド ショー", {{"QMAR5201.DAT", 800, 600, {255, 140, 0}, "png"}});
  ChildProcess saver = StartSaver(folder, {"/s"});

  const std::optional<Shown> shown = WaitForSteadyPicture();
  ASSERT_TRUE(shown) << "no picture settled on a black screen; see out/e2e/";
  EXPECT_TRUE(NearlyEqual(shown->box, expected))
      << "got " << shown->box << ", expected " << expected;
}

}  // namespace
}  // namespace e2e
