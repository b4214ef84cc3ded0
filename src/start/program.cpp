// The program's own entry: the run-time over the binding, the start routine, then events for as
// long as a window is open. The forms belong to Module1, so it outlives the message loop.
#include "platform/program.h"

#include "platform/runtime.h"
#include "start/module1.h"

int platform::RunProgram(Binding& binding, const std::function<int()>& messageLoop) {
  Runtime runtime(binding);
  Module1 module(runtime);
  module.Main();
  return messageLoop();
}
