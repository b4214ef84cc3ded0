#include <gtest/gtest.h>

#include "harness/suite.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::AddGlobalTestEnvironment(new e2e::Suite);  // gtest takes ownership
  return RUN_ALL_TESTS();
}
