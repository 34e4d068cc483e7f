#pragma once
// Driving windows in tests the way a person would, through real Qt input
// events delivered to the windows (so Qt's own focus, hit-testing, modality
// and drop acceptance apply). Windows must be shown.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/base/geometry.h"
#include "platform/base/handles.h"

class CDialog;

namespace kp::testing {

enum Modifiers : unsigned { NoModifier = 0, Shift = 1, Control = 2, Alt = 4 };

// The longest a test waits for something that happens at once: far longer
// than anything takes on a loaded machine under the sanitizers.
constexpr int kGenerousWaitMilliseconds = 10000;

// Lets queued events, timers and deferred deletions run.
void ProcessEvents();
// Runs the event loop until `done()` holds, for kGenerousWaitMilliseconds at
// most; returns done(). A test that needs time to pass drives it instead
// (ManualClock).
bool WaitUntil(const std::function<bool()>& done);
// The same for at most `milliseconds`: for a try that is repeated when
// what it waits for does not come (a click on a window not ready for it).
bool WaitUntil(const std::function<bool()>& done, int milliseconds);
// Runs `action` from the event loop as soon as it spins: the way to act
// inside a modal loop (DoModal, a popup menu) that the test has started.
void RunSoon(std::function<void()> action);

// Runs `action` with the modal window captioned `caption` once it is the
// active modal window, looking for it from the event loop; the way to act
// inside a dialog that a command about to be run opens. Fails the test when
// none opens within kGenerousWaitMilliseconds.
void WhenModalWindowOpens(const std::string& caption, std::function<void(HWND)> action);

// Waits until the window's top-level window is shown and active.
void WaitUntilActive(HWND hWnd);
// Waits until the window's top-level window is on the screen, active or not
// (a compositor with no seat activates nothing).
void WaitUntilExposed(HWND hWnd);
// The window system the program runs on: "offscreen", "xcb", "wayland".
std::string PlatformName();
// Whether the window system knows the top-level window of `hWnd` as one
// that belongs to the top-level window of `owner` (a transient window),
// which the window manager or compositor keeps over it.
bool IsTransientFor(HWND hWnd, HWND owner);
// Runs the dialog modally with `steps` run inside its modal loop. Steps that
// leave the dialog open (a failed assertion, say) end it with -99 and fail
// the test, so a test never hangs.
INT_PTR RunModalWith(CDialog& dialog, std::function<void()> steps);

// A left click in the middle of the window (or at a client point).
void Click(HWND hWnd, unsigned modifiers = NoModifier);
void ClickAt(HWND hWnd, POINT client, unsigned modifiers = NoModifier);
void RightClickAt(HWND hWnd, POINT client);
// Opens the combo box's list and clicks item `index`.
void ChooseComboItem(HWND hCombo, int index);
// Focuses the edit, selects everything and types the text over it.
void TypeText(HWND hEdit, const std::string& text);
// A key (VK_RETURN, VK_ESCAPE, VK_TAB, VK_SPACE, VK_INSERT, a letter or
// digit as its upper-case character...) to the focused widget of the
// window's top-level window.
void PressKey(HWND hWnd, int virtualKey, unsigned modifiers = NoModifier);
// The close box of a top-level window.
void CloseWindow(HWND hWnd);

// Drags local files from outside onto a client point of the window: enter,
// move and drop sent to its top-level window. Returns whether the drop was
// accepted.
bool DropFiles(HWND hWnd, POINT client, const std::vector<std::string>& paths);

// What a popup menu showed when it opened.
struct MenuItemSeen {
  std::string text;
  bool enabled;
  bool separator;
  std::string statusTip;
};
// Arms a handler for the next popup menu: it records the items into `seen`
// (if given) and clicks the item whose text is `choose`, or closes the menu
// when `choose` is empty or not found.
void AnswerNextPopupMenu(const std::string& choose, std::vector<MenuItemSeen>* seen = nullptr);

// The window's pixels as shown (0xAARRGGBB), row by row from the top.
struct Pixels {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> argb;
  std::uint32_t At(int x, int y) const { return argb[static_cast<std::size_t>(y) * width + x]; }
};
// At the screen's own pixels: a window on a high-density screen gives more
// pixels than its client area has units (PixelsPerUnit of them per unit).
Pixels GrabWindow(HWND hWnd);
double PixelsPerUnit(HWND hWnd);
// The Qt timers running for the window (the default timer clock's): each
// one's period in milliseconds and whether it is a precise timer.
struct QtTimerSeen {
  int milliseconds;
  bool precise;
};
std::vector<QtTimerSeen> RunningQtTimers(HWND hWnd);
// The window's geometry in its top-level window, and whether Qt shows it.
RECT WidgetRectInWindow(HWND hWnd);
std::string WidgetFontFamily(HWND hWnd);
bool HasDefaultLook(HWND hButton);
bool IsReadOnlyEdit(HWND hEdit);
bool HasFrame(HWND hEdit);
std::string SelectedText(HWND hEdit);
bool IsModal(HWND hWnd);
bool ShowsInTaskBar(HWND hWnd);
bool HasMinimizeButton(HWND hWnd);

}  // namespace kp::testing
