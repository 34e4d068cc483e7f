#pragma once
// The Image Finder: a probe into the shapes file. The user types a header
// number and an image number, fills in what the file's headers say about
// that image (Get values from header) and loads it into a drop control,
// decoded through its block's gamma-corrected palette (Load). It works on
// any header number, not only the eight sets.
//
// The program keeps one object for its whole run, made the first time the
// finder is opened, with no parent, and destroyed when the program ends:
//
//   if (!m_pImageFinder) m_pImageFinder = std::make_unique<CImageFinderDlg>();
//   m_pImageFinder->m_strShapesFile = m_strShapesFile;
//   m_pImageFinder->DoModal();
//
// So the members keep their values from one opening to the next; only
// m_strShapesFile is set anew each time. The image control is created anew
// with each window, so it starts empty every time.

#include "editor/ui/tavlet.h"
#include "platform/afx/data_exchange.h"
#include "platform/afx/dialog.h"
#include "platform/resources/resource_table.h"

class CImageFinderDlg : public CDialog {
 public:
  enum { IDD = 133 };
  enum {
    IDC_FINDER_BASE_OFFSET = 1047,
    IDC_FINDER_X_SIZE = 1048,
    IDC_FINDER_Y_SIZE = 1049,
    IDC_FINDER_LOAD = 1050,
    IDC_FINDER_IMAGE = 1051,
    IDC_FINDER_RES_HEADER_OFFSET = 1052,
    IDC_FINDER_IMAGE_OFFSET = 1053,
    IDC_FINDER_IMAGE_HEADER_OFFSET = 1054,
    IDC_FINDER_PALETTE_OFFSET = 1056,
    IDC_FINDER_NUM_ENTRIES = 1057,
    IDC_FINDER_HEADER = 1062,
    IDC_FINDER_GET_VALUES = 1063,
    IDC_FINDER_IMAGE_COUNT = 1064,
    IDC_FINDER_IMAGE_NUMBER = 1065,
  };

  explicit CImageFinderDlg(CWnd* pParent = nullptr);
  ~CImageFinderDlg() override;

  // In the order of the data exchange.
  CTavlet m_wndImage;
  int m_nBaseOffset = 4617412;
  int m_nXSize = 128;
  int m_nYSize = 128;
  int m_nNumEntries = 231;
  int m_nPaletteOffset = 4614246;
  int m_nHeader = 0;
  int m_nImageCount = 0;
  int m_nImageNumber = 0;
  int m_nImageOffset = 0;
  int m_nImageHeaderOffset = 0;
  int m_nResHeaderOffset = 0;

  // The shapes file the commands open, set by the opener.
  CString m_strShapesFile;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  void OnLoad();
  void OnGetValuesFromHeader();
  DECLARE_MESSAGE_MAP()
};

// Adds the Image Finder's resources to the program's table: dialog template
// 133 and its dialog-init data (the image control's creation record).
void AddImageFinderResources(kp::resources::ResourceTable& table);
