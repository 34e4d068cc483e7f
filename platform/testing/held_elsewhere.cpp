#include "platform/testing/held_elsewhere.h"

#include "platform/testing/wait_for.h"

namespace kp::testing {

HeldElsewhere::HeldElsewhere(const std::string& path, UINT flags)
    : m_program({KP_HOLD_FILE_PROGRAM, path, std::to_string(flags)}) {
  // The program says whether it opened the file, then holds it until it is
  // ended, which the program object does when it goes.
  WaitFor([&] { return m_program.Out().find('\n') != std::string::npos || m_program.Ended(); });
  m_holding = m_program.Out() == "held\n";
}

}  // namespace kp::testing
