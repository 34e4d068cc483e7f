// window_shown_clock PROGRAM [ARGUMENT...]
//
// Starts the program on the X display of $DISPLAY and prints how long, in
// milliseconds from the exec, it took until the X server mapped its first
// top-level window and until the program first drew into that window; then
// ends the program. The display must have no window manager and no other
// client making windows (a private Xvfb), so that the first top-level window
// mapped is the program's.
//
// Exit status 0 with one line "mapped after 61.2 ms, drawn after 87.3 ms";
// 1 with one line saying why when there is no display, the display cannot
// report drawing, or the program cannot be started, ends first, or shows
// nothing within the time limit (10 s).
//
// Drawing is seen through the X DAMAGE extension, whose requests are sent
// here by hand, as the headers of its binding are not part of the build's
// packages: every top-level window gets a damage object as it is created,
// which reports once, when something is first drawn into the window.

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/uio.h>
#include <sys/wait.h>
#include <time.h>
#include <xcb/xcb.h>
#include <xcb/xcbext.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <set>

extern char** environ;

namespace {

constexpr double kLimitMs = 10000;

double NowMs() {
  timespec now{};
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

int Fail(const char* why, const char* program) {
  std::printf("%s: %s\n", program, why);
  return 1;
}

// Ends the program and collects it, whatever happened.
struct Child {
  pid_t pid = -1;
  ~Child() {
    if (pid <= 0) return;
    ::kill(pid, SIGTERM);
    ::waitpid(pid, nullptr, 0);
  }
  bool Ended() {
    if (pid <= 0 || ::waitpid(pid, nullptr, WNOHANG) != pid) return false;
    pid = -1;
    return true;
  }
};

// The DAMAGE extension's two requests used here, laid out as the protocol
// gives them; xcb fills in the opcodes and the length.
xcb_extension_t g_damage = {"DAMAGE", 0};

struct DamageQueryVersion {
  uint8_t majorOpcode, minorOpcode;
  uint16_t length;
  uint32_t clientMajor, clientMinor;
};
constexpr uint8_t kDamageQueryVersion = 0;

struct DamageCreate {
  uint8_t majorOpcode, minorOpcode;
  uint16_t length;
  uint32_t damage, drawable;
  uint8_t level, pad[3];
};
constexpr uint8_t kDamageCreate = 1;
constexpr uint8_t kReportNonEmpty = 3;  // one event, when the damage first becomes non-empty

struct DamageNotify {
  uint8_t responseType, level;
  uint16_t sequence;
  uint32_t drawable;
};

template <typename Request>
unsigned Send(xcb_connection_t* x, uint8_t opcode, bool reply, Request& request) {
  iovec parts[2] = {{&request, sizeof request}, {nullptr, 0}};
  const xcb_protocol_request_t info = {1, &g_damage, opcode, reply ? uint8_t{0} : uint8_t{1}};
  return xcb_send_request(x, reply ? XCB_REQUEST_CHECKED : 0, parts, &info);
}

// The first event number of the extension, after agreeing on version 1.1,
// which a client must do before any other request; 0 when there is none.
uint8_t StartDamage(xcb_connection_t* x) {
  const xcb_query_extension_reply_t* present = xcb_get_extension_data(x, &g_damage);
  if (present == nullptr || !present->present) return 0;
  DamageQueryVersion query{0, 0, 0, 1, 1};
  xcb_generic_error_t* error = nullptr;
  void* reply = xcb_wait_for_reply(x, Send(x, kDamageQueryVersion, true, query), &error);
  std::free(error);
  if (reply == nullptr) return 0;
  std::free(reply);
  return present->first_event;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::printf("usage: window_shown_clock PROGRAM [ARGUMENT...]\n");
    return 2;
  }
  int screenNumber = 0;
  std::unique_ptr<xcb_connection_t, void (*)(xcb_connection_t*)> x(xcb_connect(nullptr, &screenNumber), xcb_disconnect);
  if (xcb_connection_has_error(x.get())) return Fail("no X display", argv[1]);
  const uint8_t damageEvent = StartDamage(x.get());
  if (damageEvent == 0) return Fail("the X display cannot report drawing (no DAMAGE extension)", argv[1]);
  xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(x.get()));
  for (int i = 0; i < screenNumber; ++i) xcb_screen_next(&screens);
  // Every window created or mapped as a child of the root is a top-level
  // window.
  const uint32_t events = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
  xcb_generic_error_t* error = xcb_request_check(
      x.get(), xcb_change_window_attributes_checked(x.get(), screens.data->root, XCB_CW_EVENT_MASK, &events));
  if (error != nullptr) {
    std::free(error);
    return Fail("cannot watch the display's windows", argv[1]);
  }

  Child child;
  const double start = NowMs();
  if (::posix_spawn(&child.pid, argv[1], nullptr, nullptr, argv + 1, environ) != 0) {
    child.pid = -1;
    return Fail("cannot be started", argv[1]);
  }
  std::set<uint32_t> mapped;
  double mappedAt = 0;
  pollfd watch{xcb_get_file_descriptor(x.get()), POLLIN, 0};
  while (NowMs() - start < kLimitMs) {
    while (xcb_generic_event_t* event = xcb_poll_for_event(x.get())) {
      const uint8_t type = event->response_type & 0x7F;
      if (type == XCB_CREATE_NOTIFY) {
        const auto* created = reinterpret_cast<xcb_create_notify_event_t*>(event);
        DamageCreate damage{0, 0, 0, xcb_generate_id(x.get()), created->window, kReportNonEmpty, {0, 0, 0}};
        Send(x.get(), kDamageCreate, false, damage);
        xcb_flush(x.get());
      } else if (type == XCB_MAP_NOTIFY && !reinterpret_cast<xcb_map_notify_event_t*>(event)->override_redirect) {
        if (mapped.empty()) mappedAt = NowMs() - start;
        mapped.insert(reinterpret_cast<xcb_map_notify_event_t*>(event)->window);
      } else if (type == damageEvent && mapped.count(reinterpret_cast<DamageNotify*>(event)->drawable) != 0) {
        std::free(event);
        std::printf("mapped after %.1f ms, drawn after %.1f ms\n", mappedAt, NowMs() - start);
        return 0;
      }
      std::free(event);
    }
    if (xcb_connection_has_error(x.get())) return Fail("lost the X display", argv[1]);
    if (child.Ended()) return Fail("ended before showing a window", argv[1]);
    // Short waits, so that a program that ends is noticed soon.
    ::poll(&watch, 1, 20);
  }
  return Fail("showed nothing within 10 s", argv[1]);
}
