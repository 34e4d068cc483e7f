#pragma once
// Another program that has a file open, for tests of share modes, which are
// about other processes: it opens the file with the given CFile open flags
// and keeps it open until this object goes.
//
//   kp::testing::HeldElsewhere reader(path, CFile::modeRead | CFile::shareDenyWrite);
//   ASSERT_TRUE(reader.Holding());

#include <string>

#include "platform/base/win_types.h"
#include "platform/testing/run_program.h"

namespace kp::testing {

class HeldElsewhere {
 public:
  HeldElsewhere(const std::string& path, UINT flags);
  // True when the other program opened the file.
  bool Holding() const { return m_holding; }

 private:
  StartedProgram m_program;
  bool m_holding = false;
};

}  // namespace kp::testing
