// The kestrow-sample-shapes program, run as a person would run it.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "editor/shapes/sample/sample_shapes.h"
#include "editor/shapes/set_kinds.h"
#include "platform/file/file.h"
#include "platform/testing/temp_environment.h"

namespace {

struct ProgramRun {
  int status;
  std::string output;
};

ProgramRun RunProgram(const std::string& arguments) {
  const std::string command = std::string(KESTROW_MAKE_SAMPLE_SHAPES) + " " + arguments + " 2>&1";
  ProgramRun run{-1, {}};
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return run;
  char buffer[256];
  while (std::fgets(buffer, sizeof buffer, pipe)) run.output += buffer;
  const int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

std::vector<BYTE> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<BYTE>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(MakeSampleShapes, WritesTheSampleFile) {
  const std::string path = kp::testing::TemporaryRoot() + "/sample.shp2";
  const ProgramRun run = RunProgram("'" + path + "'");
  ASSERT_EQ(run.status, 0) << run.output;
  const std::vector<BYTE> written = ReadAll(path);
  EXPECT_EQ(written.size(), kExpectedShapesFileSize);
  EXPECT_TRUE(written == sample_shapes::MakeSampleShapes().Build())
      << "the program writes what the library builds";
}

TEST(MakeSampleShapes, WithoutAPathShowsUsageAndHelpAskedForSucceeds) {
  const ProgramRun run = RunProgram("");
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.output.find("usage: kestrow-sample-shapes OUT"), std::string::npos) << run.output;
  const ProgramRun help = RunProgram("--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.output.find("usage: kestrow-sample-shapes OUT"), std::string::npos) << help.output;
  // An option it does not have is not taken for a file name.
  const ProgramRun option = RunProgram("--version");
  EXPECT_EQ(option.status, 2);
  EXPECT_FALSE(std::filesystem::exists("--version"));
}

TEST(MakeSampleShapes, FailureIsOneLineAndLeavesTheOldFileAlone) {
  const ProgramRun missing = RunProgram("'" + kp::testing::TemporaryRoot() + "/no/such/folder/x.shp2'");
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(std::count(missing.output.begin(), missing.output.end(), '\n'), 1) << missing.output;

  // A file an editor has open for loading is not replaced under it.
  const std::string path = kp::testing::TemporaryRoot() + "/in-use.shp2";
  { std::ofstream(path, std::ios::binary) << "old contents"; }
  CFile editor(path.c_str(), CFile::modeRead | CFile::shareDenyWrite);
  const ProgramRun busy = RunProgram("'" + path + "'");
  EXPECT_EQ(busy.status, 1) << busy.output;
  EXPECT_NE(busy.output.find(path), std::string::npos) << busy.output;
  const std::vector<BYTE> kept = ReadAll(path);
  EXPECT_EQ(std::string(kept.begin(), kept.end()), "old contents");
}

}  // namespace
