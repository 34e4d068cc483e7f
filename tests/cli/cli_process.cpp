#include "tests/cli/cli_process.h"

#include <filesystem>

namespace cli_journeys {

namespace {
std::vector<std::string> CliWords(const std::vector<std::string>& arguments) {
  std::vector<std::string> words = {KESTROW_CLI_PROGRAM};
  words.insert(words.end(), arguments.begin(), arguments.end());
  return words;
}
}  // namespace

ProgramRun RunKestrowCli(const std::vector<std::string>& arguments) {
  return kp::testing::RunProgram(CliWords(arguments), kp::testing::WithoutDisplay());
}

std::unique_ptr<kp::testing::StartedProgram> StartKestrowCli(const std::vector<std::string>& arguments) {
  return std::make_unique<kp::testing::StartedProgram>(CliWords(arguments), kp::testing::WithoutDisplay());
}

ProgramRun RunXdelta3(const std::vector<std::string>& arguments) {
  std::vector<std::string> words = {"xdelta3"};
  words.insert(words.end(), arguments.begin(), arguments.end());
  return kp::testing::RunProgram(words);
}

void CopyFile(const std::string& from, const std::string& to) {
  std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing);
}

}  // namespace cli_journeys
