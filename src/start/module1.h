#pragma once
// The start routine and what the windows share through it: the settings-file path and the
// settings-save hook called on the way out.
#include <memory>
#include <string>

#include "platform/runtime.h"

class Form1;

class Module1 {
 public:
  explicit Module1(platform::Runtime& runtime);
  Module1(const Module1&) = delete;
  Module1& operator=(const Module1&) = delete;
  ~Module1();

  // Decides from the command line which window to open, then returns; the program lives on
  // while a window is open.
  void Main();
  bool BuildIniFilePath();
  bool SaveSettings();

  std::string IniFilePath;

  // The windows, each created on first use.
  Form1& form1();

 private:
  platform::Runtime& runtime_;
  std::unique_ptr<Form1> form1_;
};
