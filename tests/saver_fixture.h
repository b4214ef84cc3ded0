#pragma once
// Starts the program in the in-memory binding, as the system would with a command line.
#include <memory>
#include <string>

#include "platform/runtime.h"
#include "platform/sim/sim_binding.h"
#include "start/module1.h"

// Counts the calls of the settings-save hook.
struct CountingModule : Module1 {
  using Module1::Module1;
  bool SaveSettings() override {
    ++saves;
    return Module1::SaveSettings();
  }
  int saves = 0;
};

struct Saver {
  sim::SimBinding sim;
  std::unique_ptr<platform::Runtime> runtime;
  std::unique_ptr<CountingModule> module;

  void Start(const std::string& commandLine) {
    sim.commandLine = commandLine;
    runtime = std::make_unique<platform::Runtime>(sim);
    module = std::make_unique<CountingModule>(*runtime);
    sim.Run([&] { module->Main(); });
  }

  // Whether the program has ended, by End or because no window is left.
  [[nodiscard]] bool Ended() const { return sim.ended || sim.quit || sim.Windows().empty(); }
};
