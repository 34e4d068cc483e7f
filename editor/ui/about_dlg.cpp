#include "editor/ui/about_dlg.h"

#include <string>

#include "editor/ui/art/editor_art.h"
#include "editor/ui/resource_dib.h"
#include "kestrow_version.h"
#include "platform/afx/window_dc.h"
#include "platform/gdi/gdi.h"

namespace {
using kp::resources::DialogItem;
using Class = DialogItem::Class;

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

const kp::resources::DialogTemplate kAboutTemplate = {
    "About Kestrow",
    WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT,
    0,
    0, 0, 252, 132,
    "MS Sans Serif", 8,
    {
        {Class::Button, IDOK, "OK", 92, 108, 68, 14, kChild | BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP},
        {Class::Button, CAboutDlg::IDC_ABOUT_PICTURE, "", 35, 15, 180, 85, kChild | BS_OWNERDRAW | WS_TABSTOP},
        // The program's icon, icon resource 128 of the program's table.
        {Class::Static, IDC_STATIC, "#128", 14, 105, 20, 20, kChild | SS_ICON},
        // The name is wider than it was drawn, and the version moves along
        // with it: the dialog font's glyphs on Linux are wider for its base
        // units, and a label too narrow for its text wraps and loses a line.
        {Class::Static, IDC_STATIC, "Orvane Shape Editor v.", 39, 3, 78, 8, kChild | SS_LEFT | SS_NOPREFIX},
        {Class::Static, CAboutDlg::IDC_ABOUT_VERSION, "v.vvv", 118, 3, 22, 8, kChild | SS_LEFT},
    },
};

// The bitmap resource a frame is drawn from; anything outside the table's
// first six frames is the last frame's picture.
UINT FrameBitmap(int frame) {
  return frame >= 0 && frame < CAboutDlg::kLastFrame ? kAboutFrameResourceIds[frame]
                                                     : kAboutFrameResourceIds[CAboutDlg::kLastFrame];
}
}  // namespace

BEGIN_MESSAGE_MAP(CAboutDlg, CDialog)
  ON_WM_DESTROY()
  ON_WM_TIMER()
  ON_WM_DRAWITEM()
  ON_BN_CLICKED(CAboutDlg::IDC_ABOUT_PICTURE, OnPictureClicked)
END_MESSAGE_MAP()

CAboutDlg::CAboutDlg(CWnd* pParent) : CDialog(IDD, pParent), m_strVersion(KESTROW_VERSION_MAJOR_MINOR) {}

CAboutDlg::~CAboutDlg() = default;

void CAboutDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Text(pDX, IDC_ABOUT_VERSION, m_strVersion);
}

BOOL CAboutDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  if (CWnd* ok = GetDlgItem(IDOK)) ok->EnableWindow(FALSE);
  m_nTimer = SetTimer(kAnimationTimer, kFrameMilliseconds);
  m_nFrame = 0;
  return TRUE;
}

void CAboutDlg::OnDestroy() {
  CDialog::OnDestroy();
  if (m_nTimer != 0) {
    KillTimer(m_nTimer);
    m_nTimer = 0;
  }
}

void CAboutDlg::OnTimer(UINT_PTR nIDEvent) {
  m_nFrame += m_nStep;
  if (m_nFrame > kLastFrame) {
    // The last frame is already shown; the box may now be dismissed.
    m_nFrame = kLastFrame;
    if (CWnd* ok = GetDlgItem(IDOK)) ok->EnableWindow(TRUE);
  } else if (m_nFrame < 0) {
    // Frame 0 is already shown; the next tick plays forwards again.
    m_nFrame = 0;
    m_nStep = 1;
  } else if (CWnd* picture = GetDlgItem(IDC_ABOUT_PICTURE)) {
    picture->Invalidate(FALSE);
  }
  CDialog::OnTimer(nIDEvent);
}

void CAboutDlg::OnPictureClicked() {
  m_nStep = -m_nStep;
  if (CWnd* picture = GetDlgItem(IDC_ABOUT_PICTURE)) picture->Invalidate(FALSE);
}

void CAboutDlg::OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct) {
  // Whatever the request says, the frame goes to the picture's whole face.
  if (CWnd* picture = GetDlgItem(IDC_ABOUT_PICTURE)) {
    CClientDC dc(picture);
    DrawFrame(&dc, m_nFrame);
  }
  CDialog::OnDrawItem(nIDCtl, lpDrawItemStruct);
}

void CAboutDlg::DrawFrame(CDC* pDC, int nFrame) {
  const std::string name = "#" + std::to_string(FrameBitmap(nFrame));
  HPALETTE paletteHandle = nullptr;
  int colours = 0;
  kp::gdi::ScopedBitmap bitmap(LoadResourceDib(GetModuleInstance(), name.c_str(), &paletteHandle, &colours));
  kp::gdi::ScopedPalette palette(paletteHandle);
  if (!bitmap) return;
  BITMAP size{};
  if (::GetObject(bitmap.get(), sizeof size, &size) == 0) return;

  kp::gdi::ScopedMemoryDC memory(pDC->GetSafeHdc());
  if (!memory) return;
  // The target realises the frame's colours in the background, the memory
  // context in the foreground, as a palette device needs them.
  kp::gdi::ScopedSelectPalette targetPalette(pDC->GetSafeHdc(), palette.get(), TRUE);
  if (palette) ::RealizePalette(pDC->GetSafeHdc());
  kp::gdi::ScopedSelectPalette memoryPalette(memory.get(), palette.get(), FALSE);
  if (palette) ::RealizePalette(memory.get());
  kp::gdi::ScopedSelectObject selected(memory.get(), bitmap.get());
  if (!selected.ok()) return;
  ::BitBlt(pDC->GetSafeHdc(), 0, 0, size.bmWidth, size.bmHeight, memory.get(), 0, 0, SRCCOPY);
}

void AddAboutBoxResources(kp::resources::ResourceTable& table) {
  table.dialogs.push_back({CAboutDlg::IDD, &kAboutTemplate});
  for (UINT id : kAboutFrameResourceIds) table.bitmaps.push_back({id, AboutFrameDib(id)});
}
