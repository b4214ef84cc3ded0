#include "show_fit.h"

#include <stdexcept>

#include "platform/runtime.h"
#include "platform/sim/sim_binding.h"
#include "screen/form1.h"
#include "start/module1.h"

platform::PixelSize ShownSize(platform::PixelSize natural, platform::PixelSize screen) {
  sim::SimBinding binding;
  binding.monitors = {{{0, 0, screen.width, screen.height}, 96}};
  binding.commandLine = "/s";
  binding.AddPicture(binding.app.Path + "\\QMAR5201.DAT", natural);
  platform::Runtime runtime(binding);
  Module1 module(runtime);
  sim::SimBinding::Run([&] { module.Main(); });
  const platform::Picture* shown = module.form1().Image1.GetPicture().get();
  if (shown == nullptr || shown->Rendered() == nullptr) throw std::runtime_error("nothing shown");
  return shown->Rendered()->size;
}
