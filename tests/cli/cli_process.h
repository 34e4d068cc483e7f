#pragma once
// Runs the built kestrow-cli as a separate program, the way a script does,
// with its output captured and an environment of the test's choosing.

#include <memory>
#include <string>
#include <vector>

#include "platform/testing/file_contents.h"
#include "platform/testing/run_program.h"
#include "platform/testing/temp_environment.h"

namespace cli_journeys {

using kp::testing::ProgramRun;

// Runs kestrow-cli with `arguments`, with this process's environment less
// the variables that would give it a display: DISPLAY, WAYLAND_DISPLAY
// and QT_QPA_PLATFORM.
ProgramRun RunKestrowCli(const std::vector<std::string>& arguments);
// The same, started to run beside the test.
std::unique_ptr<kp::testing::StartedProgram> StartKestrowCli(const std::vector<std::string>& arguments);
// Runs xdelta3, the other program that reads and writes our patch files.
ProgramRun RunXdelta3(const std::vector<std::string>& arguments);

using kp::testing::TestFolder;
inline std::vector<unsigned char> ReadBytes(const std::string& path) { return kp::testing::ReadFileBytes(path); }
inline void WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
  kp::testing::WriteFileBytes(path, bytes);
}
void CopyFile(const std::string& from, const std::string& to);

}  // namespace cli_journeys
