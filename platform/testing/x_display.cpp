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

#include <algorithm>
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

// False, with the reason in *why when the caller asks for it.
bool Failed(std::string* why, const std::string& reason) {
  if (why != nullptr) *why = reason;
  return false;
}

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

// A property as Xlib hands it (`length` 32-bit units at most, deleted once
// read when `take`), freed when it goes; its type is None when the window
// has no such property of the type wanted.
struct Property {
  Property(Display* display, Window window, Atom property, long length, bool take, Atom wanted = AnyPropertyType) {
    if (XGetWindowProperty(display, window, property, 0, length, take ? True : False, wanted, &type, &format, &count,
                           &after, &data) != Success) {
      type = None;
      count = 0;
    }
  }
  ~Property() {
    if (data != nullptr) XFree(data);
  }
  Property(const Property&) = delete;
  Property& operator=(const Property&) = delete;
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
};

// The whole of a property in 8-bit items, deleted once read; nothing when
// it is not there or is sent in pieces (INCR).
std::optional<std::vector<std::uint8_t>> TakeProperty(Display* display, Window window, Atom property) {
  const Property taken(display, window, property, 0x4000000, true);
  if (taken.type == None || taken.type == Intern(display, "INCR")) return std::nullopt;
  // Xlib hands 32-bit items as longs.
  const std::size_t itemSize = taken.format == 32 ? sizeof(long) : static_cast<std::size_t>(taken.format / 8);
  return std::vector<std::uint8_t>(taken.data, taken.data + taken.count * itemSize);
}

// The names of the atoms of a 32-bit list.
std::vector<std::string> AtomNames(Display* display, const std::vector<std::uint8_t>& list) {
  std::vector<std::string> names;
  for (std::size_t at = 0; at + sizeof(long) <= list.size(); at += sizeof(long)) {
    long atom = 0;
    std::memcpy(&atom, list.data() + at, sizeof atom);
    if (char* name = XGetAtomName(display, static_cast<Atom>(atom))) {
      names.push_back(name);
      XFree(name);
    }
  }
  return names;
}

// Asks the owner of `selection` for `target` on `window` and waits for it.
std::optional<std::vector<std::uint8_t>> Convert(Display* display, Window window, Atom selection, Atom target,
                                                 Time time, Clock::time_point deadline) {
  const Atom property = XInternAtom(display, "KP_TRANSFER", False);
  XConvertSelection(display, selection, target, property, window, time);
  XFlush(display);
  XEvent event{};
  if (!NextEvent(display, &event, deadline,
                 [&](const XEvent& e) {
                   return e.type == SelectionNotify && e.xselection.requestor == window &&
                          e.xselection.target == target;
                 }) ||
      event.xselection.property == None)
    return std::nullopt;
  return TakeProperty(display, window, property);
}

// A time stamp of the server's, from a property change on our own window:
// selections refuse CurrentTime from the careful owners.
Time ServerTime(Display* display, Window window, Clock::time_point deadline) {
  XChangeProperty(display, window, XInternAtom(display, "KP_TIME", False), XA_STRING, 8, PropModeAppend, nullptr, 0);
  XEvent event{};
  if (!NextEvent(display, &event, deadline,
                 [&](const XEvent& e) { return e.type == PropertyNotify && e.xproperty.window == window; }))
    return CurrentTime;
  return event.xproperty.time;
}

bool HasProperty(Display* display, Window window, Atom property) {
  return Property(display, window, property, 1, false).type != None;
}

// The answer to a selection request, a refusal until the owner fills in the
// property it wrote the data to.
XEvent SelectionReply(const XSelectionRequestEvent& request) {
  XEvent reply{};
  reply.xselection.type = SelectionNotify;
  reply.xselection.requestor = request.requestor;
  reply.xselection.selection = request.selection;
  reply.xselection.target = request.target;
  reply.xselection.time = request.time;
  reply.xselection.property = None;
  return reply;
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

unsigned long XClient::WindowAt(int x, int y) {
  Window child = None;
  int cx = 0, cy = 0;
  if (!XTranslateCoordinates(m_display, DefaultRootWindow(m_display), DefaultRootWindow(m_display), x, y, &cx, &cy,
                             &child))
    return 0;
  return child;
}

pid_t XClient::WindowProcess(unsigned long window) {
  const Property pid(m_display, window, Intern(m_display, "_NET_WM_PID"), 1, false, XA_CARDINAL);
  return pid.count == 1 && pid.format == 32 ? static_cast<pid_t>(*reinterpret_cast<unsigned long*>(pid.data)) : -1;
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

std::vector<std::uint32_t> XClient::ScreenPixels(int* width) {
  const int w = DisplayWidth(m_display, DefaultScreen(m_display));
  const int h = DisplayHeight(m_display, DefaultScreen(m_display));
  *width = w;
  XImage* image = XGetImage(m_display, DefaultRootWindow(m_display), 0, 0, static_cast<unsigned>(w),
                            static_cast<unsigned>(h), AllPlanes, ZPixmap);
  if (image == nullptr) return {};
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      pixels[static_cast<std::size_t>(y) * w + x] = static_cast<std::uint32_t>(XGetPixel(image, x, y)) & 0xFFFFFFu;
  XDestroyImage(image);
  return pixels;
}

unsigned long XClient::FocusedWindow() {
  Window focus = None;
  int revert = 0;
  XGetInputFocus(m_display, &focus, &revert);
  return focus == PointerRoot ? None : focus;
}

bool XClient::PressKeys(unsigned long window, const std::string& keys, std::string* why) {
  if (window == None) return Failed(why, "there is no window to type into");
  // Without a window manager the focus goes where it is set, at once; the
  // program sees FocusIn before any of the keys.
  XSetInputFocus(m_display, window, RevertToParent, CurrentTime);
  XSync(m_display, False);
  if (FocusedWindow() != window) return Failed(why, "the window cannot have the keyboard focus");
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
      if (code == 0) return Failed(why, "no key \"" + name + "\"");
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
  if (target == None) return Failed(why, "no window at the point takes drops");

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
    return Failed(why, "the X server gave no time stamp");
  }
  const Time time = event.xproperty.time;
  XSetSelectionOwner(d, selection, source, time);

  std::string uris;
  for (const std::string& path : paths) uris += "file://" + path + "\r\n";

  // The target may ask for the data at any time from the first position on
  // (to see whether it takes files), so every wait below answers that too.
  auto answer = [&](const XSelectionRequestEvent& request) {
    XEvent reply = SelectionReply(request);
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
  return ok ? true : Failed(why, reason);
}

void XClient::MovePointer(int x, int y) {
  XTestFakeMotionEvent(m_display, -1, x, y, CurrentTime);
  XSync(m_display, False);
}

void XClient::ClickButton(int x, int y, unsigned button) {
  XTestFakeMotionEvent(m_display, -1, x, y, CurrentTime);
  XTestFakeButtonEvent(m_display, button, True, CurrentTime);
  XTestFakeButtonEvent(m_display, button, False, CurrentTime);
  XSync(m_display, False);
}

void XClient::Drag(int fromX, int fromY, int toX, int toY) {
  XTestFakeMotionEvent(m_display, -1, fromX, fromY, CurrentTime);
  XTestFakeButtonEvent(m_display, 1, True, CurrentTime);
  constexpr int kSteps = 20;
  for (int step = 1; step <= kSteps; ++step)
    XTestFakeMotionEvent(m_display, -1, fromX + (toX - fromX) * step / kSteps, fromY + (toY - fromY) * step / kSteps,
                         CurrentTime);
  XTestFakeButtonEvent(m_display, 1, False, CurrentTime);
  XSync(m_display, False);
}

std::vector<std::string> XClient::ClipboardTypes() {
  Display* d = m_display;
  const Window window = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 1, 1, 0, 0, 0);
  XSelectInput(d, window, PropertyChangeMask);
  const auto deadline = Clock::now() + std::chrono::seconds(10);
  const Time time = ServerTime(d, window, deadline);
  std::vector<std::string> types;
  if (auto list = Convert(d, window, Intern(d, "CLIPBOARD"), Intern(d, "TARGETS"), time, deadline))
    types = AtomNames(d, *list);
  XDestroyWindow(d, window);
  return types;
}

std::optional<std::vector<std::uint8_t>> XClient::ClipboardBytes(const std::string& type) {
  Display* d = m_display;
  const Window window = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 1, 1, 0, 0, 0);
  XSelectInput(d, window, PropertyChangeMask);
  const auto deadline = Clock::now() + std::chrono::seconds(10);
  const Time time = ServerTime(d, window, deadline);
  auto bytes = Convert(d, window, Intern(d, "CLIPBOARD"), Intern(d, type.c_str()), time, deadline);
  XDestroyWindow(d, window);
  return bytes;
}

bool XClient::ServeClipboardUntil(const std::vector<std::pair<std::string, std::vector<std::uint8_t>>>& data,
                                  const std::function<void()>& then, const std::function<bool()>& done) {
  Display* d = m_display;
  const Window owner = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 1, 1, 0, 0, 0);
  XSelectInput(d, owner, PropertyChangeMask);
  const auto deadline = Clock::now() + std::chrono::seconds(10);
  const Atom clipboard = Intern(d, "CLIPBOARD"), targets = Intern(d, "TARGETS");
  const Time time = ServerTime(d, owner, deadline);
  XSetSelectionOwner(d, clipboard, owner, time);
  XFlush(d);
  then();
  bool finished = false;
  while (!(finished = done()) && Clock::now() < deadline) {
    XEvent event{};
    // A short wait for a request, then another look at `done`.
    if (!NextEvent(d, &event, std::min(deadline, Clock::now() + std::chrono::milliseconds(20)),
                   [](const XEvent& e) { return e.type == SelectionRequest; }))
      continue;
    const XSelectionRequestEvent& request = event.xselectionrequest;
    XEvent reply = SelectionReply(request);
    const Atom property = request.property != None ? request.property : request.target;
    if (request.target == targets) {
      std::vector<Atom> offered{targets};
      for (const auto& item : data) offered.push_back(Intern(d, item.first.c_str()));
      XChangeProperty(d, request.requestor, property, XA_ATOM, 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(offered.data()), static_cast<int>(offered.size()));
      reply.xselection.property = property;
    }
    for (const auto& [type, bytes] : data) {
      if (request.target != Intern(d, type.c_str())) continue;
      XChangeProperty(d, request.requestor, property, request.target, 8, PropModeReplace, bytes.data(),
                      static_cast<int>(bytes.size()));
      reply.xselection.property = property;
    }
    XSendEvent(d, request.requestor, False, NoEventMask, &reply);
    XFlush(d);
  }
  XSetSelectionOwner(d, clipboard, None, time);
  XDestroyWindow(d, owner);
  XFlush(d);
  return finished;
}

bool XClient::DragToOwnWindow(int fromX, int fromY, int toX, int toY, Dropped* dropped, std::string* why) {
  Display* d = m_display;
  const Atom aware = Intern(d, "XdndAware"), enter = Intern(d, "XdndEnter"), position = Intern(d, "XdndPosition"),
             status = Intern(d, "XdndStatus"), drop = Intern(d, "XdndDrop"), finished = Intern(d, "XdndFinished"),
             selection = Intern(d, "XdndSelection"), copy = Intern(d, "XdndActionCopy"),
             typeList = Intern(d, "XdndTypeList");
  // The file manager's window: 80 pixels square around the point, above
  // everything else, taking drops of XDND version 5.
  XSetWindowAttributes attributes{};
  attributes.override_redirect = True;
  const Window target = XCreateWindow(d, DefaultRootWindow(d), toX - 40, toY - 40, 80, 80, 0, CopyFromParent,
                                      InputOutput, CopyFromParent, CWOverrideRedirect, &attributes);
  const long version = 5;
  XChangeProperty(d, target, aware, XA_ATOM, 32, PropModeReplace, reinterpret_cast<const unsigned char*>(&version), 1);
  XSelectInput(d, target, PropertyChangeMask);
  XMapRaised(d, target);
  XSync(d, False);
  const auto deadline = Clock::now() + std::chrono::seconds(10);

  Window source = None;
  std::string reason;
  // Answers every position with "a copy is taken here", and notes the
  // source and what it offers when the drag enters.
  auto handle = [&](const XEvent& e) {
    if (e.type != ClientMessage || e.xclient.window != target) return;
    if (e.xclient.message_type == enter) {
      source = static_cast<Window>(e.xclient.data.l[0]);
      dropped->types.clear();
      if (e.xclient.data.l[1] & 1) {
        if (auto list = TakeProperty(d, source, typeList)) dropped->types = AtomNames(d, *list);
      } else {
        std::vector<std::uint8_t> three(3 * sizeof(long));
        std::memcpy(three.data(), &e.xclient.data.l[2], three.size());
        for (const std::string& name : AtomNames(d, three)) dropped->types.push_back(name);
      }
    } else if (e.xclient.message_type == position) {
      SendClientMessage(d, static_cast<Window>(e.xclient.data.l[0]), status,
                        {static_cast<long>(target), 1, 0, 0, static_cast<long>(copy)});
    }
  };
  // Moves the pointer, answering the drag until `until` holds for a
  // message, for a moment at most.
  auto moveTo = [&](int x, int y, Atom until) {
    XTestFakeMotionEvent(d, -1, x, y, CurrentTime);
    XFlush(d);
    XEvent event{};
    const auto moment = std::min(deadline, Clock::now() + std::chrono::milliseconds(100));
    while (NextEvent(d, &event, moment, [](const XEvent& e) { return e.type == ClientMessage; })) {
      handle(event);
      if (event.xclient.message_type == until) return true;
    }
    return false;
  };

  XTestFakeMotionEvent(d, -1, fromX, fromY, CurrentTime);
  XTestFakeButtonEvent(d, 1, True, CurrentTime);
  XFlush(d);
  // Step towards the window until the drag reaches it.
  bool entered = false;
  for (int step = 1; step <= 40 && !entered && Clock::now() < deadline; ++step)
    entered = moveTo(fromX + (toX - fromX) * step / 40, fromY + (toY - fromY) * step / 40, enter);
  for (int tries = 0; entered && tries < 20 && !moveTo(toX + tries % 2, toY, position); ++tries) {
  }
  XTestFakeButtonEvent(d, 1, False, CurrentTime);
  XFlush(d);
  if (!entered) {
    reason = "no drag reached the window";
  } else {
    XEvent event{};
    bool dropArrived = false;
    while (!dropArrived && NextEvent(d, &event, deadline, [](const XEvent& e) { return e.type == ClientMessage; })) {
      handle(event);
      dropArrived = event.xclient.message_type == drop;
    }
    if (!dropArrived) {
      reason = "the drag was not dropped on the window";
    } else {
      const Time time = static_cast<Time>(event.xclient.data.l[2]);
      if (auto uris = Convert(d, target, selection, Intern(d, "text/uri-list"), time, deadline))
        dropped->uriList = *uris;
      if (auto png = Convert(d, target, selection, Intern(d, "image/png"), time, deadline)) dropped->png = *png;
      const bool taken = !dropped->uriList.empty();
      SendClientMessage(d, source, finished,
                        {static_cast<long>(target), taken ? 1 : 0, taken ? static_cast<long>(copy) : 0, 0, 0});
      if (!taken) reason = "the drop held no files";
    }
  }
  XDestroyWindow(d, target);
  XSync(d, False);
  return reason.empty() ? true : Failed(why, reason);
}

}  // namespace kp::testing
