// An editor whose bitmap drop control cannot be created: the main dialog
// ends before it opens, and the editor says which control failed, which
// module it tried and how to register it, in a message box and on standard
// error, and ends with a non-zero status.

#include <filesystem>
#include <fstream>

#include "editor/ui/control_failure.h"
#include "interfaces/tavlet_ids.h"
#include "platform/afx/ole_control_site.h"
#include "platform/afx/ole_init.h"
#include "platform/registry/registry_helpers.h"
#include "platform/registry/registry_locations.h"
#include "platform/testing/run_program.h"
#include "platform/testing/temp_environment.h"
#include "platform/testing/temp_registry.h"
#include "tests/editor/editor_journey.h"

namespace editor_journey {
namespace {

std::string ClassKey() { return "CLSID\\" + GuidToString(tavlet::CLSID_Tavlet) + "\\InprocServer32"; }

std::string BuiltModule() { return std::filesystem::canonical(TAVLET_MODULE).string(); }

class ControlFailure : public ::testing::Test {
 protected:
  void SetUp() override {
    kp::testing::UseFreshRegistry();
    m_machine = kp::testing::UseFreshMachineFolder();
    ASSERT_TRUE(AfxOleInit());
    AfxEnableControlContainer();
  }

  // Runs the real main dialog and, as the program does when it did not
  // open, reports; returns the exit status.
  int StartEditor() {
    CJourneyDlg dlg;
    EXPECT_EQ(dlg.DoModal(), -1);
    EXPECT_FALSE(dlg.WasOpened());
    m_prompts.AnswerMessageBox(IDOK);
    ::testing::internal::CaptureStderr();
    const int status = ReportMainDialogFailure();
    m_err = ::testing::internal::GetCapturedStderr();
    return status;
  }

  kp::testing::ScriptedPrompts m_prompts;
  std::string m_machine;
  std::string m_err;
};

TEST_F(ControlFailure, SaysWhichControlModuleAndCommandAndEndsWithStatusOne) {
  const std::string junk = kp::testing::TemporaryRoot() + "/junk.ocx";
  std::ofstream(junk) << "not a module";
  const std::string user = kp::registry::RegistryFilePath();
  const std::string machineFile = kp::registry::RegistryFileIn(m_machine);
  const struct {
    const char* what;
    std::function<void()> arrange;
    std::string tried;  // what the message says of the module it tried
  } rows[] = {
      {"not registered", [] {},
       "Module tried: none: the class is not registered in " + user + " (not there); no machine-wide "
       "kestrow-platform/classes.reg in " + m_machine},
      {"module missing",
       [] { kp::registry::SetStringValue(HKEY_CLASSES_ROOT, ClassKey(), "", "/gone/Tavlet.ocx"); },
       "Module tried: /gone/Tavlet.ocx, which is not there"},
      {"module fails to load",
       [&] { kp::registry::SetStringValue(HKEY_CLASSES_ROOT, ClassKey(), "", junk); },
       "Module tried: " + junk + ", which cannot be loaded: "},
      {"machine-wide file damaged",
       [&] {
         std::filesystem::remove(user);
         std::filesystem::create_directories(std::filesystem::path(machineFile).parent_path());
         std::ofstream(machineFile) << "kestrow-registry 1\n[CLSID]\n";
       },
       "Module tried: none: the registry cannot be read: " + user + " (not there) and " + machineFile +
           " (damaged)"},
  };
  for (const auto& row : rows) {
    row.arrange();
    EXPECT_EQ(StartEditor(), 1) << row.what;
    ASSERT_FALSE(m_prompts.MessageBoxes().empty()) << row.what;
    const std::string shown = m_prompts.MessageBoxes().back().text;
    // No application object in a test: standard error names the program "kestrow".
    EXPECT_EQ(m_err, "kestrow: " + shown + "\n") << row.what;
    EXPECT_NE(shown.find("Control: TAVLET.TavletCtrl.1 " + GuidToString(tavlet::CLSID_Tavlet)), std::string::npos)
        << shown;
    EXPECT_NE(shown.find(row.tried), std::string::npos) << row.what << "\n" << shown;
    // This program stands in the build tree, beside the control module and
    // the tool.
    const std::string folder = BuiltModule().substr(0, BuiltModule().rfind('/') + 1);
    EXPECT_NE(shown.find("Register it with: " + folder + "regsvr " + BuiltModule()), std::string::npos) << shown;
  }
}

TEST_F(ControlFailure, ARegisteredControlGivesNoMessage) {
  ASSERT_EQ(kp::testing::RunProgram({REGSVR_PROGRAM, TAVLET_MODULE}).status, 0);
  EXPECT_EQ(ControlFailureMessage(), "");
}

}  // namespace
}  // namespace editor_journey
