// The application object of the editor as the program runs it.

#include <gtest/gtest.h>

#include "platform/afx/win_app.h"
#include "platform/com/com_runtime.h"
#include "platform/testing/scripted_prompts.h"

namespace {

// OLE cannot start on a thread already in a multithreaded apartment: the
// program says so and ends with status 1, as --help promises, not with 0.
TEST(KestrowApp, EndsWithStatusOneWhenOleCannotStart) {
  CWinApp* app = AfxGetApp();
  ASSERT_NE(app, nullptr);
  ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
  kp::testing::ScriptedPrompts prompts;
  prompts.AnswerMessageBox(IDOK);
  EXPECT_FALSE(app->InitInstance());
  EXPECT_EQ(app->ExitInstance(), 1);
  ASSERT_EQ(prompts.MessageBoxes().size(), 1u);
  EXPECT_EQ(prompts.MessageBoxes()[0].text,
            "OLE initialization failed.  Make sure that the OLE libraries are the correct version.");
  EXPECT_EQ(AfxGetMainWnd(), nullptr) << "no window was made";
  CoUninitialize();
}

}  // namespace
