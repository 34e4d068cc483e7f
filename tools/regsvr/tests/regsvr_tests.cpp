#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/com/tests/test_control_ids.h"
#include "platform/registry/registry_api.h"
#include "platform/registry/registry_helpers.h"
#include "platform/registry/registry_locations.h"
#include "platform/testing/file_contents.h"
#include "platform/testing/run_program.h"
#include "platform/testing/temp_environment.h"
#include "platform/testing/temp_registry.h"

namespace {
using kp::com::testing::CLSID_TestControl;
using kp::com::testing::LIBID_TestControlLib;

using Outcome = kp::testing::ProgramRun;

using kp::testing::ReadFileText;

// Runs regsvr with `args` in the current environment (and so on this
// test's registry), capturing what it prints.
Outcome Regsvr(std::vector<std::string> args) {
  args.insert(args.begin(), REGSVR_PROGRAM);
  return kp::testing::RunProgram(args);
}

std::string ClassKey() { return "CLSID\\" + GuidToString(CLSID_TestControl); }

class RegsvrTool : public ::testing::Test {
 protected:
  void SetUp() override { kp::testing::UseFreshRegistry(); }
};

TEST_F(RegsvrTool, RegistersAndUnregistersAModule) {
  Outcome registered = Regsvr({TEST_CONTROL_MODULE});
  EXPECT_EQ(registered.status, 0) << registered.err;
  EXPECT_NE(registered.out.find("DllRegisterServer"), std::string::npos);
  std::string value;
  ASSERT_EQ(kp::registry::GetStringValue(HKEY_CLASSES_ROOT, ClassKey() + "\\InprocServer32", "", &value),
            ERROR_SUCCESS);
  EXPECT_EQ(value, std::filesystem::canonical(TEST_CONTROL_MODULE).string());
  ASSERT_EQ(kp::registry::GetStringValue(HKEY_CLASSES_ROOT, ClassKey() + "\\InprocServer32", "ThreadingModel", &value),
            ERROR_SUCCESS);
  EXPECT_EQ(value, "Apartment");
  std::vector<std::string> versions;
  ASSERT_EQ(
      kp::registry::EnumerateSubkeys(HKEY_CLASSES_ROOT, "TypeLib\\" + GuidToString(LIBID_TestControlLib), &versions),
      ERROR_SUCCESS);
  EXPECT_EQ(versions, std::vector<std::string>{"1.0"});

  // Registering again leaves the same entries.
  std::string before = ReadFileText(kp::registry::RegistryFilePath());
  EXPECT_EQ(Regsvr({TEST_CONTROL_MODULE}).status, 0);
  EXPECT_EQ(ReadFileText(kp::registry::RegistryFilePath()), before);

  Outcome unregistered = Regsvr({"-u", TEST_CONTROL_MODULE});
  EXPECT_EQ(unregistered.status, 0) << unregistered.err;
  kp::registry::ScopedHKey key;  // closes a key that should not have opened
  EXPECT_EQ(RegOpenKeyEx(HKEY_CLASSES_ROOT, ClassKey().c_str(), 0, KEY_READ, key.put()), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegOpenKeyEx(HKEY_CLASSES_ROOT, kp::com::testing::kTestControlProgId, 0, KEY_READ, key.put()),
            ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegOpenKeyEx(HKEY_CLASSES_ROOT, ("TypeLib\\" + GuidToString(LIBID_TestControlLib)).c_str(), 0, KEY_READ,
                         key.put()),
            ERROR_FILE_NOT_FOUND);
  // Unregistering what is already gone still succeeds.
  Outcome again = Regsvr({"-u", TEST_CONTROL_MODULE});
  EXPECT_EQ(again.status, 0) << again.err;
}

TEST_F(RegsvrTool, PrintsTheFailingResultInHex) {
  // A damaged registry makes the module's type library registration fail.
  std::string path = kp::registry::RegistryFilePath();
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path) << "kestrow-registry 1\n[CLSID]\n";
  Outcome failed = Regsvr({TEST_CONTROL_MODULE});
  EXPECT_EQ(failed.status, 1);
  EXPECT_NE(failed.err.find("regsvr: DllRegisterServer failed: 0x80040200\n"), std::string::npos) << failed.err;
  EXPECT_NE(failed.err.find("--reset-registry"), std::string::npos) << failed.err;
  EXPECT_EQ(ReadFileText(path), "kestrow-registry 1\n[CLSID]\n");
  // Asked for explicitly, the tool moves the damaged file aside.
  Outcome reset = Regsvr({"--reset-registry"});
  EXPECT_EQ(reset.status, 0) << reset.err;
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_EQ(Regsvr({TEST_CONTROL_MODULE}).status, 0);
}

TEST_F(RegsvrTool, RegistersIntoAMachineFolderWithARelativePathAndRemovesAgain) {
  const std::string machine = kp::testing::UseFreshMachineFolder();
  const std::string machineFile = kp::registry::RegistryFileIn(machine);
  Outcome registered = Regsvr({"--machine", machine, TEST_CONTROL_MODULE});
  EXPECT_EQ(registered.status, 0) << registered.err;
  EXPECT_NE(registered.out.find(machineFile), std::string::npos) << registered.out;
  EXPECT_FALSE(std::filesystem::exists(kp::registry::RegistryFilePath())) << "the user's file is not touched";

  // The file names the module relative to itself; readers see where it is.
  const std::string text = ReadFileText(machineFile);
  EXPECT_NE(text.find("@=\"../"), std::string::npos) << text;
  EXPECT_EQ(text.find("\"" + std::filesystem::canonical(TEST_CONTROL_MODULE).string()), std::string::npos) << text;
  std::string value;
  ASSERT_EQ(kp::registry::GetStringValue(HKEY_CLASSES_ROOT, ClassKey() + "\\InprocServer32", "", &value),
            ERROR_SUCCESS);
  EXPECT_EQ(value, std::filesystem::canonical(TEST_CONTROL_MODULE).string());

  // A user cannot take the machine's registration away; the installer can.
  Outcome byUser = Regsvr({"-u", TEST_CONTROL_MODULE});
  EXPECT_EQ(byUser.status, 1) << byUser.err;
  EXPECT_EQ(ReadFileText(machineFile), text);
  Outcome removed = Regsvr({"--machine", machine, "-u", TEST_CONTROL_MODULE});
  EXPECT_EQ(removed.status, 0) << removed.err;
  kp::registry::ScopedHKey key;  // closes a key that should not have opened
  EXPECT_EQ(RegOpenKeyEx(HKEY_CLASSES_ROOT, ClassKey().c_str(), 0, KEY_READ, key.put()), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegOpenKeyEx(HKEY_CLASSES_ROOT, ("TypeLib\\" + GuidToString(LIBID_TestControlLib)).c_str(), 0, KEY_READ,
                         key.put()),
            ERROR_FILE_NOT_FOUND);

  // The machine's damaged file is set aside the same way as a user's.
  std::ofstream(machineFile) << "kestrow-registry 1\n[CLSID]\n";
  Outcome reset = Regsvr({"--machine", machine, "--reset-registry"});
  EXPECT_EQ(reset.status, 0) << reset.err;
  EXPECT_FALSE(std::filesystem::exists(machineFile));
}

TEST_F(RegsvrTool, ReportsModulesItCannotUse) {
  Outcome missing = Regsvr({"/nonexistent/Tavlet.ocx"});
  EXPECT_EQ(missing.status, 3);
  EXPECT_NE(missing.err.find("regsvr: cannot load /nonexistent/Tavlet.ocx"), std::string::npos) << missing.err;

  std::string junk = kp::testing::TemporaryRoot() + "/junk.ocx";
  std::ofstream(junk) << "not a module";
  Outcome notAModule = Regsvr({junk});
  EXPECT_EQ(notAModule.status, 3);
  EXPECT_NE(notAModule.err.find("cannot load"), std::string::npos) << notAModule.err;

  Outcome noExport = Regsvr({"-u", PLATFORM_LIBRARY});
  EXPECT_EQ(noExport.status, 3);
  EXPECT_NE(noExport.err.find("does not export DllUnregisterServer"), std::string::npos) << noExport.err;

  for (std::vector<std::string> wrong : {std::vector<std::string>{},
                                         {"-x", "a"},
                                         {"-u"},
                                         {"a", "b"},
                                         {"--machine"},
                                         {"--machine", "/tmp"},
                                         {"-u", "--reset-registry"},
                                         {"a", "--machine", "/tmp"}})
    EXPECT_EQ(Regsvr(wrong).status, 2);
}
}  // namespace
