#pragma once
// Tests of real programs on a real X server: a private Xvfb for the test
// program, and an X client that finds the programs' windows, reads the
// screen's pixels, types keys through the server's own input and drops
// files on a window as a file manager does (the XDND protocol), so a test
// sees and drives a program that runs in a process of its own.

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// Xlib's connection, declared as Xlib declares it.
struct _XDisplay;

namespace kp::testing {

// An Xvfb server on a display of its own (24-bit colour, 1280 x 1024), for
// as long as the object lives.
class PrivateXServer {
 public:
  PrivateXServer();
  ~PrivateXServer();
  PrivateXServer(const PrivateXServer&) = delete;
  PrivateXServer& operator=(const PrivateXServer&) = delete;
  // ":N", or empty when the server did not start.
  const std::string& Display() const { return m_display; }

 private:
  pid_t m_pid = -1;
  std::string m_display;
};

// One connection to a display.
class XClient {
 public:
  explicit XClient(const std::string& display);
  ~XClient();
  XClient(const XClient&) = delete;
  XClient& operator=(const XClient&) = delete;
  bool Connected() const { return m_display != nullptr; }

  // The shown top-level windows whose title is exactly `title`, or starts
  // with `title` when `prefix`.
  std::vector<unsigned long> WindowsTitled(const std::string& title, bool prefix = false);
  // The top-level window at the screen point, or 0 for none.
  unsigned long WindowAt(int x, int y);
  // The process that made the window (_NET_WM_PID), or -1.
  pid_t WindowProcess(unsigned long window);
  // The window's top-left corner on the screen.
  bool WindowOrigin(unsigned long window, int* x, int* y);
  // The screen's colour at (x, y) as 0x00RRGGBB.
  std::optional<std::uint32_t> ScreenPixel(int x, int y);
  // The whole screen, row by row from the top, each pixel 0x00RRGGBB;
  // empty when it cannot be read. *width gets the row length.
  std::vector<std::uint32_t> ScreenPixels(int* width);
  // The window that has the keyboard focus, or 0 for none.
  unsigned long FocusedWindow();
  // Gives the window the keyboard focus, then types `keys`, as a person
  // would on the keyboard: key names separated by spaces, each one an X key
  // name ("Escape", "Tab", "space", "Return", "c") after any modifiers
  // joined by "+" ("alt+space", "ctrl+shift+c"). False, with the reason in
  // *why, when the window cannot have the focus or a key is unknown.
  bool PressKeys(unsigned long window, const std::string& keys, std::string* why = nullptr);
  // Drags the files onto the screen point (x, y) and drops them there, as a
  // file manager does: XDND version 5, offering text/uri-list, copy. False,
  // with the reason in *why, when no window there takes drops, the window
  // refuses the drop, or it does not finish within ten seconds.
  bool DropFiles(const std::vector<std::string>& paths, int x, int y, std::string* why);

  // A left click at the screen point, through the server's own input; or
  // a click of another button (3: the right one).
  void Click(int x, int y) { ClickButton(x, y, 1); }
  void ClickButton(int x, int y, unsigned button);
  void MovePointer(int x, int y);
  // The left button pressed at one point, moved in small steps to another
  // and released there.
  void Drag(int fromX, int fromY, int toX, int toY);

  // The clipboard as another program reads it: the types its owner offers
  // (TARGETS), and the bytes of one of them; nothing when there is no owner
  // or it does not answer within ten seconds.
  std::vector<std::string> ClipboardTypes();
  std::optional<std::vector<std::uint8_t>> ClipboardBytes(const std::string& type);
  // Owns the clipboard with `data` (type, bytes), as another program that
  // copied something would, runs `then` (a paste elsewhere, say), and
  // answers every program that asks for the data until `done()` holds
  // (true) or ten seconds pass (false).
  bool ServeClipboardUntil(const std::vector<std::pair<std::string, std::vector<std::uint8_t>>>& data,
                           const std::function<void()>& then, const std::function<bool()>& done);

  // What a window of a file manager gets when something is dragged onto it.
  struct Dropped {
    std::vector<std::string> types;     // what the source offered
    std::vector<std::uint8_t> uriList;  // its "text/uri-list"
    std::vector<std::uint8_t> png;      // its "image/png"
  };
  // Drags with the left button from (fromX, fromY) to (toX, toY), where this
  // client shows a window that takes drops, as a file manager's does, and
  // takes the drop there. False, with the reason in *why, when no drag
  // arrives or it does not finish within ten seconds.
  bool DragToOwnWindow(int fromX, int fromY, int toX, int toY, Dropped* dropped, std::string* why);

 private:
  ::_XDisplay* m_display = nullptr;
};

}  // namespace kp::testing
