#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "platform/qt/window_system.h"
#include "platform/user/menu.h"
#include "platform/user/window_functions.h"

namespace {

std::vector<std::pair<HWND, UINT>>& Log() {
  static std::vector<std::pair<HWND, UINT>> log;
  return log;
}

// Records which window got which message, and gives it the default processing.
LRESULT RecordingProcedure(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Log().emplace_back(hWnd, message);
  return DefWindowProc(hWnd, message, wParam, lParam);
}

// Puts a procedure of the test's own, or none, in the framework's place.
class WindowFunctions : public ::testing::Test {
 protected:
  void SetUp() override {
    m_framework = kp::user::SetWindowProcedure(&RecordingProcedure);
    Log().clear();
  }
  void TearDown() override { kp::user::SetWindowProcedure(m_framework); }

  static HWND Create(HWND parent) {
    kp::qt::WindowDesc desc;
    desc.parent = parent;
    desc.style = parent ? WS_CHILD | WS_VISIBLE : WS_SYSMENU;
    desc.rect = RECT{0, 0, 40, 30};
    return kp::qt::CreateWindowObject(desc);
  }

  kp::user::WindowProcedure m_framework = nullptr;
};

TEST_F(WindowFunctions, DestroyingTellsTheParentFirstAndLetsItGoLastWithItsWindowMenu) {
  HWND parent = Create(nullptr);
  HWND child = Create(parent);
  HMENU windowMenu = kp::user::GetWindowMenu(parent, false);
  ASSERT_TRUE(IsMenu(windowMenu));

  ASSERT_TRUE(DestroyWindow(parent));
  std::erase_if(Log(), [](const auto& seen) { return seen.second != WM_DESTROY && seen.second != WM_NCDESTROY; });
  const std::vector<std::pair<HWND, UINT>> order = {
      {parent, WM_DESTROY}, {child, WM_DESTROY}, {child, WM_NCDESTROY}, {parent, WM_NCDESTROY}};
  EXPECT_EQ(Log(), order);
  EXPECT_FALSE(IsWindow(parent));
  EXPECT_FALSE(IsWindow(child));
  EXPECT_FALSE(IsMenu(windowMenu));

  // A window that is gone takes no message and cannot be destroyed again.
  Log().clear();
  EXPECT_EQ(SendMessage(parent, WM_CLOSE), 0);
  EXPECT_FALSE(DestroyWindow(parent));
  EXPECT_TRUE(Log().empty());
}

TEST_F(WindowFunctions, WithoutAProcedureAMessageGetsTheDefaultProcessing) {
  kp::user::SetWindowProcedure(nullptr);
  HWND window = Create(nullptr);
  SendMessage(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Kestrow"));
  EXPECT_EQ(kp::qt::GetWindowText(window), "Kestrow");
  // Closing a window that is not a dialog destroys it.
  SendMessage(window, WM_CLOSE);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_TRUE(Log().empty());
}

}  // namespace
