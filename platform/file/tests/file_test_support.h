#pragma once
// Temporary files for the CFile tests, and a way to try an open from a
// second process, since share modes are about other processes.

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/file/file.h"
#include "platform/testing/file_contents.h"
#include "platform/testing/in_child.h"
#include "platform/testing/temp_environment.h"

namespace file_tests {

inline std::string MakeFile(const std::string& name, const std::string& content) {
  std::string path = kp::testing::TemporaryRoot() + "/" + name;
  std::ofstream(path, std::ios::binary) << content;
  return path;
}

using kp::testing::ReadFileText;

// True when another process can open `path` with `flags` right now.
inline bool OtherProcessCanOpen(const std::string& path, UINT flags) {
  return kp::testing::InChild([&] {
           CFile file;
           return file.Open(path.c_str(), flags) ? 0 : 1;
         }) == 0;
}

}  // namespace file_tests
