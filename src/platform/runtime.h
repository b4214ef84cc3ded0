#pragma once
// The application run-time the windows and the start routine are written against: the
// application and screen objects, the command line, message boxes, pictures, ending, and the
// book of loaded forms that decides when the program ends by itself.
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "platform/binding.h"
#include "platform/numbers.h"
#include "platform/pictures/picture.h"

namespace platform {

class Form;

// The screen's size in twips.
struct ScreenObject {
  Single Width = 0;
  Single Height = 0;
};

inline constexpr double kTwipsPerInch = 1440.0;

// Whole pixels at the DPI; half a pixel rounds away from zero.
[[nodiscard]] inline int TwipsToPixels(double twips, int dpi) {
  return static_cast<int>(std::lround(twips * dpi / kTwipsPerInch));
}

class Runtime {
 public:
  explicit Runtime(Binding& binding);
  Runtime(const Runtime&) = delete;
  Runtime& operator=(const Runtime&) = delete;
  ~Runtime() = default;

  const AppObject App;
  const ScreenObject Screen;

  [[nodiscard]] std::string Command() const { return binding_.CommandLine(); }
  [[nodiscard]] SystemCalls& System() const { return binding_.System(); }
  [[nodiscard]] Binding& binding() const { return binding_; }

  // A message box with only an OK button, the one kind the windows show.
  void MsgBox(const std::string& prompt, const std::string& title);
  // Loads a picture file; the format comes from the content. Throws RunTimeError.
  std::shared_ptr<Picture> LoadPicture(const std::string& path);
  [[noreturn]] void End();
  [[nodiscard]] bool FileExists(const std::string& path) const { return binding_.FileExists(path); }
  // Starts another program without waiting for it. Throws RunTimeError.
  void Shell(const std::string& path, int showMode) { binding_.StartProgram(path, showMode); }

  // Bookkeeping of the forms; called by Form.
  void FormLoaded(Form& form);
  void FormUnloaded(Form& form);
  void RunModal(Form& form);

 private:
  Binding& binding_;
  std::vector<Form*> loaded_;
};

}  // namespace platform
