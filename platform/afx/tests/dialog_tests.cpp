#include <gtest/gtest.h>

#include "platform/afx/tests/test_dialog.h"
#include "platform/qt/window_system.h"
#include "platform/testing/scripted_prompts.h"
#include "platform/testing/ui_driver.h"
#include "platform/user/window_functions.h"

namespace afx_tests {
namespace {

using namespace kp::testing;

TEST(DialogUnits, TheDialogFontHasTheClassicBaseUnits) {
  SIZE base = kp::qt::GetDialogBaseUnits("MS Sans Serif", 8);
  EXPECT_EQ(base.cx, 6);
  EXPECT_EQ(base.cy, 13);
}

TEST(DialogUnits, EachEdgeIsScaledAndRoundedOnItsOwn) {
  // clang-format off
  struct Row {
    RECT units;
    RECT pixels;
  } rows[] = {
      {{0, 0, 4, 8}, {0, 0, 6, 13}},
      {{10, 30, 60, 44}, {15, 49, 90, 72}},    // 48.75 -> 49, 71.5 -> 72
      {{321, 6, 371, 20}, {482, 10, 557, 33}}, // 481.5 -> 482, 9.75 -> 10
  };
  // clang-format on
  for (const Row& row : rows) {
    RECT got = kp::afx::MapDialogUnits(row.units, SIZE{6, 13});
    EXPECT_EQ(CRect(got), CRect(row.pixels)) << row.units.left << "," << row.units.top;
  }
}

TEST(Dialog, ShowsTheTemplateItemsWithTheirTextsPlacesAndStates) {
  CTestDlg dlg;
  INT_PTR result = RunModalWith(dlg, [&] {
    HWND h = dlg.m_hWnd;
    CRect client;
    dlg.GetClientRect(&client);
    EXPECT_EQ(client, CRect(0, 0, 300, 244));  // 200 x 150 units at 6 x 13
    EXPECT_EQ(WidgetFontFamily(h), "DejaVu Sans Condensed");
    EXPECT_TRUE(IsModal(h));
    EXPECT_TRUE(ShowsInTaskBar(h));
    EXPECT_TRUE(HasMinimizeButton(h));
    CString caption;
    dlg.GetWindowText(caption);
    EXPECT_EQ(caption, "Framework Test");

    // Positions come from dialog units, in the order of the template.
    EXPECT_EQ(CRect(WidgetRectInWindow(::GetDlgItem(h, IDC_PRESS))), CRect(15, 49, 90, 72));
    EXPECT_EQ(CRect(WidgetRectInWindow(::GetDlgItem(h, IDC_READONLY))), CRect(165, 106, 285, 128));
    RECT combo = WidgetRectInWindow(::GetDlgItem(h, IDC_LIST));
    EXPECT_EQ(combo.left, 15);
    EXPECT_EQ(combo.right, 165);
    EXPECT_LT(combo.bottom - combo.top, 40) << "the template height includes the list";

    // clang-format off
    struct Expect {
      int id;
      const char* text;
      bool visible;
      bool enabled;
    } items[] = {
        {IDC_PRESS, "Press &Me", true, true},   {IDC_DISABLED, "Disabled", true, false},
        {IDC_CHECK, "Check it", true, true},    {IDC_NUMBER, "42", true, true},
        {IDC_BOUNDED, "5", true, true},         {IDC_READONLY, "read-only text", true, true},
        {IDC_LABEL, "A && B &label", true, true}, {IDC_NOPREFIX, "50% & more", true, true},
        {IDOK, "OK", false, true},              {IDCANCEL, "Cancel", true, true},
        {IDC_HIDDEN, "Hidden", false, true},
    };
    // clang-format on
    for (const Expect& e : items) {
      CWnd* item = dlg.GetDlgItem(e.id);
      ASSERT_NE(item, nullptr) << e.id;
      CString text;
      item->GetWindowText(text);
      EXPECT_EQ(text, e.text) << e.id;
      EXPECT_EQ(item->IsWindowVisible() != FALSE, e.visible) << e.id;
      EXPECT_EQ(item->IsWindowEnabled() != FALSE, e.enabled) << e.id;
    }
    EXPECT_TRUE(IsReadOnlyEdit(::GetDlgItem(h, IDC_READONLY)));
    EXPECT_FALSE(IsReadOnlyEdit(::GetDlgItem(h, IDC_NUMBER)));
    EXPECT_TRUE(HasFrame(::GetDlgItem(h, IDC_NUMBER)));
    EXPECT_TRUE(HasDefaultLook(::GetDlgItem(h, IDOK)));
    EXPECT_FALSE(HasDefaultLook(::GetDlgItem(h, IDCANCEL)));

    // The list strings come from the dialog-init data; the hosted control's
    // record among them is not a list string.
    HWND list = ::GetDlgItem(h, IDC_LIST);
    EXPECT_EQ(::SendMessage(list, CB_GETCOUNT), 3);
    char text[32];
    ::SendMessage(list, CB_GETLBTEXT, 2, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "Third");
    EXPECT_EQ(::SendMessage(list, CB_GETCURSEL), 1) << "data exchange selects m_nChoice";
    EXPECT_EQ(dlg.IsDlgButtonChecked(IDC_CHECK), BST_CHECKED);

    // The first tab stop has the focus.
    EXPECT_EQ(kp::qt::GetFocus(), list);
    EXPECT_EQ(dlg.GetDlgItem(IDC_PICTURE)->GetDlgCtrlID(), IDC_PICTURE);
    EXPECT_EQ(dlg.GetDlgItem(IDC_PICTURE)->GetParent(), &dlg);
    dlg.EndDialog(77);
  });
  EXPECT_EQ(result, 77);
  EXPECT_EQ(dlg.m_events.front(), "init");
}

TEST(Dialog, MissingTemplatesAndMalformedInitDataFail) {
  CTestDlg missing(IDD_MISSING);
  EXPECT_EQ(missing.DoModal(), -1);
  CTestDlg bad(IDD_BAD_INIT);
  EXPECT_EQ(bad.DoModal(), -1);
  EXPECT_EQ(bad.m_hWnd, nullptr);
}

TEST(Dialog, ClicksAndListChoicesReachTheMessageMap) {
  CTestDlg dlg;
  RunModalWith(dlg, [&] {
    HWND h = dlg.m_hWnd;
    Click(::GetDlgItem(h, IDC_PRESS));
    Click(::GetDlgItem(h, IDC_DISABLED));  // disabled: nothing
    Click(::GetDlgItem(h, IDC_PICTURE));
    ChooseComboItem(::GetDlgItem(h, IDC_LIST), 2);
    EXPECT_EQ(dlg.m_events, (std::vector<std::string>{"init", "press", "picture", "selchange"}));
    EXPECT_TRUE(dlg.UpdateData(TRUE));
    EXPECT_EQ(dlg.m_nChoice, 2);
    Click(::GetDlgItem(h, IDC_CHECK));
    EXPECT_TRUE(dlg.UpdateData(TRUE));
    EXPECT_EQ(dlg.m_bChecked, FALSE);
    dlg.EndDialog(IDCANCEL);
  });
}

TEST(Dialog, GetKeyStateSeesTheModifiersOfTheClick) {
  CTestDlg dlg;
  std::vector<int> seen;
  dlg.m_onPress = [&] { seen.push_back(dlg.m_ctrlAndShiftSeen); };
  RunModalWith(dlg, [&] {
    HWND press = ::GetDlgItem(dlg.m_hWnd, IDC_PRESS);
    Click(press, Control | Shift);
    Click(press);
    Click(press, Control);
    dlg.EndDialog(IDCANCEL);
  });
  EXPECT_EQ(seen, (std::vector<int>{1, 0, 0}));
}

TEST(Dialog, EnterPressesTheHiddenDefaultButtonAndExchangesData) {
  CTestDlg dlg;
  INT_PTR result = RunModalWith(dlg, [&] {
    TypeText(::GetDlgItem(dlg.m_hWnd, IDC_NUMBER), " -17 ");
    PressKey(dlg.m_hWnd, VK_RETURN);
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(dlg.m_nNumber, -17);
}

TEST(Dialog, EscapeAndTheCloseBoxCancel) {
  CTestDlg escaped;
  EXPECT_EQ(RunModalWith(escaped,
                         [&] {
                           TypeText(::GetDlgItem(escaped.m_hWnd, IDC_NUMBER), "99");
                           PressKey(escaped.m_hWnd, VK_ESCAPE);
                         }),
            IDCANCEL);
  EXPECT_EQ(escaped.m_nNumber, 42) << "Cancel exchanges nothing";
  CTestDlg closed;
  EXPECT_EQ(RunModalWith(closed, [&] { CloseWindow(closed.m_hWnd); }), IDCANCEL);
}

TEST(Dialog, AFocusedPushButtonTakesEnter) {
  CTestDlg dlg;
  INT_PTR result = RunModalWith(dlg, [&] {
    HWND cancel = ::GetDlgItem(dlg.m_hWnd, IDCANCEL);
    CWnd::FromHandle(cancel)->SetFocus();
    ProcessEvents();
    PressKey(dlg.m_hWnd, VK_RETURN);
  });
  EXPECT_EQ(result, IDCANCEL);
}

TEST(Dialog, TheWindowIsGoneAfterDoModalAndItsHandleFailsCleanly) {
  CTestDlg dlg;
  HWND seen = nullptr;
  HWND child = nullptr;
  RunModalWith(dlg, [&] {
    seen = dlg.m_hWnd;
    child = ::GetDlgItem(seen, IDC_PRESS);
    dlg.EndDialog(IDOK);
  });
  EXPECT_EQ(dlg.m_hWnd, nullptr);
  EXPECT_FALSE(::IsWindow(seen));
  EXPECT_FALSE(::IsWindow(child));
  EXPECT_EQ(CWnd::FromHandle(seen), nullptr);
  EXPECT_EQ(::SendMessage(child, WM_GETTEXTLENGTH), 0);
  EXPECT_FALSE(::DestroyWindow(seen));
  EXPECT_EQ(kp::qt::GetDlgItem(seen, IDC_PRESS), nullptr);
}

TEST(Dialog, OwnerDrawnButtonsAskTheParentToDraw) {
  CTestDlg dlg;
  RunModalWith(dlg, [&] {
    ProcessEvents();
    ASSERT_FALSE(dlg.m_draws.empty());
    const DRAWITEMSTRUCT& item = dlg.m_draws.back();
    EXPECT_EQ(item.CtlType, ODT_BUTTON);
    EXPECT_EQ(item.CtlID, static_cast<UINT>(IDC_PICTURE));
    EXPECT_EQ(item.hwndItem, ::GetDlgItem(dlg.m_hWnd, IDC_PICTURE));
    EXPECT_EQ(CRect(item.rcItem), CRect(0, 0, 90, 49));
    std::size_t before = dlg.m_draws.size();
    dlg.GetDlgItem(IDC_PICTURE)->InvalidateRect(nullptr, FALSE);
    dlg.GetDlgItem(IDC_PICTURE)->UpdateWindow();
    EXPECT_EQ(dlg.m_draws.size(), before + 1);
    dlg.EndDialog(IDOK);
  });
}

}  // namespace
}  // namespace afx_tests

namespace afx_tests {
namespace {
using namespace kp::testing;

TEST(Dialog, AnIconStaticShowsTheModulesIconWithItsMask) {
  CTestDlg dlg;
  RunModalWith(dlg, [&] {
    HWND icon = ::GetDlgItem(dlg.m_hWnd, IDC_ICON);
    ASSERT_NE(icon, nullptr);
    Pixels shot = GrabWindow(icon);
    ASSERT_EQ(shot.width, 32);
    ASSERT_EQ(shot.height, 32);
    EXPECT_EQ(shot.At(16, 24), 0xFF0000FFu) << "the opaque half is the icon's blue";
    EXPECT_NE(shot.At(16, 8), 0xFF0000FFu) << "the masked half shows the dialog behind";
    dlg.EndDialog(IDOK);
  });
}
}  // namespace
}  // namespace afx_tests
