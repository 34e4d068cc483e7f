#include <gtest/gtest.h>

#include "platform/testing/temp_environment.h"

int main(int argc, char** argv) {
  kp::testing::SetUpTemporaryEnvironment();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
