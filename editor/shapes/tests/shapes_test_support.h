#pragma once
// Shared pieces of the shapes tests: files in the test program's temporary
// folder, built by the shapes-file builder, and a second process that holds a
// file open, since share modes are about other processes.

#include <gtest/gtest.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

#include "editor/shapes/big_endian.h"
#include "editor/shapes/sample/shapes_file_builder.h"
#include "platform/file/file.h"
#include "platform/testing/in_child.h"
#include "platform/testing/temp_environment.h"

namespace shapes_tests {

inline std::string TempPath(const std::string& name) { return kp::testing::TemporaryRoot() + "/" + name; }

inline std::string WriteShapes(const std::string& name, const std::vector<BYTE>& bytes) {
  std::string path = TempPath(name);
  sample_shapes::WriteBytes(path, bytes);
  return path;
}

inline LONG BigEndian32Of(const std::vector<BYTE>& bytes, LONGLONG position) {
  return BigEndian32(bytes.data() + position);
}

// Runs `action` and expects it to throw CFileException with `cause`, naming
// the file at `path` in its message.
template <typename Action>
void ExpectFileException(Action action, int cause, const std::string& path) {
  try {
    action();
    ADD_FAILURE() << "no CFileException was thrown";
  } catch (const CFileException& e) {
    EXPECT_EQ(e.m_cause, cause) << e.ErrorMessage().str();
    EXPECT_NE(e.ErrorMessage().str().find(path), std::string::npos) << e.ErrorMessage().str();
  }
}

// Another process that opens `path` with `flags` and keeps it open until
// this object is destroyed.
class HeldByOtherProcess {
 public:
  HeldByOtherProcess(const std::string& path, UINT flags) {
    int ready[2];
    int release[2];
    if (pipe(ready) != 0 || pipe(release) != 0) return;
    m_child = std::make_unique<kp::testing::ChildProcess>([&] {
      close(ready[0]);
      close(release[1]);
      CFile file;
      char opened = file.Open(path.c_str(), flags) ? 1 : 0;
      if (write(ready[1], &opened, 1) != 1) return 2;
      char ignored;
      while (read(release[0], &ignored, 1) > 0) {
      }
      return 0;
    });
    close(ready[1]);
    close(release[0]);
    m_release = release[1];
    char opened = 0;
    m_holding = read(ready[0], &opened, 1) == 1 && opened == 1;
    close(ready[0]);
  }
  ~HeldByOtherProcess() {
    // Closing the pipe lets the child go; then the child is waited for.
    if (m_release >= 0) close(m_release);
  }
  HeldByOtherProcess(const HeldByOtherProcess&) = delete;
  HeldByOtherProcess& operator=(const HeldByOtherProcess&) = delete;

  bool holding() const { return m_holding; }

 private:
  int m_release = -1;
  std::unique_ptr<kp::testing::ChildProcess> m_child;
  bool m_holding = false;
};

}  // namespace shapes_tests
