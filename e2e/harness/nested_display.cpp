#include "harness/nested_display.h"

#include <string>

namespace e2e {

namespace {

std::string SizeOf(const Box& head) {
  return std::to_string(head.width) + "x" + std::to_string(head.height);
}

}  // namespace

NestedDisplay::NestedDisplay(const XDisplay& host)
    : XDisplay("Xephyr",
               {"-screen", SizeOf(kFirstHead), "-screen", SizeOf(kSecondHead), "+xinerama",
                "-extension", "RANDR", "-retro", "-nolisten", "tcp"},
               host.environment()) {}

}  // namespace e2e
