// Two registrations at once into one registry file, the user's or a
// machine-wide one. Every change to the file is made under the writers'
// lock to the file as it is then, and the file is replaced whole, so the
// file always parses and holds both registrations, exactly as when one ran
// after the other.

#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/testing/registry_snapshot.h"
#include "platform/testing/run_program.h"
#include "platform/testing/temp_registry.h"
#include "tests/concurrency/two_programs.h"

namespace concurrency {
namespace {

constexpr std::chrono::minutes kEndBound{2};

// Each registration writes the file with fsync, a tenth of a second or more
// on a busy disk, so the rounds are spent where they find most: two
// different modules, whose keys a lost update would drop, in the user's
// file and in a machine-wide one; the same module twice needs fewer, as
// both orders end alike and only a damaged file shows.
struct Pairing {
  const char* name;
  bool machineWide;
  const char* first;
  const char* second;
  int rounds;
};

const Pairing kPairings[] = {
    {"the control twice", false, TAVLET_MODULE, TAVLET_MODULE, 20},
    {"the control and another module", false, TAVLET_MODULE, TEST_CONTROL_MODULE, 40},
    {"the control and another module, machine-wide", true, TAVLET_MODULE, TEST_CONTROL_MODULE, 30},
};

class TwoRegistrations : public ::testing::TestWithParam<Pairing> {
 protected:
  void SetUp() override {
    // One user's folder and one machine folder for every round, emptied
    // before each, so the relative paths of a machine-wide file are the
    // same in every round.
    m_user = kp::testing::UseFreshRegistry();
    m_machine = kp::testing::UseFreshMachineFolder();
  }

  std::vector<std::string> Regsvr(const char* module) const {
    if (GetParam().machineWide) return {REGSVR_PROGRAM, "--machine", m_machine, module};
    return {REGSVR_PROGRAM, module};
  }
  std::string File() const {
    return (GetParam().machineWide ? m_machine : m_user) + "/kestrow-platform/classes.reg";
  }
  void Empty() const {
    std::filesystem::remove_all(m_user + "/kestrow-platform");
    std::filesystem::remove_all(m_machine + "/kestrow-platform");
  }
  // The registry file once both registrations ran one after the other.
  std::vector<std::string> OneAfterTheOther(const char* first, const char* second) const {
    Empty();
    for (const char* module : {first, second}) {
      const kp::testing::ProgramRun run = kp::testing::RunProgram(Regsvr(module));
      EXPECT_EQ(run.status, 0) << run.err;
    }
    return kp::testing::RegistrySnapshot(File());
  }

  std::string m_user;
  std::string m_machine;
};

TEST_P(TwoRegistrations, LeaveAFileThatParsesAndHoldsBoth) {
  const Pairing& pairing = GetParam();
  const std::vector<std::string> oneOrder = OneAfterTheOther(pairing.first, pairing.second);
  const std::vector<std::string> otherOrder = OneAfterTheOther(pairing.second, pairing.first);
  ASSERT_FALSE(oneOrder.empty());

  Outcomes outcomes;
  for (int round = 0; round < pairing.rounds; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    Empty();
    kp::testing::StartedProgram first(Regsvr(pairing.first));
    kp::testing::StartedProgram second(Regsvr(pairing.second));
    ASSERT_TRUE(first.WaitForEnd(kEndBound));
    ASSERT_TRUE(second.WaitForEnd(kEndBound));
    EXPECT_EQ(first.Status(), 0) << first.Err();
    EXPECT_EQ(second.Status(), 0) << second.Err();
    const std::vector<std::string> registry = kp::testing::RegistrySnapshot(File());
    ASSERT_TRUE(registry == oneOrder || registry == otherOrder) << ::testing::PrintToString(registry);
    // Nothing but the file (and the user's lock file) is left in its folder.
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(File()).parent_path()))
      ASSERT_TRUE(entry.path().filename() == "classes.reg" || entry.path().filename() == "classes.reg.lock")
          << entry.path();
    outcomes.Count("both registered");
  }
  outcomes.Print(std::string("two registrations: ") + pairing.name, pairing.rounds);
}

INSTANTIATE_TEST_SUITE_P(Pairings, TwoRegistrations, ::testing::ValuesIn(kPairings),
                         [](const ::testing::TestParamInfo<Pairing>& info) {
                           std::string name;
                           for (const char* c = info.param.name; *c != '\0'; ++c)
                             if (std::isalnum(static_cast<unsigned char>(*c))) name += *c;
                           return name;
                         });

}  // namespace
}  // namespace concurrency
