#pragma once
// The start routine and what the windows share through it: the settings-file path and the
// settings-save hook called on the way out.
#include <memory>
#include <string>

#include "platform/runtime.h"

class Form1;
class Form2;

class Module1 {
 public:
  explicit Module1(platform::Runtime& runtime);
  Module1(const Module1&) = delete;
  Module1& operator=(const Module1&) = delete;
  virtual ~Module1();

  // Decides from the command line which window to open, then returns; the program lives on
  // while a window is open.
  void Main();
  bool BuildIniFilePath();
  // Called by the windows on their way out. Nothing is stored: the saver has no settings.
  virtual bool SaveSettings();

  std::string IniFilePath;

  // The windows, each created on first use.
  Form1& form1();
  Form2& form2();

 private:
  platform::Runtime& runtime_;
  std::unique_ptr<Form1> form1_;
  std::unique_ptr<Form2> form2_;
};
