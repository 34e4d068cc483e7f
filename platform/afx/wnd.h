#pragma once
// CWnd: the framework's window object. It wraps one window of the window
// system (m_hWnd) and receives its messages through its message map; what
// the map does not handle goes to DefWindowProc. Its menu members live in
// wnd_menu.cpp: CMenu and CCmdUI sit above it. Handlers have the
// framework's signatures (OnSize(UINT, int, int), OnTimer(UINT_PTR)...) and
// their default versions here pass the message on to the default handling.

#include "platform/afx/cmd_target.h"
#include "platform/base/cstring.h"
#include "platform/base/geometry.h"
#include "platform/base/module.h"
#include "platform/base/win_user_ext.h"

class CDataExchange;
class CMenu;
class CDC;
class CFile;
namespace kp::afx {
void ForgetWindow(HWND hWnd);
}  // namespace kp::afx

class CWnd : public CCmdTarget {
  DECLARE_DYNCREATE(CWnd)
 public:
  CWnd();
  // Destroys the window if it still exists.
  ~CWnd() override;

  HWND m_hWnd = nullptr;
  operator HWND() const { return GetSafeHwnd(); }
  HWND GetSafeHwnd() const;

  // The CWnd of a window: the object attached to it, or a temporary one the
  // framework keeps until the window is destroyed. Null for no window.
  static CWnd* FromHandle(HWND hWnd);
  static CWnd* FromHandlePermanent(HWND hWnd);
  BOOL Attach(HWND hWndNew);
  HWND Detach();
  // Attaches this object to an existing window so that its messages reach
  // this object's map (DDX_Control does this for dialog controls). A window
  // that already has an object (a hosted control's own) keeps it behind
  // this one: what this object's map does not handle goes on to it.
  BOOL SubclassWindow(HWND hWnd);

  // A child window that draws itself (WM_PAINT) in the parent's client
  // area; or a top-level window when there is no parent. The class name
  // is accepted for compatibility and ignored.
  virtual BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                      UINT nID, void* pContext = nullptr);
  virtual BOOL DestroyWindow();

  CWnd* GetDlgItem(int nID) const;
  int GetDlgCtrlID() const;
  CWnd* GetParent() const;
  DWORD GetStyle() const;

  BOOL ShowWindow(int nCmdShow);
  BOOL IsWindowVisible() const;
  BOOL IsIconic() const;
  BOOL EnableWindow(BOOL bEnable = TRUE);
  BOOL IsWindowEnabled() const;
  void SetWindowText(LPCTSTR lpszString);
  int GetWindowText(LPTSTR lpszStringBuf, int nMaxCount) const;
  void GetWindowText(CString& rString) const;
  void SetDlgItemText(int nID, LPCTSTR lpszString);
  int GetDlgItemText(int nID, CString& rString) const;
  UINT IsDlgButtonChecked(int nIDButton) const;

  void GetClientRect(LPRECT lpRect) const;
  void GetWindowRect(LPRECT lpRect) const;
  void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE);
  void MoveWindow(LPCRECT lpRect, BOOL bRepaint = TRUE);

  void InvalidateRect(LPCRECT lpRect, BOOL bErase = TRUE);
  void Invalidate(BOOL bErase = TRUE);
  void UpdateWindow();

  CWnd* SetFocus();
  static CWnd* GetFocus();
  static CWnd* GetActiveWindow();

  UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, void* lpfnTimer = nullptr);
  BOOL KillTimer(UINT_PTR nIDEvent);

  HICON SetIcon(HICON hIcon, BOOL bBigIcon);
  HICON GetIcon(BOOL bBigIcon) const;
  void DragAcceptFiles(BOOL bAccept = TRUE);
  // The window menu standing in for the system menu: Close (SC_CLOSE), and
  // Minimize for windows with a minimise box; appended items send
  // WM_SYSCOMMAND with their id. Null for windows without WS_SYSMENU.
  CMenu* GetSystemMenu(BOOL bRevert) const;

  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

  // Hosted controls (wnd_control.cpp). CreateControl makes a control by
  // class id, loaded from pPersist's bytes when given, with this object
  // bound to its window; InvokeHelper calls the control's IDispatch: the
  // arguments as pbParamInfo (VTS_) lists them, the result converted to
  // vtRet into *pvRet (VT_BOOL: BOOL, VT_I2: SHORT, VT_I4: LONG, VT_R8:
  // double, VT_BSTR: CString, VT_DISPATCH: LPDISPATCH, VT_VARIANT: VARIANT).
  // A failed call throws COleDispatchException.
  BOOL CreateControl(REFCLSID clsid, LPCTSTR pszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID,
                     CFile* pPersist = nullptr, BOOL bStorage = FALSE, BSTR bstrLicKey = nullptr);
  void InvokeHelper(DISPID dwDispID, WORD wFlags, VARTYPE vtRet, void* pvRet, const BYTE* pbParamInfo, ...);
  // The hosted control's IUnknown, or null when this window hosts none.
  LPUNKNOWN GetControlUnknown();

  // Captioned with the calling module's application name unless given.
  int MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption = nullptr, UINT nType = MB_OK,
                 HINSTANCE hModule = AfxGetInstanceHandle());
  void WinHelp(DWORD_PTR dwData, UINT nCmd = HELP_CONTEXT);

  // Data exchange: FALSE when a value failed validation (the user was told
  // and the focus is back on the field).
  BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
  virtual void DoDataExchange(CDataExchange* pDX);

  // The module whose resources and application name this window uses.
  HINSTANCE GetModuleInstance() const { return m_hModule; }

  // Message processing: WindowProc hands the message to OnWndMsg, which
  // looks in the message map; what no entry handles goes to DefWindowProc.
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
  // Default processing of the message being handled.
  LRESULT Default();
  // Called after the window is gone (WM_NCDESTROY); the object stays.
  virtual void PostNcDestroy();

 protected:
  int OnCreate(LPCREATESTRUCT lpCreateStruct);
  void OnDestroy();
  void OnNcDestroy();
  void OnSize(UINT nType, int cx, int cy);
  void OnPaint();
  void OnClose();
  void OnTimer(UINT_PTR nIDEvent);
  void OnSetFocus(CWnd* pOldWnd);
  void OnKillFocus(CWnd* pNewWnd);
  void OnLButtonDown(UINT nFlags, CPoint point);
  void OnLButtonUp(UINT nFlags, CPoint point);
  void OnRButtonDown(UINT nFlags, CPoint point);
  // Only while a button is down.
  void OnMouseMove(UINT nFlags, CPoint point);
  // A key pressed while the window has the focus: letters and digits (their
  // upper-case characters), VK_INSERT and VK_DELETE; the dialog manager
  // keeps Tab, Enter, Esc and the arrows. GetKeyState tells the modifiers.
  void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
  void OnContextMenu(CWnd* pWnd, CPoint pos);
  void OnDropFiles(HDROP hDropInfo);
  void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct);
  void OnSysCommand(UINT nID, LPARAM lParam);
  HCURSOR OnQueryDragIcon();
  // Runs the update handlers of the popup's items before it opens.
  void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu);

  HINSTANCE m_hModule = nullptr;
  // The object that had the window before this one subclassed it.
  CWnd* m_pSuperWnd = nullptr;

  DECLARE_MESSAGE_MAP()
  friend void kp::afx::ForgetWindow(HWND hWnd);
};

#include "platform/afx/wnd_message_map.h"
