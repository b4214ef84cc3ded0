#pragma once
// The folder the saver runs from, inside the prefix's C: drive: a copy of the saver and the
// pictures a test makes for itself.
#include <filesystem>
#include <string>
#include <vector>

#include "harness/screen_image.h"
#include "harness/wine_prefix.h"

namespace e2e {

struct TestPicture {
  std::string file;  // QMAR5201.DAT …
  int width = 0;
  int height = 0;
  Rgb colour;          // bright enough to tell from black
  std::string format;  // ImageMagick's name for the file format: png, jpg, bmp …
};

class ProgramFolder {
 public:
  // Makes C:\e2e\<name>\ with the saver and the pictures in it.
  ProgramFolder(const WinePrefix& prefix, const std::string& name,
                const std::filesystem::path& saver, const std::vector<TestPicture>& pictures);
  ProgramFolder(const ProgramFolder&) = delete;
  ProgramFolder& operator=(const ProgramFolder&) = delete;
  ~ProgramFolder();

  // The folder on the host, for a test to put its own files in.
  [[nodiscard]] const std::filesystem::path& HostPath() const { return folder_; }
  // The saver's path as Windows sees it.
  [[nodiscard]] const std::string& SaverPath() const { return saver_path_; }

 private:
  std::filesystem::path folder_;
  std::string saver_path_;
};

}  // namespace e2e
