#pragma once
// The show window: covers the screen in black, puts the cursor, the input method and the task
// bar away, shows the numbered pictures one per tick, and puts everything back when a key, a
// mouse button or a real mouse movement ends the show.
#include "platform/controls.h"
#include "platform/form.h"

class Module1;

class Form1 final : public platform::Form {
 public:
  Form1(platform::Runtime& runtime, Module1& module);

  void ShowNextPicture();

  platform::Image Image1;
  platform::Timer Timer1;

  // The show's state; zero until the form is loaded.
  bool FirstMove = false;
  platform::Single LastMouseX = 0;
  platform::Single LastMouseY = 0;
  platform::Handle SavedImeContext = 0;
  platform::Handle TaskbarWindow = 0;
  platform::Integer PictureNumber = 0;
  platform::Integer PictureCount = 0;

 private:
  void Form_Load() override;
  void Form_Unload(platform::Integer& Cancel) override;
  void Form_KeyDown(platform::Integer KeyCode, platform::Integer Shift) override;
  void Form_MouseDown(platform::Integer Button, platform::Integer Shift, platform::Single X,
                      platform::Single Y) override;
  void Form_MouseMove(platform::Integer Button, platform::Integer Shift, platform::Single X,
                      platform::Single Y) override;
  void Image1_MouseDown(platform::Integer Button, platform::Integer Shift, platform::Single X,
                        platform::Single Y);
  void Image1_MouseMove(platform::Integer Button, platform::Integer Shift, platform::Single X,
                        platform::Single Y);
  void Timer1_Timer();

  // The mouse-move rule both handlers share.
  void TrackMouse(platform::Single X, platform::Single Y);
  void FitPictureToScreen(double SW, double SH, double R);

  Module1& module_;
};
