#pragma once
// The About box: the program's name and version over a picture of seven
// frames that plays once when the box opens and, clicked, plays backwards
// and forwards again. Its OK button stays disabled until the picture first
// reaches its last frame; Esc and the close box end it at any time.

#include "platform/afx/data_exchange.h"
#include "platform/afx/dialog.h"
#include "platform/resources/resource_table.h"

class CDC;

class CAboutDlg : public CDialog {
 public:
  enum { IDD = 100 };
  // The owner-drawn button that shows the picture, and the version label.
  enum { IDC_ABOUT_PICTURE = 1404, IDC_ABOUT_VERSION = 1433 };
  // The picture's frames, 0 to kLastFrame, and the time between two.
  static constexpr int kLastFrame = 6;
  static constexpr UINT kFrameMilliseconds = 150;
  static constexpr UINT_PTR kAnimationTimer = 1;

  // The editor makes the box as a local object and runs it with DoModal;
  // the result is not used.
  explicit CAboutDlg(CWnd* pParent = nullptr);
  ~CAboutDlg() override;

  // The animation timer's identifier, 0 while none runs.
  UINT_PTR m_nTimer = 0;
  // +1 playing forwards, -1 backwards.
  int m_nStep = 1;
  // The frame shown, 0 to kLastFrame.
  int m_nFrame = 0;
  CString m_strVersion;

  // Draws frame `nFrame` at (0, 0) of the DC, loaded afresh from its bitmap
  // resource with its palette; frames outside 0 to 5 draw the last one.
  void DrawFrame(CDC* pDC, int nFrame);

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  void OnDestroy();
  void OnTimer(UINT_PTR nIDEvent);
  void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct);
  void OnPictureClicked();
  DECLARE_MESSAGE_MAP()
};

// Adds the About box's resources to the program's table: dialog template
// 100 and the seven frame bitmaps 237 to 243. The template's icon is
// icon resource 128, which the program's table holds.
void AddAboutBoxResources(kp::resources::ResourceTable& table);
