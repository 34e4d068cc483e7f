// Not a test: a container showing four bitmap drop controls in their
// states (empty, holding, focused, not focused) for a few seconds, so a
// person or a screenshot can look at them. Tavlet.ocx must be registered;
// screenshot_control_states.sh does that and takes the picture.

#include <cstdlib>
#include <vector>

#include "editor/ui/tavlet.h"
#include "interfaces/tavlet_ids.h"
#include "platform/afx/data_exchange.h"
#include "platform/afx/dialog.h"
#include "platform/afx/ole_control_site.h"
#include "platform/afx/ole_init.h"
#include "platform/afx/win_app.h"
#include "platform/resources/resource_table.h"

namespace {

using kp::resources::DialogItem;
using Class = DialogItem::Class;
using tavlet::CLSID_Tavlet;

enum : int { IDD_STATES = 500, IDC_EMPTY = 1001, IDC_HOLDING = 1002, IDC_FOCUSED = 1003, IDC_NOT_FOCUSED = 1004 };

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

// clang-format off
const kp::resources::DialogTemplate kStates = {
    "Tavlet states", WS_POPUP | WS_CAPTION | DS_SETFONT, 0, 0, 0, 286, 96, "MS Sans Serif", 8,
    {
        {Class::Control, IDC_EMPTY, "", 8, 8, 60, 60, kChild | WS_TABSTOP, 0, &CLSID_Tavlet},
        {Class::Control, IDC_HOLDING, "", 76, 8, 60, 60, kChild | WS_TABSTOP, 0, &CLSID_Tavlet},
        {Class::Control, IDC_FOCUSED, "", 144, 8, 60, 60, kChild | WS_TABSTOP, 0, &CLSID_Tavlet},
        {Class::Control, IDC_NOT_FOCUSED, "", 212, 8, 66, 60, kChild | WS_TABSTOP, 0, &CLSID_Tavlet},
        {Class::Static, IDC_STATIC, "Empty", 8, 74, 60, 10, kChild | SS_LEFT},
        {Class::Static, IDC_STATIC, "Holding", 76, 74, 60, 10, kChild | SS_LEFT},
        {Class::Static, IDC_STATIC, "Focused", 144, 74, 60, 10, kChild | SS_LEFT},
        {Class::Static, IDC_STATIC, "Not focused", 212, 74, 66, 10, kChild | SS_LEFT},
    },
};
// clang-format on

// The texture slots' creation record: version 1.0, 1323 x 1376, drops accepted.
const std::vector<BYTE> kStatesInit = [] {
  const BYTE record[] = {0,    0,    0,    0,                              // no string before the stream
                         0x00, 0x00, 0x01, 0x00, 0x2B, 0x05, 0, 0,         // version, _ExtentX 1323
                         0x60, 0x05, 0,    0,    0,    0,    0, 0, 0x70};  // _ExtentY 1376, no stock props, 0x70
  std::vector<BYTE> out;
  for (int id : {IDC_EMPTY, IDC_HOLDING, IDC_FOCUSED, IDC_NOT_FOCUSED}) {
    const BYTE head[] = {static_cast<BYTE>(id), static_cast<BYTE>(id >> 8), 0x76, 0x03, sizeof record, 0, 0, 0};
    out.insert(out.end(), std::begin(head), std::end(head));
    out.insert(out.end(), std::begin(record), std::end(record));
  }
  out.push_back(0);
  out.push_back(0);
  return out;
}();

const kp::resources::ResourceTable kResources = [] {
  kp::resources::ResourceTable table;
  table.dialogs = {{IDD_STATES, &kStates}};
  table.dialogInit = {{IDD_STATES, kStatesInit}};
  return table;
}();

}  // namespace

KP_MODULE_RESOURCES(kResources)

namespace {

class CPictureSlot : public CTavlet {
 public:
  void Show(int width, int height, unsigned seed) {
    // Bands of colour with a checker, bottom row first as the control reads them.
    std::vector<LONG> pixels(static_cast<std::size_t>(width) * height);
    for (int row = 0; row < height; ++row)
      for (int x = 0; x < width; ++x) {
        const int y = height - 1 - row;
        const unsigned red = (seed + x * (255 - seed) / width) & 0xFF;
        const unsigned green = (y * 255 / height) & 0xFF;
        const unsigned blue = ((x / 16 + y / 16) % 2) ? 0xE0 : 0x40;
        pixels[static_cast<std::size_t>(row) * width + x] = static_cast<LONG>(red << 16 | green << 8 | blue);
      }
    RecreateBitmap(pixels.data(), static_cast<SHORT>(width), static_cast<SHORT>(height));
  }
};

class CStatesDlg : public CDialog {
 public:
  CStatesDlg() : CDialog(IDD_STATES) {}
  UINT m_showFor = 4000;

  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    m_holding.Show(128, 128, 0);
    m_focused.Show(128, 128, 96);
    m_notFocused.Show(512, 270, 180);
    m_focused.SetFocus();
    SetTimer(1, m_showFor);
    return FALSE;  // the focus is set
  }

 protected:
  void DoDataExchange(CDataExchange* pDX) override {
    DDX_Control(pDX, IDC_HOLDING, m_holding);
    DDX_Control(pDX, IDC_FOCUSED, m_focused);
    DDX_Control(pDX, IDC_NOT_FOCUSED, m_notFocused);
  }
  void OnTimer(UINT_PTR) { EndDialog(IDOK); }
  DECLARE_MESSAGE_MAP()

  CPictureSlot m_holding, m_focused, m_notFocused;
};

BEGIN_MESSAGE_MAP(CStatesDlg, CDialog)
ON_WM_TIMER()
END_MESSAGE_MAP()

class CStatesApp : public CWinApp {
 public:
  BOOL InitInstance() override {
    if (!AfxOleInit()) return FALSE;
    AfxEnableControlContainer();
    CStatesDlg dlg;
    if (m_lpCmdLine != nullptr && std::atoi(m_lpCmdLine) > 0) dlg.m_showFor = static_cast<UINT>(std::atoi(m_lpCmdLine));
    m_pMainWnd = &dlg;
    const INT_PTR result = dlg.DoModal();
    m_pMainWnd = nullptr;
    // A dialog that could not be made means the control is not registered.
    if (result == -1) std::exit(1);
    return FALSE;
  }
};

CStatesApp theApp;

}  // namespace
