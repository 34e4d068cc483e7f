#include <gtest/gtest.h>

#include "platform/afx/integer_text.h"
#include "platform/afx/tests/test_dialog.h"
#include "platform/qt/window_system.h"
#include "platform/testing/scripted_prompts.h"
#include "platform/testing/ui_driver.h"
#include "platform/user/window_functions.h"

namespace afx_tests {
namespace {

using namespace kp::testing;

TEST(IntegerText, AcceptsBlanksSignAndDigitsThatFitIn32Bits) {
  struct Row {
    const char* text;
    std::optional<int> value;
  } rows[] = {
      {"0", 0},
      {"42", 42},
      {"  -17\t", -17},
      {"+5", 5},
      {"007", 7},
      {"2147483647", 2147483647},
      {"-2147483648", -2147483647 - 1},
      {"2147483648", std::nullopt},
      {"-2147483649", std::nullopt},
      {"99999999999999999999", std::nullopt},
      {"", std::nullopt},
      {"   ", std::nullopt},
      {"-", std::nullopt},
      {"1 2", std::nullopt},
      {"12abc", std::nullopt},
      {"0x10", std::nullopt},
      {"1.5", std::nullopt},
      {"--1", std::nullopt},
  };
  for (const Row& row : rows) EXPECT_EQ(kp::afx::ParseInt32(row.text), row.value) << '"' << row.text << '"';
}

// Types into one field, exchanges towards the members and reports what the
// user was told and where the focus went.
struct Outcome {
  BOOL ok;
  std::vector<std::string> messages;
  HWND focus;
  std::string selected;
};

// Used with refused values only: the one message box gets its OK.
Outcome TypeAndExchange(CTestDlg& dlg, int id, const std::string& text) {
  HWND field = ::GetDlgItem(dlg.m_hWnd, id);
  TypeText(field, text);
  // Move the focus away first, so that putting it back is seen.
  kp::qt::SetFocus(::GetDlgItem(dlg.m_hWnd, IDC_PRESS));
  ProcessEvents();
  ScriptedPrompts prompts;
  prompts.AnswerMessageBox(IDOK);
  Outcome outcome;
  outcome.ok = dlg.UpdateData(TRUE);
  ProcessEvents();
  for (const auto& box : prompts.MessageBoxes()) outcome.messages.push_back(box.text);
  outcome.focus = kp::qt::GetFocus();
  outcome.selected = SelectedText(field);
  return outcome;
}

TEST(DataExchange, MembersGoToControlsAndTypedValuesComeBack) {
  CTestDlg dlg;
  RunModalWith(dlg, [&] {
    HWND h = dlg.m_hWnd;
    TypeText(::GetDlgItem(h, IDC_NUMBER), "123");
    TypeText(::GetDlgItem(h, IDC_BOUNDED), "10");
    ChooseComboItem(::GetDlgItem(h, IDC_LIST), 0);
    Click(::GetDlgItem(h, IDC_CHECK));
    EXPECT_TRUE(dlg.UpdateData(TRUE));
    EXPECT_EQ(dlg.m_nNumber, 123);
    EXPECT_EQ(dlg.m_nBounded, 10);
    EXPECT_EQ(dlg.m_nChoice, 0);
    EXPECT_EQ(dlg.m_bChecked, FALSE);
    EXPECT_EQ(dlg.m_strText, "read-only text");

    dlg.m_nNumber = -5;
    dlg.m_strText = "changed";
    dlg.m_nChoice = 2;
    dlg.m_bChecked = TRUE;
    EXPECT_TRUE(dlg.UpdateData(FALSE));
    CString text;
    dlg.GetDlgItemText(IDC_NUMBER, text);
    EXPECT_EQ(text, "-5");
    dlg.GetDlgItemText(IDC_READONLY, text);
    EXPECT_EQ(text, "changed");
    EXPECT_EQ(::SendMessage(::GetDlgItem(h, IDC_LIST), CB_GETCURSEL), 2);
    EXPECT_EQ(dlg.IsDlgButtonChecked(IDC_CHECK), BST_CHECKED);
    dlg.EndDialog(IDCANCEL);
  });
}

TEST(DataExchange, TextThatIsNotAnIntegerIsRefusedAndTheFieldGetsTheFocus) {
  CTestDlg dlg;
  RunModalWith(dlg, [&] {
    HWND number = ::GetDlgItem(dlg.m_hWnd, IDC_NUMBER);
    Outcome outcome = TypeAndExchange(dlg, IDC_NUMBER, "12abc");
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.messages, (std::vector<std::string>{"Please enter an integer."}));
    EXPECT_EQ(outcome.focus, number);
    EXPECT_EQ(outcome.selected, "12abc");
    EXPECT_EQ(dlg.m_nNumber, 42) << "the member keeps its value";
    dlg.EndDialog(IDCANCEL);
  });
}

TEST(DataExchange, ValuesOutOfRangeNameTheBoundsAndLaterFieldsKeepTheirValues) {
  CTestDlg dlg;
  RunModalWith(dlg, [&] {
    HWND bounded = ::GetDlgItem(dlg.m_hWnd, IDC_BOUNDED);
    TypeText(::GetDlgItem(dlg.m_hWnd, IDC_READONLY), "ignored");
    Outcome outcome = TypeAndExchange(dlg, IDC_BOUNDED, "11");
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.messages, (std::vector<std::string>{"Please enter an integer between 0 and 10."}));
    EXPECT_EQ(outcome.focus, bounded);
    EXPECT_EQ(outcome.selected, "11");
    EXPECT_EQ(dlg.m_strText, "read-only text");
    dlg.EndDialog(IDCANCEL);
  });
}

TEST(DataExchange, EnterWithABadValueKeepsTheDialogOpen) {
  CTestDlg dlg;
  ScriptedPrompts prompts;
  prompts.AnswerMessageBox(IDOK);
  INT_PTR result = RunModalWith(dlg, [&] {
    TypeText(::GetDlgItem(dlg.m_hWnd, IDC_NUMBER), "");
    PressKey(dlg.m_hWnd, VK_RETURN);
    ProcessEvents();
    EXPECT_TRUE(kp::qt::IsModalLoopRunning(dlg.m_hWnd));
    ASSERT_EQ(prompts.MessageBoxes().size(), 1u);
    EXPECT_EQ(prompts.MessageBoxes()[0].text, "Please enter an integer.");
    EXPECT_EQ(prompts.MessageBoxes()[0].caption, GetModuleBaseName(AfxGetInstanceHandle()));
    TypeText(::GetDlgItem(dlg.m_hWnd, IDC_NUMBER), "8");
    PressKey(dlg.m_hWnd, VK_RETURN);
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(dlg.m_nNumber, 8);
}

}  // namespace
}  // namespace afx_tests
