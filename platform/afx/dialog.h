#pragma once
// CDialog: a dialog built from a template in the resources of the module
// that constructs it. DoModal creates the window and its controls, sends
// WM_INITDIALOG (OnInitDialog: list strings from the dialog-init data, then
// data exchange towards the controls) and runs until EndDialog.
//
// Keys: Enter presses the default push button (the focused push button, else
// the BS_DEFPUSHBUTTON one, else IDOK, hidden or not); Esc and the close box
// are Cancel. Right-click on the background or Alt+Space opens the window menu.

#include <span>

#include "platform/afx/wnd.h"
#include "platform/resources/resource_table.h"

class CDialog : public CWnd {
  DECLARE_DYNAMIC(CDialog)
 public:
  // The template comes from hRes, by default the module whose code
  // constructs the dialog.
  explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr, HINSTANCE hRes = AfxGetInstanceHandle());

  // The EndDialog result; -1 when the template is missing or the window, a
  // control or the initialisation could not be made.
  virtual INT_PTR DoModal();
  // Modeless: makes the dialog's window from the template and initialises
  // it. A template with WS_CHILD makes a child of pParentWnd (a property
  // page inside its frame). FALSE when any part could not be made.
  using CWnd::Create;
  virtual BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
  void EndDialog(int nResult);

  virtual BOOL OnInitDialog();
  virtual void OnOK();
  virtual void OnCancel();

  UINT m_nIDHelp = 0;
  UINT m_nIDTemplate;
  CWnd* m_pParentWnd;

 protected:
  LRESULT HandleInitDialog(WPARAM wParam, LPARAM lParam);
  // Sends the template's dialog-init records to the controls; FALSE when
  // the data is malformed.
  BOOL ExecuteDlgInit(UINT nIDResource);

  DECLARE_MESSAGE_MAP()

 private:
  BOOL CreateFromTemplate(const kp::resources::DialogTemplate& dialogTemplate, HWND owner);
  bool m_bEnded = false;
  int m_nModalResult = -1;
};

namespace kp::afx {
// Hosted (ActiveX) controls in templates are created by the control
// container, which installs its creator here. The creator makes the
// control's window as a child of the dialog with the given id and rectangle
// and returns it, or null on failure (the dialog then fails).
struct HostedControlRequest {
  CWnd* dialog;
  const kp::resources::DialogItem* item;
  RECT rect;                            // pixels, in the dialog's client area
  std::span<const BYTE> persistedData;  // its WM_OCC_LOADFROMSTREAM record, if any
};
using HostedControlCreator = HWND (*)(const HostedControlRequest& request);
HostedControlCreator SetHostedControlCreator(HostedControlCreator creator);

// Template units to pixels through the font's base units, as Windows maps
// dialog rectangles (each edge rounded on its own).
RECT MapDialogUnits(const RECT& units, SIZE baseUnits);
}  // namespace kp::afx
