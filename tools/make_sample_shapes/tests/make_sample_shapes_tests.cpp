// The kestrow-sample-shapes program, run as a person would run it.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "editor/shapes/sample/sample_shapes.h"
#include "editor/shapes/set_kinds.h"
#include "platform/file/file.h"
#include "platform/testing/file_contents.h"
#include "platform/testing/run_program.h"
#include "platform/testing/temp_environment.h"

namespace {

struct SampleMakerRun {
  int status;
  std::string output;  // standard output, then standard error
};

SampleMakerRun RunSampleMaker(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), KESTROW_MAKE_SAMPLE_SHAPES);
  const kp::testing::ProgramRun run = kp::testing::RunProgram(arguments);
  return {run.status, run.out + run.err};
}

using kp::testing::ReadFileBytes;

TEST(MakeSampleShapes, WritesTheSampleFile) {
  const std::string path = kp::testing::TemporaryRoot() + "/sample.shp2";
  const SampleMakerRun run = RunSampleMaker({path});
  ASSERT_EQ(run.status, 0) << run.output;
  const std::vector<BYTE> written = ReadFileBytes(path);
  EXPECT_EQ(written.size(), kExpectedShapesFileSize);
  EXPECT_TRUE(written == sample_shapes::MakeSampleShapes().Build()) << "the program writes what the library builds";
}

TEST(MakeSampleShapes, WithoutAPathShowsUsageAndHelpAskedForSucceeds) {
  const SampleMakerRun run = RunSampleMaker({});
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.output.find("usage: kestrow-sample-shapes OUT"), std::string::npos) << run.output;
  const SampleMakerRun help = RunSampleMaker({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.output.find("usage: kestrow-sample-shapes OUT"), std::string::npos) << help.output;
  // An option it does not have is not taken for a file name.
  const SampleMakerRun option = RunSampleMaker({"--version"});
  EXPECT_EQ(option.status, 2);
  EXPECT_FALSE(std::filesystem::exists("--version"));
}

TEST(MakeSampleShapes, FailureIsOneLineAndLeavesTheOldFileAlone) {
  const SampleMakerRun missing = RunSampleMaker({kp::testing::TemporaryRoot() + "/no/such/folder/x.shp2"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(std::count(missing.output.begin(), missing.output.end(), '\n'), 1) << missing.output;

  // A file an editor has open for loading is not replaced under it.
  const std::string path = kp::testing::TemporaryRoot() + "/in-use.shp2";
  { std::ofstream(path, std::ios::binary) << "old contents"; }
  CFile editor(path.c_str(), CFile::modeRead | CFile::shareDenyWrite);
  const SampleMakerRun busy = RunSampleMaker({path});
  EXPECT_EQ(busy.status, 1) << busy.output;
  EXPECT_NE(busy.output.find(path), std::string::npos) << busy.output;
  const std::vector<BYTE> kept = ReadFileBytes(path);
  EXPECT_EQ(std::string(kept.begin(), kept.end()), "old contents");
}

}  // namespace
