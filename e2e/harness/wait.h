#pragma once
// Waiting for the system under test is always polling against a deadline, so a test is as fast
// as the program allows and fails with what it saw rather than hanging.
#include <chrono>
#include <thread>

namespace e2e {

using namespace std::chrono_literals;

// True as soon as done() is; false if it still is not after timeout.
template <typename Done>
bool WaitUntil(std::chrono::milliseconds timeout, Done done,
               std::chrono::milliseconds interval = 100ms) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(interval);
  }
  return true;
}

}  // namespace e2e
