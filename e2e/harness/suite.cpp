#include "harness/suite.h"

#include <cstdlib>
#include <memory>
#include <stdexcept>

namespace e2e {

namespace {

struct Shared {
  XDisplay display;
  WinePrefix prefix{display};
};

std::unique_ptr<Shared>& TheShared() {
  static std::unique_ptr<Shared> shared;
  return shared;
}

const Shared& Get() {
  if (!TheShared()) throw std::logic_error("the e2e suite environment is not set up");
  return *TheShared();
}

}  // namespace

void Suite::SetUp() {
  // Screenshots of an earlier run would mix with this run's.
  std::filesystem::remove_all(ScreenshotDir());
  TheShared() = std::make_unique<Shared>();
}

void Suite::TearDown() { TheShared().reset(); }

const XDisplay& SharedDisplay() { return Get().display; }

const WinePrefix& SharedPrefix() { return Get().prefix; }

std::filesystem::path SourceDir() { return E2E_SOURCE_DIR; }

std::filesystem::path ScreenshotDir() {
  if (const char* elsewhere = std::getenv("E2E_SCREENSHOTS"); elsewhere && *elsewhere) {
    return elsewhere;
  }
  return SourceDir() / "out/e2e";
}

}  // namespace e2e
