#include "tests/cli/cli_process.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/testing/temp_environment.h"

namespace cli_journeys {

namespace {
std::vector<std::string> CliWords(const std::vector<std::string>& arguments) {
  std::vector<std::string> words = {KESTROW_CLI_PROGRAM};
  words.insert(words.end(), arguments.begin(), arguments.end());
  return words;
}

kp::testing::ProgramOptions WithoutDisplay() {
  kp::testing::ProgramOptions options;
  options.environment = kp::testing::EnvironmentWithout({"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"});
  return options;
}
}  // namespace

ProgramRun RunKestrowCli(const std::vector<std::string>& arguments) {
  return kp::testing::RunProgram(CliWords(arguments), WithoutDisplay());
}

std::unique_ptr<kp::testing::StartedProgram> StartKestrowCli(const std::vector<std::string>& arguments) {
  return std::make_unique<kp::testing::StartedProgram>(CliWords(arguments), WithoutDisplay());
}

std::string TestFolder() {
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(test->test_suite_name()) + "." + test->name();
  for (char& c : name)
    if (c == '/') c = '_';
  const std::string folder = kp::testing::TemporaryRoot() + "/" + name;
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  return folder;
}

std::vector<unsigned char> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void CopyFile(const std::string& from, const std::string& to) {
  std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing);
}

}  // namespace cli_journeys
