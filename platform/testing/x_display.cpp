#include "platform/testing/x_display.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <sstream>

extern char** environ;

namespace kp::testing {

PrivateXServer::PrivateXServer() {
  int ready[2];
  if (::pipe(ready) != 0) return;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addclose(&actions, ready[0]);
  std::string fd = std::to_string(ready[1]);
  // -noreset: the server would otherwise reset when its last client goes
  // (a program ended by the test) and refuse the next one for a while.
  const char* argv[] = {"/usr/bin/Xvfb", "-displayfd", fd.c_str(), "-screen",  "0",
                        "1280x1024x24",  "-nolisten",  "tcp",      "-noreset", nullptr};
  if (posix_spawn(&m_pid, argv[0], &actions, nullptr, const_cast<char**>(argv), environ) != 0) m_pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  ::close(ready[1]);
  // The server writes its display number once it accepts connections.
  char number[16] = {};
  std::size_t got = 0;
  while (m_pid > 0 && got < sizeof number - 1 && ::read(ready[0], number + got, 1) == 1 && number[got] != '\n') ++got;
  ::close(ready[0]);
  if (got > 0) m_display = ":" + std::string(number, got);
}

PrivateXServer::~PrivateXServer() {
  if (m_pid <= 0) return;
  ::kill(m_pid, SIGTERM);
  ::waitpid(m_pid, nullptr, 0);
}

namespace {
using Clock = std::chrono::steady_clock;

Atom Intern(Display* display, const char* name) { return XInternAtom(display, name, False); }

// Xlib's default handler ends the program on any error; a window that went
// away under a request only makes that request fail.
int IgnoreError(Display*, XErrorEvent*) { return 0; }

// The next event for which `wanted` holds, waiting until `deadline`.
template <typename Wanted>
bool NextEvent(Display* display, XEvent* event, Clock::time_point deadline, Wanted wanted) {
  while (true) {
    while (XPending(display) > 0) {
      XNextEvent(display, event);
      if (wanted(*event)) return true;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return false;
    pollfd fd{ConnectionNumber(display), POLLIN, 0};
    ::poll(&fd, 1, static_cast<int>(left));
  }
}

void SendClientMessage(Display* display, Window to, Atom type, const long (&data)[5]) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = to;
  event.xclient.message_type = type;
  event.xclient.format = 32;
  for (int i = 0; i < 5; ++i) event.xclient.data.l[i] = data[i];
  XSendEvent(display, to, False, NoEventMask, &event);
  XFlush(display);
}

bool HasProperty(Display* display, Window window, Atom property) {
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  bool has = XGetWindowProperty(display, window, property, 0, 1, False, AnyPropertyType, &type, &format, &count, &after,
                                &data) == Success &&
             type != None;
  if (data != nullptr) XFree(data);
  return has;
}
}  // namespace

// The windows this client looks at belong to other programs and may go away
// between two requests (listed, then gone before their attributes are read),
// so an error fails only its request for as long as the client lives.
namespace {
int g_clients = 0;
XErrorHandler g_previousErrorHandler = nullptr;
}  // namespace

XClient::XClient(const std::string& display) : m_display(XOpenDisplay(display.c_str())) {
  if (g_clients++ == 0) g_previousErrorHandler = XSetErrorHandler(IgnoreError);
}

XClient::~XClient() {
  if (m_display != nullptr) XCloseDisplay(m_display);
  if (--g_clients == 0) XSetErrorHandler(g_previousErrorHandler);
}

std::vector<unsigned long> XClient::WindowsTitled(const std::string& title, bool prefix) {
  std::vector<unsigned long> found;
  Window root = 0, parent = 0;
  Window* children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(m_display, DefaultRootWindow(m_display), &root, &parent, &children, &count)) return found;
  for (unsigned int i = 0; i < count; ++i) {
    XWindowAttributes attributes{};
    char* name = nullptr;
    if (XGetWindowAttributes(m_display, children[i], &attributes) && attributes.map_state == IsViewable &&
        XFetchName(m_display, children[i], &name) && name != nullptr &&
        (prefix ? std::strncmp(name, title.c_str(), title.size()) == 0 : title == name))
      found.push_back(children[i]);
    if (name != nullptr) XFree(name);
  }
  if (children != nullptr) XFree(children);
  return found;
}

pid_t XClient::WindowProcess(unsigned long window) {
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  pid_t pid = -1;
  if (XGetWindowProperty(m_display, window, Intern(m_display, "_NET_WM_PID"), 0, 1, False, XA_CARDINAL, &type, &format,
                         &count, &after, &data) == Success &&
      count == 1 && format == 32)
    pid = static_cast<pid_t>(*reinterpret_cast<unsigned long*>(data));
  if (data != nullptr) XFree(data);
  return pid;
}

bool XClient::WindowOrigin(unsigned long window, int* x, int* y) {
  Window child = 0;
  return XTranslateCoordinates(m_display, window, DefaultRootWindow(m_display), 0, 0, x, y, &child);
}

std::optional<std::uint32_t> XClient::ScreenPixel(int x, int y) {
  XImage* image = XGetImage(m_display, DefaultRootWindow(m_display), x, y, 1, 1, AllPlanes, ZPixmap);
  if (image == nullptr) return std::nullopt;
  // The server's 24-bit TrueColor visual keeps red, green and blue in the
  // pixel's bits as 0xRRGGBB.
  std::uint32_t pixel = static_cast<std::uint32_t>(XGetPixel(image, 0, 0)) & 0xFFFFFFu;
  XDestroyImage(image);
  return pixel;
}

unsigned long XClient::FocusedWindow() {
  Window focus = None;
  int revert = 0;
  XGetInputFocus(m_display, &focus, &revert);
  return focus == PointerRoot ? None : focus;
}

bool XClient::PressKeys(unsigned long window, const std::string& keys, std::string* why) {
  auto fail = [&](const std::string& reason) {
    if (why != nullptr) *why = reason;
    return false;
  };
  if (window == None) return fail("there is no window to type into");
  // Without a window manager the focus goes where it is set, at once; the
  // program sees FocusIn before any of the keys.
  XSetInputFocus(m_display, window, RevertToParent, CurrentTime);
  XSync(m_display, False);
  if (FocusedWindow() != window) return fail("the window cannot have the keyboard focus");
  std::istringstream words(keys);
  for (std::string chord; words >> chord;) {
    // "alt+space": the modifiers down in order, the key, then all up in
    // reverse order.
    std::vector<KeyCode> codes;
    std::size_t from = 0;
    while (true) {
      const std::size_t plus = chord.find('+', from);
      std::string name = chord.substr(from, plus == std::string::npos ? std::string::npos : plus - from);
      if (plus != std::string::npos) {
        if (name == "alt")
          name = "Alt_L";
        else if (name == "ctrl")
          name = "Control_L";
        else if (name == "shift")
          name = "Shift_L";
      }
      const KeySym symbol = XStringToKeysym(name.c_str());
      const KeyCode code = symbol == NoSymbol ? 0 : XKeysymToKeycode(m_display, symbol);
      if (code == 0) return fail("no key \"" + name + "\"");
      codes.push_back(code);
      if (plus == std::string::npos) break;
      from = plus + 1;
    }
    for (KeyCode code : codes) XTestFakeKeyEvent(m_display, code, True, CurrentTime);
    for (auto code = codes.rbegin(); code != codes.rend(); ++code)
      XTestFakeKeyEvent(m_display, *code, False, CurrentTime);
  }
  XSync(m_display, False);
  return true;
}

bool XClient::DropFiles(const std::vector<std::string>& paths, int x, int y, std::string* why) {
  Display* d = m_display;
  const Window root = DefaultRootWindow(d);
  const Atom aware = Intern(d, "XdndAware"), enter = Intern(d, "XdndEnter"), position = Intern(d, "XdndPosition"),
             status = Intern(d, "XdndStatus"), drop = Intern(d, "XdndDrop"), finished = Intern(d, "XdndFinished"),
             leave = Intern(d, "XdndLeave"), selection = Intern(d, "XdndSelection"), copy = Intern(d, "XdndActionCopy"),
             uriList = Intern(d, "text/uri-list"), targets = Intern(d, "TARGETS");
  const auto deadline = Clock::now() + std::chrono::seconds(10);
  auto fail = [&](const std::string& reason) {
    if (why != nullptr) *why = reason;
    return false;
  };

  // The drop goes to the outermost window under the point that takes drops.
  Window target = None;
  for (Window at = root, child = None;;) {
    int cx = 0, cy = 0;
    if (!XTranslateCoordinates(d, root, at, x, y, &cx, &cy, &child) || child == None) break;
    at = child;
    if (HasProperty(d, at, aware)) {
      target = at;
      break;
    }
  }
  if (target == None) return fail("no window at the point takes drops");

  // The source: a window of our own that owns the selection the data goes
  // through. Its time stamp comes from the server, so the target's request
  // for the data is not refused as older than the ownership.
  const Window source = XCreateSimpleWindow(d, root, 0, 0, 1, 1, 0, 0, 0);
  XSelectInput(d, source, PropertyChangeMask);
  XChangeProperty(d, source, Intern(d, "WM_NAME"), XA_STRING, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>("drop source"), 11);
  XEvent event{};
  if (!NextEvent(d, &event, deadline, [&](const XEvent& e) { return e.type == PropertyNotify; })) {
    XDestroyWindow(d, source);
    return fail("the X server gave no time stamp");
  }
  const Time time = event.xproperty.time;
  XSetSelectionOwner(d, selection, source, time);

  std::string uris;
  for (const std::string& path : paths) uris += "file://" + path + "\r\n";

  // The target may ask for the data at any time from the first position on
  // (to see whether it takes files), so every wait below answers that too.
  auto answer = [&](const XSelectionRequestEvent& request) {
    XEvent reply{};
    reply.xselection.type = SelectionNotify;
    reply.xselection.requestor = request.requestor;
    reply.xselection.selection = request.selection;
    reply.xselection.target = request.target;
    reply.xselection.time = request.time;
    reply.xselection.property = request.property != None ? request.property : request.target;
    if (request.target == uriList) {
      XChangeProperty(d, request.requestor, reply.xselection.property, uriList, 8, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(uris.data()), static_cast<int>(uris.size()));
    } else if (request.target == targets) {
      const Atom offered[] = {targets, uriList};
      XChangeProperty(d, request.requestor, reply.xselection.property, XA_ATOM, 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(offered), 2);
    } else {
      reply.xselection.property = None;
    }
    XSendEvent(d, request.requestor, False, NoEventMask, &reply);
    XFlush(d);
  };
  auto await = [&](Atom message) {
    while (NextEvent(d, &event, deadline, [&](const XEvent& e) {
      return e.type == SelectionRequest || (e.type == ClientMessage && e.xclient.message_type == message);
    })) {
      if (event.type == ClientMessage) return true;
      answer(event.xselectionrequest);
    }
    return false;
  };

  std::string reason;
  SendClientMessage(d, target, enter, {static_cast<long>(source), 5L << 24, static_cast<long>(uriList), 0, 0});
  SendClientMessage(d, target, position,
                    {static_cast<long>(source), 0, (static_cast<long>(x) << 16) | y, static_cast<long>(time),
                     static_cast<long>(copy)});
  if (!await(status)) {
    reason = "the window did not answer the drag";
  } else if ((event.xclient.data.l[1] & 1) == 0) {
    SendClientMessage(d, target, leave, {static_cast<long>(source), 0, 0, 0, 0});
    reason = "the window does not take the files there";
  } else {
    SendClientMessage(d, target, drop, {static_cast<long>(source), 0, static_cast<long>(time), 0, 0});
    if (!await(finished))
      reason = "the window did not finish the drop in time";
    else if ((event.xclient.data.l[1] & 1) == 0)
      reason = "the window refused the drop";
  }
  const bool ok = reason.empty();
  XSetSelectionOwner(d, selection, None, time);
  XDestroyWindow(d, source);
  XFlush(d);
  return ok ? true : fail(reason);
}

}  // namespace kp::testing
