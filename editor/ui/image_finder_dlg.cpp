#include "editor/ui/image_finder_dlg.h"

#include "editor/import/journal_recovery.h"
#include "editor/shapes/image_probe.h"
#include "editor/shapes/shapes_file_open.h"
#include "editor/ui/wait_cursor.h"
#include "interfaces/tavlet_ids.h"
#include "platform/file/file.h"
#include "platform/user/window_functions.h"

namespace {
using kp::resources::DialogItem;
using Class = DialogItem::Class;
using Dlg = CImageFinderDlg;

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kLabel = kChild | SS_LEFT;
constexpr DWORD kField = kChild | WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP;
constexpr DWORD kShownField = kField | ES_READONLY;
constexpr DWORD kButton = kChild | BS_PUSHBUTTON | WS_TABSTOP;

// Opens the shapes file as every command does, rolling back an interrupted
// patch first; says what went wrong and returns not opened when it fails.
ShapesFileOpenResult OpenForFinder(CWnd& dlg, CFile& file, const CString& path) {
  const RecoveredOpen result = OpenRecoveredShapesFile(file, path.str(), ShapesFileUse::ImageFinder);
  if (!result.recovery.message.empty()) dlg.MessageBox(result.recovery.message.c_str());
  if (!result.open.opened && result.recovery.message.empty()) dlg.MessageBox(kShapesFileOpenFailedMessage);
  return result.open;
}

// The one-line labels reach as far as the free space to their right allows,
// two of them starting at the column of the others: the dialog font's
// glyphs on Linux are wider for its base units than the layout was drawn
// for, and a label too narrow for its text wraps and loses its second line.
// clang-format off
const kp::resources::DialogTemplate kImageFinderTemplate = {
    "Image Finder",
    WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT,
    0,
    0, 0, 373, 244,
    "MS Sans Serif", 8,
    {
        {Class::Control, Dlg::IDC_FINDER_IMAGE, "", 7, 7, 199, 173, kChild | WS_TABSTOP, 0, &tavlet::CLSID_Tavlet},
        {Class::Static, IDC_STATIC, "Header #:", 217, 14, 35, 8, kLabel},
        {Class::Edit, Dlg::IDC_FINDER_HEADER, "", 253, 11, 24, 14, kField},
        {Class::Button, Dlg::IDC_FINDER_GET_VALUES, "Get values from header", 285, 11, 81, 14, kButton},
        {Class::Static, IDC_STATIC, "image count:", 217, 33, 48, 8, kLabel},
        {Class::Edit, Dlg::IDC_FINDER_IMAGE_COUNT, "", 268, 31, 37, 14, kShownField},
        {Class::Static, IDC_STATIC, "image number:", 217, 53, 51, 8, kLabel},
        {Class::Edit, Dlg::IDC_FINDER_IMAGE_NUMBER, "", 268, 50, 37, 14, kField},
        {Class::Static, IDC_STATIC, "Base Offset:", 217, 74, 43, 8, kLabel},
        {Class::Edit, Dlg::IDC_FINDER_BASE_OFFSET, "", 261, 71, 96, 14, kField},
        {Class::Static, IDC_STATIC, "res header offset from base:", 227, 89, 62, 18, kLabel},
        {Class::Edit, Dlg::IDC_FINDER_RES_HEADER_OFFSET, "", 297, 90, 60, 14, kShownField},
        {Class::Static, IDC_STATIC, "image header offset from base:", 227, 107, 58, 17, kLabel},
        {Class::Edit, Dlg::IDC_FINDER_IMAGE_HEADER_OFFSET, "", 297, 109, 60, 14, kShownField},
        {Class::Static, IDC_STATIC, "image offset from base:", 217, 132, 80, 8, kLabel},
        {Class::Edit, Dlg::IDC_FINDER_IMAGE_OFFSET, "", 297, 130, 60, 14, kShownField},
        {Class::Static, IDC_STATIC, "X Size", 220, 169, 21, 8, kLabel},
        {Class::Edit, Dlg::IDC_FINDER_X_SIZE, "", 246, 163, 40, 14, kShownField},
        {Class::Static, IDC_STATIC, "Y Size", 220, 189, 21, 8, kLabel},
        {Class::Edit, Dlg::IDC_FINDER_Y_SIZE, "", 246, 183, 40, 14, kShownField},
        {Class::Button, Dlg::IDC_FINDER_LOAD, "Load", 83, 201, 50, 14, kButton},
        {Class::Static, IDC_STATIC, "palette offset:", 215, 204, 60, 8, kLabel},
        {Class::Edit, Dlg::IDC_FINDER_PALETTE_OFFSET, "", 213, 217, 70, 14, kField},
        {Class::Static, IDC_STATIC, "num entries", 285, 204, 50, 8, kLabel},
        {Class::Edit, Dlg::IDC_FINDER_NUM_ENTRIES, "", 297, 217, 40, 14, kField},
        // OK and Cancel are there for Enter and Escape; neither is shown.
        {Class::Button, IDOK, "OK", 7, 202, 50, 14, WS_CHILD | BS_DEFPUSHBUTTON | WS_TABSTOP},
        {Class::Button, IDCANCEL, "Cancel", 7, 223, 50, 14, WS_CHILD | BS_PUSHBUTTON | WS_TABSTOP},
    },
};
// clang-format on

// The image control's creation record, little-endian, then the end of the
// records. The stream is the control's 17 bytes: it accepts dropped files.
constexpr BYTE kImageFinderInit[] = {
    0x1B, 0x04,              // control id 1051
    0x76, 0x03,              // WM_OCC_LOADFROMSTREAM
    0x15, 0x00, 0x00, 0x00,  // 21 bytes of data follow
    0x00, 0x00, 0x00, 0x00,  // no license key
    0x00, 0x00, 0x01, 0x00,  // stream version 0x00010000
    0xE7, 0x1E, 0x00, 0x00,  // _ExtentX 7911 (HIMETRIC)
    0x0B, 0x1D, 0x00, 0x00,  // _ExtentY 7435
    0x00, 0x00, 0x00, 0x00,  // no stock properties
    0x01,                    // InitiallyDroppable
    0x00, 0x00,              // end of the records
};
static_assert(WM_OCC_LOADFROMSTREAM == 0x0376);
static_assert(sizeof kImageFinderInit == 8 + 4 + tavlet::kStreamSize + 2);

}  // namespace

BEGIN_MESSAGE_MAP(CImageFinderDlg, CDialog)
ON_BN_CLICKED(CImageFinderDlg::IDC_FINDER_LOAD, OnLoad)
ON_BN_CLICKED(CImageFinderDlg::IDC_FINDER_GET_VALUES, OnGetValuesFromHeader)
END_MESSAGE_MAP()

CImageFinderDlg::CImageFinderDlg(CWnd* pParent) : CDialog(IDD, pParent) {}

CImageFinderDlg::~CImageFinderDlg() = default;

void CImageFinderDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_FINDER_IMAGE, m_wndImage);
  DDX_Text(pDX, IDC_FINDER_BASE_OFFSET, m_nBaseOffset);
  DDV_MinMaxInt(pDX, m_nBaseOffset, 0, 2147483647);
  DDX_Text(pDX, IDC_FINDER_X_SIZE, m_nXSize);
  DDX_Text(pDX, IDC_FINDER_Y_SIZE, m_nYSize);
  DDX_Text(pDX, IDC_FINDER_NUM_ENTRIES, m_nNumEntries);
  DDX_Text(pDX, IDC_FINDER_PALETTE_OFFSET, m_nPaletteOffset);
  DDX_Text(pDX, IDC_FINDER_HEADER, m_nHeader);
  DDX_Text(pDX, IDC_FINDER_IMAGE_COUNT, m_nImageCount);
  DDX_Text(pDX, IDC_FINDER_IMAGE_NUMBER, m_nImageNumber);
  DDX_Text(pDX, IDC_FINDER_IMAGE_OFFSET, m_nImageOffset);
  DDX_Text(pDX, IDC_FINDER_IMAGE_HEADER_OFFSET, m_nImageHeaderOffset);
  DDX_Text(pDX, IDC_FINDER_RES_HEADER_OFFSET, m_nResHeaderOffset);
}

void CImageFinderDlg::OnGetValuesFromHeader() {
  // A field that is not a number has been reported, with the focus back on
  // it; the command stops there rather than work with half-taken values.
  if (!UpdateData(TRUE)) return;
  // The fields show the members when the command ends, however it ends: an
  // open failure or a file error leaves the members as they were.
  struct ShowMembers {
    CImageFinderDlg* dlg;
    ~ShowMembers() { dlg->UpdateData(FALSE); }
  } show{this};

  CFile file;
  const ShapesFileOpenResult opened = OpenForFinder(*this, file, m_strShapesFile);
  if (!opened.opened) return;
  WaitCursor wait;
  if (!opened.expectedSize) MessageBox(kShapesFileSizeWarning);

  // Everything is read before any member changes; a read outside the file
  // throws its CFileException out of the command, which reports it.
  const ImageProbeValues values = ReadImageProbeValues(file, m_nHeader, m_nImageNumber);
  m_nImageCount = values.imageCount;
  m_nImageNumber = values.imageNumber;
  m_nResHeaderOffset = values.resHeaderOffset;
  m_nBaseOffset = values.baseOffset;
  m_nImageHeaderOffset = values.imageHeaderOffset;
  m_nYSize = values.ySize;
  m_nImageOffset = values.imageOffset;
  m_nXSize = values.xSize;
}

void CImageFinderDlg::OnLoad() {
  if (!UpdateData(TRUE)) return;

  CFile file;
  const ShapesFileOpenResult opened = OpenForFinder(*this, file, m_strShapesFile);
  if (!opened.opened) return;
  WaitCursor wait;
  if (!opened.expectedSize) MessageBox(kShapesFileSizeWarning);

  // Sizes from a damaged header could ask for any amount of memory; only an
  // image the file could hold is read.
  const ImageProbeSize size = ChooseImageProbeSize(m_nXSize, m_nYSize, opened.length);
  if (!size.fits) {
    MessageBox(StringPrintf(kImageProbeSizeRefusedFormat, m_nXSize, m_nYSize).c_str());
    return;
  }
  // The image is located afresh from the header and image numbers; the
  // offsets the fields show are not used. The buffers are released however
  // the command ends.
  ProbedImage image = ReadProbedImage(file, m_nHeader, m_nImageNumber, size.width, size.height);
  m_nNumEntries = image.colourCount;
  m_wndImage.RecreateBitmap(reinterpret_cast<LONG*>(image.pixels.data()), static_cast<SHORT>(size.width),
                            static_cast<SHORT>(size.height));
}

void AddImageFinderResources(kp::resources::ResourceTable& table) {
  table.dialogs.push_back({CImageFinderDlg::IDD, &kImageFinderTemplate});
  table.dialogInit.push_back({CImageFinderDlg::IDD, kImageFinderInit});
}
