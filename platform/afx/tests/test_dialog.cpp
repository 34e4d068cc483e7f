#include "platform/afx/tests/test_dialog.h"

#include <vector>

#include "platform/afx/menu.h"
#include "platform/resources/resource_table.h"
#include "platform/user/window_functions.h"

namespace afx_tests {
namespace {
using kp::resources::DialogItem;
using Class = DialogItem::Class;

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

// clang-format off
const kp::resources::DialogTemplate kTestDialog = {
    "Framework Test",
    WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME | DS_SETFONT,
    WS_EX_APPWINDOW,
    0, 0, 200, 150,
    "MS Sans Serif", 8,
    {
        {Class::ComboBox, IDC_LIST, "", 10, 10, 100, 80, kChild | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST},
        {Class::Button, IDC_PRESS, "Press &Me", 10, 30, 50, 14, kChild | WS_TABSTOP | BS_PUSHBUTTON},
        {Class::Button, IDC_DISABLED, "Disabled", 70, 30, 50, 14, kChild | WS_TABSTOP | WS_DISABLED},
        {Class::Button, IDC_CHECK, "Check it", 10, 50, 80, 10, kChild | WS_TABSTOP | BS_AUTOCHECKBOX},
        {Class::Edit, IDC_NUMBER, "", 10, 65, 40, 14, kChild | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL},
        {Class::Edit, IDC_BOUNDED, "", 60, 65, 40, 14, kChild | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL},
        {Class::Edit, IDC_READONLY, "", 110, 65, 80, 14, kChild | WS_BORDER | ES_READONLY | ES_AUTOHSCROLL},
        {Class::Static, IDC_LABEL, "A && B &label", 10, 85, 100, 8, kChild | SS_LEFT},
        {Class::Static, IDC_NOPREFIX, "50% & more", 120, 85, 70, 8, kChild | SS_LEFT | SS_NOPREFIX},
        {Class::Static, IDC_ICON, "#128", 170, 5, 20, 20, kChild | SS_ICON},
        {Class::Button, IDC_GROUP, "Group", 5, 100, 190, 45, kChild | BS_GROUPBOX},
        {Class::Button, IDC_PICTURE, "", 10, 110, 60, 30, kChild | WS_TABSTOP | BS_OWNERDRAW},
        {Class::Button, IDOK, "OK", 140, 110, 50, 14, WS_CHILD | WS_TABSTOP | BS_DEFPUSHBUTTON},
        {Class::Button, IDCANCEL, "Cancel", 140, 128, 50, 14, kChild | WS_TABSTOP},
        {Class::Button, IDC_HIDDEN, "Hidden", 80, 128, 50, 14, WS_CHILD | WS_TABSTOP},
    },
};
// clang-format on

// clang-format off
const kp::resources::DialogTemplate kBadInitDialog = {
    "Bad Init", WS_POPUP | WS_CAPTION, 0, 0, 0, 100, 50, "MS Sans Serif", 8,
    {{Class::ComboBox, IDC_LIST, "", 10, 10, 80, 60, kChild | CBS_DROPDOWNLIST}},
};
// clang-format on

// {id, CB_ADDSTRING, length, "text\0"} records, then the closing zero.
// clang-format off
const BYTE kTestInit[] = {
    0xE9, 0x03, 0x43, 0x01, 6, 0, 0, 0, 'F', 'i', 'r', 's', 't', 0,
    0xE9, 0x03, 0x43, 0x01, 7, 0, 0, 0, 'S', 'e', 'c', 'o', 'n', 'd', 0,
    0xE9, 0x03, 0x76, 0x03, 3, 0, 0, 0, 1, 2, 3,  // a hosted control's record: not for lists
    0xE9, 0x03, 0x43, 0x01, 6, 0, 0, 0, 'T', 'h', 'i', 'r', 'd', 0,
    0, 0,
};
// clang-format on

// A record whose length runs past the end.
const BYTE kBadInit[] = {0xE9, 0x03, 0x43, 0x01, 200, 0, 0, 0, 'X', 0};

// clang-format off
const kp::resources::MenuTemplate kTestMenu = {{
    {"Popup", 0, MF_POPUP, {
        {"&Enabled", ID_ENABLED_ITEM, 0, {}},
        {nullptr, 0, MF_SEPARATOR, {}},
        {"&Greyed by handler", ID_GREYED_ITEM, 0, {}},
    }},
}};
// clang-format on

// Icon 128: 32 x 32 at 4 bits per pixel, all colour 1 (blue), with the AND
// mask making the top half transparent.
std::vector<BYTE> MakeIconImage() {
  std::vector<BYTE> dib = {40, 0, 0, 0, 32, 0, 0, 0, 64, 0, 0, 0, 1, 0, 4, 0};
  dib.resize(40, 0);
  for (int i = 0; i < 16; ++i) {
    BYTE entry[4] = {static_cast<BYTE>(i == 1 ? 0xFF : 0), 0, 0, 0};
    dib.insert(dib.end(), entry, entry + 4);
  }
  dib.insert(dib.end(), 32 * 16, 0x11);
  // AND mask rows run bottom-up: the last 16 rows are the top half.
  dib.insert(dib.end(), 16 * 4, 0x00);
  dib.insert(dib.end(), 16 * 4, 0xFF);
  return dib;
}
const std::vector<BYTE> kIconImage = MakeIconImage();

const kp::resources::ResourceTable kResources = [] {
  kp::resources::ResourceTable table;
  table.strings = {{ID_ENABLED_ITEM, "Does the enabled thing\nEnabled"}};
  table.dialogs = {{IDD_TEST, &kTestDialog}, {IDD_BAD_INIT, &kBadInitDialog}};
  table.dialogInit = {{IDD_TEST, kTestInit}, {IDD_BAD_INIT, kBadInit}};
  table.menus = {{IDR_TEST_MENU, &kTestMenu}};
  table.icons = {{128, {kIconImage}}};
  return table;
}();
}  // namespace
}  // namespace afx_tests

KP_MODULE_RESOURCES(afx_tests::kResources)

namespace afx_tests {

BEGIN_MESSAGE_MAP(CTestDlg, CDialog)
ON_BN_CLICKED(IDC_PRESS, OnPressMe)
ON_CBN_SELCHANGE(IDC_LIST, OnSelchangeList)
ON_BN_CLICKED(IDC_PICTURE, OnPicture)
ON_WM_DRAWITEM()
ON_WM_SYSCOMMAND()
END_MESSAGE_MAP()

BOOL CTestDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  if (CMenu* menu = GetSystemMenu(FALSE)) {
    menu->AppendMenu(MF_SEPARATOR);
    menu->AppendMenu(MF_STRING, IDM_ABOUT, "&About...");
  }
  m_events.push_back("init");
  return TRUE;
}

void CTestDlg::DoDataExchange(CDataExchange* pDX) {
  DDX_CBIndex(pDX, IDC_LIST, m_nChoice);
  DDX_Check(pDX, IDC_CHECK, m_bChecked);
  DDX_Text(pDX, IDC_NUMBER, m_nNumber);
  DDX_Text(pDX, IDC_BOUNDED, m_nBounded);
  DDV_MinMaxInt(pDX, m_nBounded, 0, 10);
  DDX_Text(pDX, IDC_READONLY, m_strText);
}

void CTestDlg::OnPressMe() {
  m_events.push_back("press");
  m_ctrlAndShiftSeen = (GetKeyState(VK_CONTROL) & 0x8000) && (GetKeyState(VK_SHIFT) & 0x8000);
  if (m_onPress) m_onPress();
}

void CTestDlg::OnSelchangeList() { m_events.push_back("selchange"); }
void CTestDlg::OnPicture() { m_events.push_back("picture"); }

void CTestDlg::OnDrawItem(int, LPDRAWITEMSTRUCT lpDrawItemStruct) { m_draws.push_back(*lpDrawItemStruct); }

void CTestDlg::OnSysCommand(UINT nID, LPARAM lParam) {
  if ((nID & 0xFFF0) == IDM_ABOUT) {
    m_events.push_back("about");
    return;
  }
  CDialog::OnSysCommand(nID, lParam);
}

}  // namespace afx_tests
