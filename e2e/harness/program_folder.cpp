#include "harness/program_folder.h"

#include <algorithm>
#include <sstream>

#include "harness/child_process.h"

namespace e2e {

namespace {

constexpr const char* kSaverFile = "slideshow.scr";

// The picture's colour with a white disc in the middle: easy to measure, and a person looking
// at the screenshot sees at once whether it is squashed.
void MakePicture(const std::filesystem::path& folder, const TestPicture& picture) {
  const int radius = std::min(picture.width, picture.height) / 3;
  const int cx = picture.width / 2;
  const int cy = picture.height / 2;
  std::ostringstream disc;
  disc << "circle " << cx << "," << cy << " " << cx << "," << cy - radius;
  RunTool({"convert", "-size", std::to_string(picture.width) + "x" + std::to_string(picture.height),
           "xc:rgb(" + std::to_string(picture.colour.r) + "," + std::to_string(picture.colour.g) +
               "," + std::to_string(picture.colour.b) + ")",
           "-fill", "white", "-draw", disc.str(),
           picture.format + ":" + (folder / picture.file).string()},
          {});
}

}  // namespace

ProgramFolder::ProgramFolder(const WinePrefix& prefix, const std::string& name,
                             const std::filesystem::path& saver,
                             const std::vector<TestPicture>& pictures)
    : folder_(prefix.DriveC() / "e2e" / name), saver_path_("C:\\e2e\\" + name + "\\" + kSaverFile) {
  std::filesystem::remove_all(folder_);
  std::filesystem::create_directories(folder_);
  std::filesystem::copy_file(saver, folder_ / kSaverFile);
  for (const TestPicture& picture : pictures) MakePicture(folder_, picture);
}

ProgramFolder::~ProgramFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

}  // namespace e2e
