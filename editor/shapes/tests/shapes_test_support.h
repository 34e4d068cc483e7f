#pragma once
// Shared pieces of the shapes tests: files in the test program's temporary
// folder, built by the shapes-file builder, and a second program that holds a
// file open, since share modes are about other processes.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "editor/shapes/big_endian.h"
#include "editor/shapes/sample/shapes_file_builder.h"
#include "platform/file/file.h"
#include "platform/testing/held_elsewhere.h"
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

// The `count` bytes of `bytes` from `start` on.
inline std::vector<BYTE> Slice(const std::vector<BYTE>& bytes, LONGLONG start, LONGLONG count) {
  return std::vector<BYTE>(bytes.begin() + start, bytes.begin() + start + count);
}

// Expects every byte of `after` to equal `before` but inside the ranges
// {start, count} given: the writes an operation owns.
inline void ExpectChangedOnlyInside(const std::vector<BYTE>& before, const std::vector<BYTE>& after,
                                    const std::vector<std::pair<LONGLONG, LONGLONG>>& ranges) {
  ASSERT_EQ(before.size(), after.size()) << "the file keeps its length";
  std::size_t changedOutside = 0;
  for (std::size_t i = 0; i < before.size(); ++i) {
    if (before[i] == after[i]) continue;
    bool inside = false;
    for (auto [start, count] : ranges)
      inside |= static_cast<LONGLONG>(i) >= start && static_cast<LONGLONG>(i) < start + count;
    if (!inside && changedOutside++ == 0) ADD_FAILURE() << "byte " << i << " changed outside the bytes written";
  }
  EXPECT_EQ(changedOutside, 0u);
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

// Another program that has `path` open with `flags` until this object goes.
using HeldByOtherProcess = kp::testing::HeldElsewhere;

}  // namespace shapes_tests
