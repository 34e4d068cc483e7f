#pragma once
// The window system as the framework sees it, in plain C++: platform/afx
// calls these, platform/qt implements them with Qt widgets, and no Qt type
// crosses. A window is an HWND naming a record in the window system's table;
// every function checks the handle first and fails cleanly (false, 0, empty)
// for a window that no longer exists. Messages flow back into the framework
// through the window procedure it installs (SetWindowProcedure).

#include <functional>
#include <string>
#include <vector>

#include "platform/base/geometry.h"
#include "platform/base/handles.h"
#include "platform/base/win_user.h"

namespace kp::qt {

// What a window is, decided by the framework from the template item's class
// and style bits.
enum class WindowKind {
  Dialog,
  Custom,
  PushButton,
  CheckBox,
  GroupBox,
  OwnerDrawButton,
  Edit,
  Static,
  StaticIcon,
  ComboBox
};

struct WindowDesc {
  WindowKind kind = WindowKind::Custom;
  HWND parent = nullptr;  // null: a top-level window
  int id = 0;
  DWORD style = 0;
  DWORD exStyle = 0;
  std::string text;
  RECT rect{};           // pixels: in the parent's client area; a top-level window's client size
  int dropHeight = 0;    // combo boxes: the template height, which includes the list
  std::string fontName;  // dialogs: the template's font
  int pointSize = 0;
};

// Every message the window system makes (input, painting, timers, control
// notifications, posted messages) goes to the framework through one window
// procedure. The framework, which sits above this layer, installs it when
// the library loads, so that nothing here names the framework.
using WindowProcedure = LRESULT (*)(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
void SetWindowProcedure(WindowProcedure procedure);
// Calls the installed window procedure; 0 while there is none.
LRESULT DeliverMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

HWND CreateWindowObject(const WindowDesc& desc);
// Marks the window as being destroyed; false when it is unknown or already is.
bool BeginDestroy(HWND hWnd);
// Drops the record and the widget. The framework sends the messages first.
void DestroyWindowObject(HWND hWnd);

bool IsWindow(HWND hWnd);
WindowKind GetKind(HWND hWnd);
HWND GetParent(HWND hWnd);
std::vector<HWND> GetChildren(HWND hWnd);  // in creation (tab) order
HWND GetDlgItem(HWND hDlg, int id);
int GetDlgCtrlID(HWND hWnd);
DWORD GetStyle(HWND hWnd);  // WS_VISIBLE and WS_DISABLED reflect the current state

bool ShowWindow(HWND hWnd, int nCmdShow);  // returns whether it was visible before
bool IsWindowVisible(HWND hWnd);
bool IsIconic(HWND hWnd);
bool EnableWindow(HWND hWnd, bool enable);  // returns whether it was disabled before
bool IsWindowEnabled(HWND hWnd);
void SetWindowText(HWND hWnd, const std::string& text);
std::string GetWindowText(HWND hWnd);

RECT GetClientRect(HWND hWnd);
RECT GetWindowRect(HWND hWnd);  // screen coordinates
void MoveWindow(HWND hWnd, const RECT& rect, bool repaint);

// Painting. The window's backing image holds what it drew; these request a
// WM_PAINT (with WM_ERASEBKGND first when erase is asked) for the area.
void InvalidateRect(HWND hWnd, const RECT* rect, bool erase);
void UpdateWindow(HWND hWnd);
// A DC over the backing image: for WM_PAINT (clears the update area, gives
// it in *paint) or for drawing at any time (shown at the next presentation).
HDC BeginPaint(HWND hWnd, RECT* paint);
void EndPaint(HWND hWnd, HDC hdc);
HDC GetDC(HWND hWnd);
int ReleaseDC(HWND hWnd, HDC hdc);

bool SetFocus(HWND hWnd);
HWND GetFocus();
HWND GetActiveWindow();

UINT_PTR SetTimer(HWND hWnd, UINT_PTR id, UINT elapse);
bool KillTimer(HWND hWnd, UINT_PTR id);

void DragAcceptFiles(HWND hWnd, bool accept);
HICON SetIcon(HWND hWnd, HICON icon, bool big);
HICON GetIcon(HWND hWnd, bool big);

// The standard control classes' own messages (WM_SETTEXT, BM_GETCHECK,
// CB_ADDSTRING, EM_SETSEL, WM_ERASEBKGND...). *handled is false for a message
// the class does not know.
LRESULT ClassWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, bool* handled);

// Dialogs: base units of a template font, the modal loop.
SIZE GetDialogBaseUnits(const std::string& fontName, int pointSize);
// Shows the window modally, gives `focus` the keyboard focus, and runs
// until EndModalLoop.
int RunModalLoop(HWND hWnd, HWND focus);
void EndModalLoop(HWND hWnd, int result);
bool IsModalLoopRunning(HWND hWnd);

// Messages posted to run after the current one.
void PostMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

// One item of a popup menu as the window system shows it.
struct PopupItem {
  std::string text;  // '&' marks the mnemonic
  UINT id = 0;
  bool separator = false;
  bool grayed = false;
  bool checked = false;
  std::string statusTip;
  std::vector<PopupItem> popup;
};
// Shows the menu at a screen point and returns the chosen command id, or 0.
UINT TrackPopupMenu(const std::vector<PopupItem>& items, POINT screen, HWND owner);

// Input state and system values.
short GetKeyState(int virtKey);
int GetSystemMetrics(int index);
// The cursor: true shows the wait cursor until it is set back to the arrow.
void SetWaitCursor(bool wait);
bool IsWaitCursorShown();

}  // namespace kp::qt

namespace kp::qt {
// Makes the Qt application from the command line (taking Qt's own options
// out of argc and argv), with the dialog font and the application hooks, and
// runs `program` inside it (AfxWinMain); returns what `program` returns.
int RunApplication(int& argc, char** argv, const std::function<int()>& program);
// The application's event loop (CWinApp::Run) and its end (PostQuitMessage).
int RunApplicationLoop();
void QuitApplicationLoop(int exitCode);
}  // namespace kp::qt
