// The shapes file named on the command line, in cases no window is needed for.

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <string>

#include "editor/ui/start_shapes_file.h"
#include "platform/testing/in_child.h"
#include "platform/testing/temp_environment.h"

namespace {

// A relative name has no absolute path once the current folder is deleted:
// the editor says it cannot use it and starts with none chosen, where it
// used to end on an uncaught exception.
TEST(StartShapesFile, ARelativeNameInADeletedFolderIsNotAReadableFile) {
  const int status = kp::testing::InChild([] {
    std::string folder = kp::testing::TemporaryRoot() + "/gone-XXXXXX";
    if (::mkdtemp(folder.data()) == nullptr || ::chdir(folder.c_str()) != 0 || ::rmdir(folder.c_str()) != 0) return 2;
    const StartShapesFile start = TakeStartShapesFile("shapes.shp2");
    const bool said = start.problem ==
                      "Cannot use shapes.shp2 as the shapes file (No such file or directory); the editor starts "
                      "with none chosen.";
    return start.path.IsEmpty() && said ? 0 : 1;
  });
  EXPECT_EQ(status, 0);
}

}  // namespace
