#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "platform/afx/cmd_ui.h"
#include "platform/afx/menu.h"
#include "platform/afx/tests/test_dialog.h"
#include "platform/file/file_exception.h"
#include "platform/qt/drop_files.h"
#include "platform/qt/window_system.h"
#include "platform/testing/manual_clock.h"
#include "platform/testing/scripted_prompts.h"
#include "platform/testing/ui_driver.h"
#include "platform/user/window_functions.h"

namespace afx_tests {
namespace {

using namespace kp::testing;

// A child window that draws itself and reports what it receives.
class CProbeWnd : public CWnd {
 public:
  std::vector<std::string> m_events;
  std::vector<std::string> m_dropped;
  // "id at time" for each WM_TIMER, the time read from `clock` when there is one.
  std::vector<std::string> m_ticks;
  const ManualClock* m_clock = nullptr;
  // The timer that KillTimer stops from inside its own tick, at that tick.
  UINT_PTR m_killOnTick = 0;
  std::size_t m_killAtTick = 0;
  bool m_hasBitmap = false;
  bool m_throwFileError = false;
  bool m_throwOther = false;
  POINT m_contextAt{};

 protected:
  int OnCreate(LPCREATESTRUCT cs) {
    m_events.push_back("create");
    return CWnd::OnCreate(cs);
  }
  void OnSize(UINT, int cx, int cy) { m_events.push_back("size " + std::to_string(cx) + "x" + std::to_string(cy)); }
  void OnSetFocus(CWnd*) { m_events.push_back("setfocus"); }
  void OnKillFocus(CWnd*) { m_events.push_back("killfocus"); }
  void OnLButtonDown(UINT, CPoint) {
    m_events.push_back("lbuttondown");
    if (m_throwFileError) throw CFileException(CFileException::diskFull, -1, "/tmp/full.shp2");
    if (m_throwOther) throw std::runtime_error("boom");
  }
  void OnTimer(UINT_PTR id) {
    m_ticks.push_back(std::to_string(id) + " at " + (m_clock ? std::to_string(m_clock->Now()) : "?"));
    if (id == m_killOnTick && m_ticks.size() == m_killAtTick)
      m_events.push_back(KillTimer(id) ? "killed" : "not killed");
  }
  void OnDropFiles(HDROP drop) {
    UINT count = DragQueryFile(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
      std::string name(DragQueryFile(drop, i, nullptr, 0), '\0');
      DragQueryFile(drop, i, name.data(), static_cast<UINT>(name.size() + 1));
      m_dropped.push_back(name);
    }
    CWnd::OnDropFiles(drop);
  }
  void OnContextMenu(CWnd*, CPoint point) {
    m_contextAt = point;
    CMenu menu;
    if (!menu.LoadMenu(IDR_TEST_MENU)) return;
    menu.GetSubMenu(0)->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, point.x, point.y, this);
    menu.DestroyMenu();
  }
  void OnEnabledItem() { m_events.push_back("enabled item"); }
  void OnGreyedItem() { m_events.push_back("greyed item"); }
  void OnUpdateGreyed(CCmdUI* pCmdUI) { pCmdUI->Enable(m_hasBitmap); }
  void OnUpdateEnabled(CCmdUI* pCmdUI) { pCmdUI->Enable(TRUE); }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CProbeWnd, CWnd)
ON_WM_CREATE()
ON_WM_SIZE()
ON_WM_SETFOCUS()
ON_WM_KILLFOCUS()
ON_WM_LBUTTONDOWN()
ON_WM_TIMER()
ON_WM_DROPFILES()
ON_WM_CONTEXTMENU()
ON_COMMAND(ID_ENABLED_ITEM, OnEnabledItem)
ON_COMMAND(ID_GREYED_ITEM, OnGreyedItem)
ON_UPDATE_COMMAND_UI(ID_GREYED_ITEM, OnUpdateGreyed)
ON_UPDATE_COMMAND_UI(ID_ENABLED_ITEM, OnUpdateEnabled)
END_MESSAGE_MAP()

// Runs the test dialog with two probe windows in it: `accepting` (a tab
// stop that accepts dropped files) and `refusing`.
void WithProbes(const std::function<void(CTestDlg&, CProbeWnd&, CProbeWnd&)>& steps) {
  CTestDlg dlg;
  CProbeWnd accepting, refusing;
  RunModalWith(dlg, [&] {
    ASSERT_TRUE(
        accepting.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_TABSTOP, CRect(200, 150, 280, 200), &dlg, 2001));
    ASSERT_TRUE(refusing.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(200, 50, 280, 100), &dlg, 2002));
    accepting.DragAcceptFiles(TRUE);
    ProcessEvents();
    steps(dlg, accepting, refusing);
    if (::IsWindow(dlg.m_hWnd)) dlg.EndDialog(IDCANCEL);
  });
}

TEST(Window, CreateSendsCreateThenSize) {
  WithProbes([](CTestDlg& dlg, CProbeWnd& accepting, CProbeWnd&) {
    ASSERT_GE(accepting.m_events.size(), 2u);
    EXPECT_EQ(accepting.m_events[0], "create");
    EXPECT_EQ(accepting.m_events[1], "size 80x50");
    EXPECT_EQ(dlg.GetDlgItem(2001), &accepting) << "the child is found as its own object";
    CRect rect;
    accepting.GetClientRect(&rect);
    EXPECT_EQ(rect, CRect(0, 0, 80, 50));
  });
}

TEST(Window, FocusArrivesByClickAndByTabAndLeavesWithKillFocus) {
  WithProbes([](CTestDlg& dlg, CProbeWnd& accepting, CProbeWnd&) {
    accepting.m_events.clear();
    Click(accepting.m_hWnd);
    EXPECT_EQ(CWnd::GetFocus(), &accepting);
    Click(dlg.GetDlgItem(IDC_PRESS)->m_hWnd);
    // Tab from the Cancel button, the last tab stop before the probe.
    dlg.GetDlgItem(IDCANCEL)->SetFocus();
    ProcessEvents();
    PressKey(dlg.m_hWnd, VK_TAB);
    EXPECT_EQ(CWnd::GetFocus(), &accepting);
    EXPECT_EQ(accepting.m_events, (std::vector<std::string>{"setfocus", "lbuttondown", "killfocus", "setfocus"}));
  });
}

using Ticks = std::vector<std::string>;

TEST(Timer, TicksOncePerPeriodOfItsClockUntilKilled) {
  ManualClock clock;
  WithProbes([&](CTestDlg&, CProbeWnd& accepting, CProbeWnd&) {
    accepting.m_clock = &clock;
    EXPECT_EQ(accepting.SetTimer(7, 150), 7u);
    clock.Advance(149);
    EXPECT_EQ(accepting.m_ticks, Ticks{}) << "no tick before its period has passed";
    clock.Advance(1);
    EXPECT_EQ(accepting.m_ticks, Ticks{"7 at 150"});
    clock.Advance(320);
    EXPECT_EQ(accepting.m_ticks, (Ticks{"7 at 150", "7 at 300", "7 at 450"}));
    EXPECT_TRUE(accepting.KillTimer(7));
    EXPECT_EQ(clock.RunningTimers(), 0u);
    clock.Advance(1000);
    EXPECT_EQ(accepting.m_ticks.size(), 3u) << "no tick after KillTimer";
    EXPECT_FALSE(accepting.KillTimer(7));
  });
}

TEST(Timer, TimersTickInTheOrderTheyFallDueAndSettingOneAgainRestartsIt) {
  ManualClock clock;
  WithProbes([&](CTestDlg&, CProbeWnd& accepting, CProbeWnd& refusing) {
    accepting.m_clock = refusing.m_clock = &clock;
    EXPECT_EQ(accepting.SetTimer(7, 150), 7u);
    EXPECT_EQ(accepting.SetTimer(8, 100), 8u);
    EXPECT_EQ(refusing.SetTimer(7, 120), 7u) << "timer ids are per window";
    clock.Advance(250);
    EXPECT_EQ(accepting.m_ticks, (Ticks{"8 at 100", "7 at 150", "8 at 200"}));
    EXPECT_EQ(refusing.m_ticks, (Ticks{"7 at 120", "7 at 240"}));

    // At 250, timer 7 (next due at 300) is set again, to 40 ms.
    EXPECT_EQ(accepting.SetTimer(7, 40), 7u);
    EXPECT_EQ(clock.RunningTimers(), 3u) << "set again, not added";
    accepting.m_ticks.clear();
    clock.Advance(50);
    EXPECT_EQ(accepting.m_ticks, (Ticks{"7 at 290", "8 at 300"}));
    EXPECT_TRUE(accepting.KillTimer(7));
    EXPECT_TRUE(accepting.KillTimer(8));
    EXPECT_TRUE(refusing.KillTimer(7));
  });
}

TEST(Timer, ATickMayKillItsOwnTimerAndAGoneWindowHasNone) {
  ManualClock clock;
  WithProbes([&](CTestDlg& dlg, CProbeWnd& accepting, CProbeWnd&) {
    accepting.m_clock = &clock;
    accepting.m_killOnTick = 7;
    accepting.m_killAtTick = 2;
    accepting.m_events.clear();
    accepting.SetTimer(7, 100);
    clock.Advance(500);
    EXPECT_EQ(accepting.m_ticks, (Ticks{"7 at 100", "7 at 200"}));
    EXPECT_EQ(accepting.m_events, std::vector<std::string>{"killed"});

    CProbeWnd doomed;
    doomed.m_clock = &clock;
    ASSERT_TRUE(doomed.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), &dlg, 2003));
    EXPECT_EQ(doomed.SetTimer(3, 100), 3u);
    EXPECT_EQ(doomed.SetTimer(0, 100), 0u) << "0 is no timer id";
    EXPECT_EQ(clock.RunningTimers(), 1u);
    HWND gone = doomed.m_hWnd;
    doomed.DestroyWindow();
    EXPECT_EQ(clock.RunningTimers(), 0u) << "a window's timers end with it";
    clock.Advance(500);
    EXPECT_EQ(doomed.m_ticks, Ticks{});
    EXPECT_EQ(kp::qt::SetTimer(gone, 3, 100), 0u);
    EXPECT_FALSE(kp::qt::KillTimer(gone, 3));
  });
}

TEST(Timer, WithoutATestClockItIsAPreciseQtTimerThatTicksFromTheEventLoop) {
  WithProbes([](CTestDlg&, CProbeWnd& accepting, CProbeWnd&) {
    accepting.m_killOnTick = 7;
    accepting.m_killAtTick = 2;
    EXPECT_EQ(accepting.SetTimer(7, 150), 7u);
    const std::vector<QtTimerSeen> running = RunningQtTimers(accepting.m_hWnd);
    ASSERT_EQ(running.size(), 1u);
    EXPECT_EQ(running[0].milliseconds, 150);
    EXPECT_TRUE(running[0].precise) << "the coarse kind drifts by several percent";
    // The second tick stops its own timer, while Qt delivers it.
    EXPECT_TRUE(WaitUntil([&] { return accepting.m_ticks.size() == 2; }));
    EXPECT_EQ(std::count(accepting.m_events.begin(), accepting.m_events.end(), "killed"), 1);
    EXPECT_TRUE(RunningQtTimers(accepting.m_hWnd).empty());
    ProcessEvents();
    EXPECT_EQ(accepting.m_ticks.size(), 2u) << "no tick after KillTimer";
    EXPECT_FALSE(accepting.KillTimer(7));
  });
}

TEST(Window, DroppedFilesReachOnlyAWindowThatAcceptsThem) {
  WithProbes([](CTestDlg&, CProbeWnd& accepting, CProbeWnd& refusing) {
    std::size_t drops = kp::qt::LiveDropCount();
    EXPECT_TRUE(DropFiles(accepting.m_hWnd, POINT{10, 10}, {"/tmp/a.bmp", "/tmp/b c.bmp"}));
    EXPECT_EQ(accepting.m_dropped, (std::vector<std::string>{"/tmp/a.bmp", "/tmp/b c.bmp"}));
    EXPECT_FALSE(DropFiles(refusing.m_hWnd, POINT{10, 10}, {"/tmp/a.bmp"}));
    EXPECT_TRUE(refusing.m_dropped.empty());
    EXPECT_EQ(kp::qt::LiveDropCount(), drops) << "every drop is released";
    accepting.DragAcceptFiles(FALSE);
    EXPECT_FALSE(DropFiles(accepting.m_hWnd, POINT{10, 10}, {"/tmp/c.bmp"}));
    EXPECT_EQ(accepting.m_dropped.size(), 2u);
  });
}

TEST(DragQueryFile, CountsMeasuresAndCopiesWithinTheBuffer) {
  HDROP drop = kp::qt::CreateDropHandle({"/tmp/one.bmp", "/x"}, POINT{3, 4});
  EXPECT_EQ(DragQueryFile(drop, 0xFFFFFFFF, nullptr, 0), 2u);
  EXPECT_EQ(DragQueryFile(drop, 0, nullptr, 0), 12u);
  char buffer[8];
  std::memset(buffer, 'z', sizeof buffer);
  EXPECT_EQ(DragQueryFile(drop, 0, buffer, 5), 4u);
  EXPECT_STREQ(buffer, "/tmp");
  EXPECT_EQ(buffer[5], 'z') << "nothing written past the buffer";
  EXPECT_EQ(DragQueryFile(drop, 2, buffer, sizeof buffer), 0u);
  POINT at{};
  EXPECT_TRUE(DragQueryPoint(drop, &at));
  EXPECT_EQ(CPoint(at), CPoint(3, 4));
  DragFinish(drop);
  EXPECT_EQ(DragQueryFile(drop, 0xFFFFFFFF, nullptr, 0), 0u);
  DragFinish(drop);
}

TEST(Menu, UpdateHandlersGreyItemsAndTheChosenCommandArrives) {
  WithProbes([](CTestDlg&, CProbeWnd& accepting, CProbeWnd&) {
    std::size_t menus = kp::user::LiveMenuCount();
    Click(accepting.m_hWnd);
    accepting.m_events.clear();
    std::vector<MenuItemSeen> seen;
    AnswerNextPopupMenu("&Greyed by handler", &seen);
    RightClickAt(accepting.m_hWnd, POINT{5, 5});
    ProcessEvents();
    EXPECT_EQ(accepting.m_events, std::vector<std::string>{}) << "the menu does not take the focus from the window";
    EXPECT_EQ(CWnd::GetFocus(), &accepting);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].text, "&Enabled");
    EXPECT_TRUE(seen[0].enabled);
    EXPECT_EQ(seen[0].statusTip, "Does the enabled thing");
    EXPECT_TRUE(seen[1].separator);
    EXPECT_FALSE(seen[2].enabled);
    EXPECT_EQ(seen[2].statusTip, "");
    EXPECT_EQ(std::count(accepting.m_events.begin(), accepting.m_events.end(), "greyed item"), 0);
    RECT window;
    accepting.GetWindowRect(&window);
    EXPECT_EQ(CPoint(accepting.m_contextAt), CPoint(window.left + 5, window.top + 5));

    accepting.m_hasBitmap = true;
    seen.clear();
    AnswerNextPopupMenu("&Greyed by handler", &seen);
    RightClickAt(accepting.m_hWnd, POINT{5, 5});
    ProcessEvents();
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_TRUE(seen[2].enabled);
    EXPECT_EQ(std::count(accepting.m_events.begin(), accepting.m_events.end(), "greyed item"), 1);
    EXPECT_EQ(kp::user::LiveMenuCount(), menus) << "the loaded menu was destroyed";
  });
}

TEST(WindowMenu, RightClickOnTheBackgroundOffersCloseAndAppendedItems) {
  CTestDlg dlg;
  std::vector<MenuItemSeen> seen;
  RunModalWith(dlg, [&] {
    AnswerNextPopupMenu("&About...", &seen);
    RightClickAt(dlg.m_hWnd, POINT{290, 5});
    ProcessEvents();
    std::vector<std::string> texts;
    for (const auto& item : seen) texts.push_back(item.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"Mi&nimize", "&Close", "", "&About..."}));
    EXPECT_EQ(dlg.m_events.back(), "about");

    AnswerNextPopupMenu("&Close");
    PressKey(dlg.m_hWnd, VK_SPACE, Alt);
  });
  EXPECT_EQ(std::count(dlg.m_events.begin(), dlg.m_events.end(), "about"), 1);
}

TEST(WindowMenu, SystemCommandsAreRoutedAndLowBitsIgnoredByTheProgram) {
  CTestDlg dlg;
  INT_PTR result = RunModalWith(dlg, [&] {
    dlg.SendMessage(WM_SYSCOMMAND, IDM_ABOUT | 0xF);
    EXPECT_EQ(dlg.m_events.back(), "about");
    dlg.SendMessage(WM_SYSCOMMAND, SC_CLOSE);
  });
  EXPECT_EQ(result, IDCANCEL);
}

TEST(Dispatch, AnExceptionInAHandlerIsReportedAndTheDialogGoesOn) {
  WithProbes([](CTestDlg& dlg, CProbeWnd& accepting, CProbeWnd&) {
    ScriptedPrompts prompts;
    prompts.AnswerMessageBox(IDOK).AnswerMessageBox(IDOK);
    accepting.m_throwFileError = true;
    Click(accepting.m_hWnd);
    accepting.m_throwFileError = false;
    accepting.m_throwOther = true;
    Click(accepting.m_hWnd);
    accepting.m_throwOther = false;
    ASSERT_EQ(prompts.MessageBoxes().size(), 2u);
    EXPECT_EQ(prompts.MessageBoxes()[0].text, "Disk full while accessing /tmp/full.shp2.");
    EXPECT_EQ(prompts.MessageBoxes()[1].text, "An unsupported operation was attempted.");
    EXPECT_TRUE(kp::qt::IsModalLoopRunning(dlg.m_hWnd));
    Click(dlg.GetDlgItem(IDC_PRESS)->m_hWnd);
    EXPECT_EQ(dlg.m_events.back(), "press");
  });
}

TEST(Cursor, TheWaitCursorStaysUntilTheArrowIsSetBack) {
  HCURSOR wait = LoadCursor(nullptr, IDC_WAIT);
  HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
  ASSERT_NE(wait, nullptr);
  ASSERT_NE(wait, arrow);
  EXPECT_EQ(GetCursor(), arrow);
  SetCursor(wait);
  SetCursor(wait);
  EXPECT_EQ(GetCursor(), wait);
  ProcessEvents();
  EXPECT_EQ(SetCursor(arrow), wait);
  EXPECT_EQ(GetCursor(), arrow);
  EXPECT_EQ(LoadCursor(nullptr, MAKEINTRESOURCE(32600)), nullptr);
}

TEST(SystemMetrics, IconsAre32Pixels) {
  EXPECT_EQ(GetSystemMetrics(SM_CXICON), 32);
  EXPECT_EQ(GetSystemMetrics(SM_CYICON), 32);
}

}  // namespace
}  // namespace afx_tests
