#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <cstring>

#include "platform/testing/temp_environment.h"

int main(int argc, char** argv) {
  kp::testing::SetUpTemporaryEnvironment();
  // Listing tests happens at build time, where there may be no display at
  // all; only running them needs the application object.
  bool listing = false;
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--gtest_list_tests") == 0) listing = true;
  ::testing::InitGoogleTest(&argc, argv);
  if (listing) return RUN_ALL_TESTS();

  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  // A native file dialog cannot be seen or closed by a test and would hang it.
  QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
