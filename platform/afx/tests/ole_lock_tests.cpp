#include <gtest/gtest.h>

#include "platform/afx/ole_lock.h"

namespace ole_lock_tests {

int g_closeRequests = 0;
void CountCloseRequest() { ++g_closeRequests; }

// Puts the program back under the user's control and the handler back to
// none after each test.
class OleLock : public ::testing::Test {
 protected:
  void SetUp() override {
    g_closeRequests = 0;
    kp::afx::SetOleCloseMainWindowHandler(&CountCloseRequest);
  }
  void TearDown() override {
    while (AfxOleGetLockCount() > 0) AfxOleUnlockApp();
    kp::afx::SetOleCloseMainWindowHandler(nullptr);
    AfxOleSetUserCtrl(TRUE);
  }
};

TEST_F(OleLock, TheLastUnlockOfAProgramStartedByAClientClosesItOnce) {
  AfxOleSetUserCtrl(FALSE);
  AfxOleLockApp();
  AfxOleLockApp();
  EXPECT_FALSE(AfxOleCanExitApp());
  AfxOleUnlockApp();
  EXPECT_EQ(g_closeRequests, 0);
  AfxOleUnlockApp();
  EXPECT_TRUE(AfxOleCanExitApp());
  EXPECT_EQ(g_closeRequests, 1);
  EXPECT_TRUE(AfxOleGetUserCtrl()) << "the user owns the program from then on";
  // Later locks and unlocks of the user's program close nothing.
  AfxOleLockApp();
  AfxOleUnlockApp();
  EXPECT_EQ(g_closeRequests, 1);
}

TEST_F(OleLock, AProgramUnderTheUsersControlStaysUp) {
  AfxOleLockApp();
  AfxOleUnlockApp();
  EXPECT_EQ(g_closeRequests, 0);
  EXPECT_TRUE(AfxOleGetUserCtrl());
}

TEST_F(OleLock, UnlocksWithoutLocksAreIgnored) {
  AfxOleSetUserCtrl(FALSE);
  AfxOleUnlockApp();
  EXPECT_EQ(AfxOleGetLockCount(), 0);
  EXPECT_EQ(g_closeRequests, 0);
  EXPECT_FALSE(AfxOleGetUserCtrl());
  AfxOleLockApp();
  AfxOleUnlockApp();
  EXPECT_EQ(g_closeRequests, 1);
}

TEST_F(OleLock, LocksOnAnotherModuleNeverCloseTheProgram) {
  AfxOleSetUserCtrl(FALSE);
  HINSTANCE platform = ModuleFromAddress(reinterpret_cast<const void*>(&AfxOleLockApp));
  ASSERT_NE(platform, kp::afx::MainProgramInstance());
  EXPECT_EQ(kp::afx::MainProgramInstance(), AfxGetInstanceHandle());
  AfxOleLockApp(platform);
  EXPECT_EQ(AfxOleGetLockCount(platform), 1);
  EXPECT_EQ(AfxOleGetLockCount(), 0);
  AfxOleUnlockApp(platform);
  EXPECT_EQ(g_closeRequests, 0);
  EXPECT_FALSE(AfxOleGetUserCtrl());
}

}  // namespace ole_lock_tests
