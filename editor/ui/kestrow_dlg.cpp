#include "editor/ui/kestrow_dlg.h"

#include "editor/shapes/slot_layout.h"
#include "editor/ui/about_dlg.h"
#include "editor/ui/auto_proxy.h"
#include "editor/ui/editor_ids.h"
#include "editor/ui/editor_messages.h"
#include "editor/ui/editor_settings.h"
#include "editor/ui/image_finder_dlg.h"
#include "interfaces/tavlet_ids.h"
#include "platform/afx/menu.h"
#include "platform/afx/prompts.h"
#include "platform/afx/window_dc.h"
#include "platform/resources/resource_images.h"
#include "platform/resources/resources.h"
#include "platform/user/window_functions.h"

IMPLEMENT_DYNAMIC(CKestrowDlg, CDialog)

BEGIN_MESSAGE_MAP(CKestrowDlg, CDialog)
ON_WM_SYSCOMMAND()
ON_WM_INITMENUPOPUP()
ON_WM_DESTROY()
ON_WM_PAINT()
ON_WM_QUERYDRAGICON()
ON_WM_CLOSE()
ON_BN_CLICKED(IDC_SELECT_SHAPES_FILE, OnSelectShapesFile)
ON_BN_CLICKED(IDC_LOAD_SET, OnLoadSet)
ON_BN_CLICKED(IDC_PATCH_SHAPES_FILE, OnPatchShapesFile)
ON_BN_CLICKED(IDC_GENERATE_PALETTE_BITMAP, OnGeneratePaletteBitmap)
ON_BN_CLICKED(IDC_IMAGE_FINDER, OnImageFinder)
ON_CBN_SELCHANGE(IDC_SET_LIST, OnSelchangeSet)
ON_COMMAND(ID_APP_ABOUT, OnAppAbout)
ON_MESSAGE(WM_SHOW_START_PROBLEM, OnShowStartProblem)
END_MESSAGE_MAP()

// One entry per texture slot, for the control's BmpChange event; none for
// the landscape slot or the preview.
#define KESTROW_SLOT_EVENT(k) \
  ON_EVENT(CKestrowDlg, SlotControlIds[k], tavlet::EventidBmpChange, OnBmpChangeSlot<k>, VTS_NONE)

BEGIN_EVENTSINK_MAP(CKestrowDlg, CDialog)
KESTROW_SLOT_EVENT(0)
KESTROW_SLOT_EVENT(1)
KESTROW_SLOT_EVENT(2)
KESTROW_SLOT_EVENT(3)
KESTROW_SLOT_EVENT(4)
KESTROW_SLOT_EVENT(5)
KESTROW_SLOT_EVENT(6)
KESTROW_SLOT_EVENT(7)
KESTROW_SLOT_EVENT(8)
KESTROW_SLOT_EVENT(9)
KESTROW_SLOT_EVENT(10)
KESTROW_SLOT_EVENT(11)
KESTROW_SLOT_EVENT(12)
KESTROW_SLOT_EVENT(13)
KESTROW_SLOT_EVENT(14)
KESTROW_SLOT_EVENT(15)
KESTROW_SLOT_EVENT(16)
KESTROW_SLOT_EVENT(17)
KESTROW_SLOT_EVENT(18)
KESTROW_SLOT_EVENT(19)
KESTROW_SLOT_EVENT(20)
KESTROW_SLOT_EVENT(21)
KESTROW_SLOT_EVENT(22)
KESTROW_SLOT_EVENT(23)
KESTROW_SLOT_EVENT(24)
KESTROW_SLOT_EVENT(25)
KESTROW_SLOT_EVENT(26)
KESTROW_SLOT_EVENT(27)
KESTROW_SLOT_EVENT(28)
KESTROW_SLOT_EVENT(29)
END_EVENTSINK_MAP()

#undef KESTROW_SLOT_EVENT

CKestrowDlg::CKestrowDlg(CWnd* pParent)
    : CDialog(IDD_KESTROW_DIALOG, pParent), m_recentFiles(kRecentFilesKey, kRecentFileEntry, kRecentFileCount) {
  for (int k = 0; k < kTextureSlotCount; ++k) m_pSlotWnd[k] = &m_slot[k];
  m_pSlotWnd[kTextureSlotCount] = &m_wndLandscape;
  m_hIcon = ::LoadIcon(GetModuleInstance(), MAKEINTRESOURCE(IDR_MAINFRAME));
}

// Out of line, where the Image Finder's class is complete.
CKestrowDlg::~CKestrowDlg() {
  if (m_pAutoProxy != nullptr) m_pAutoProxy->m_pDialog = nullptr;
}

void CKestrowDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_CBIndex(pDX, IDC_SET_LIST, m_nSet);
  DDX_Text(pDX, IDC_SHAPES_FILE_PATH, m_strPathText);
  for (int k = 0; k < kTextureSlotCount; ++k) DDX_Control(pDX, SlotControlIds[static_cast<std::size_t>(k)], m_slot[k]);
  DDX_Control(pDX, IDC_PREVIEW, m_wndPreview);
  DDX_Check(pDX, IDC_DISABLE_GAMMA, m_bDisableGamma);
  DDX_Control(pDX, IDC_LANDSCAPE, m_wndLandscape);
}

BOOL CKestrowDlg::OnInitDialog() {
  // The list strings and the data exchange towards the controls; a failure
  // has ended the dialog already.
  if (!CDialog::OnInitDialog()) return FALSE;
  m_bOpened = TRUE;

  AppendWindowMenuItems();

  SetIcon(m_hIcon, TRUE);
  SetIcon(m_hIcon, FALSE);
  SetDlgItemText(IDC_SHAPES_FILE_PATH, kNoShapesFileText);
  if (!m_start.path.IsEmpty()) ChooseShapesFile(m_start.path);
  // Posted, so that the message box comes over the window once it shows.
  if (!m_start.problem.empty()) PostMessage(WM_SHOW_START_PROBLEM);
  return TRUE;
}

void CKestrowDlg::OnAppAbout() {
  CAboutDlg dlgAbout;
  dlgAbout.DoModal();
}

void CKestrowDlg::OnImageFinder() {
  if (m_strShapesFile.IsEmpty()) {
    AfxMessageBox(kSelectShapesFileFirstMessage, MB_OK);
    return;
  }
  if (!m_pImageFinder) m_pImageFinder = std::make_unique<CImageFinderDlg>();
  m_pImageFinder->m_strShapesFile = m_strShapesFile;
  m_pImageFinder->DoModal();
}

void CKestrowDlg::OnOK() {
  if (m_pAutoProxy != nullptr) {
    ShowWindow(SW_HIDE);
    return;
  }
  CDialog::OnOK();
}

void CKestrowDlg::OnCancel() {
  if (m_pAutoProxy != nullptr) {
    ShowWindow(SW_HIDE);
    return;
  }
  CDialog::OnCancel();
}

void CKestrowDlg::OnClose() {
  if (m_pAutoProxy != nullptr) {
    ShowWindow(SW_HIDE);
    return;
  }
  CDialog::OnClose();
}

void CKestrowDlg::OnDestroy() {
  WinHelp(0, HELP_QUIT);
  CDialog::OnDestroy();
}

void CKestrowDlg::OnPaint() {
  if (!IsIconic()) {
    CDialog::OnPaint();
    return;
  }
  CPaintDC dc(this);
  SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
  const int cxIcon = GetSystemMetrics(SM_CXICON);
  const int cyIcon = GetSystemMetrics(SM_CYICON);
  CRect rect;
  GetClientRect(&rect);
  const int x = (rect.Width() - cxIcon + 1) / 2;
  const int y = (rect.Height() - cyIcon + 1) / 2;
  dc.DrawIcon(x, y, m_hIcon);
}

HCURSOR CKestrowDlg::OnQueryDragIcon() { return m_hIcon; }

CTavlet* CKestrowDlg::FindSlotControl(int nID) {
  CWnd* pWnd = GetDlgItem(nID);
  return pWnd != nullptr && pWnd->IsKindOf(RUNTIME_CLASS(CTavlet)) ? static_cast<CTavlet*>(pWnd) : nullptr;
}
