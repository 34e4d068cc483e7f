// The editor at home on Wayland: a weston of its own, on the headless
// backend, started by the test, with the editor's journey (wayland_journey)
// run in it as a native Wayland client. Skipped, with the reason, where
// weston cannot start.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "editor/shapes/sample/sample_shapes.h"
#include "platform/afx/dialog.h"
#include "platform/qt/window_system.h"
#include "platform/testing/file_contents.h"
#include "platform/testing/run_program.h"
#include "platform/testing/temp_environment.h"
#include "platform/testing/temp_registry.h"
#include "platform/testing/ui_driver.h"
#include "platform/testing/x_display.h"

namespace {

namespace fs = std::filesystem;

constexpr char kWeston[] = "/usr/bin/weston";

// A weston compositor for as long as the object lives, drawing with the CPU
// so that its screenshots show what it composes. Seated, it draws into a
// window of a private X server whose keyboard and pointer it takes as its
// seat's: input a test sends through the X server reaches the editor as a
// person's would, from the compositor.
class Weston {
 public:
  Weston(const std::string& folder, std::vector<std::string> backend, bool seated)
      : m_runtime(folder + "/runtime"), m_log(folder + "/weston.log") {
    fs::create_directories(m_runtime);
    fs::permissions(m_runtime, fs::perms::owner_all, fs::perm_options::replace);
    if (seated && (m_x = std::make_unique<kp::testing::PrivateXServer>())->Display().empty()) return;
    kp::testing::ProgramOptions options;
    options.environment = kp::testing::EnvironmentWithout({"XDG_RUNTIME_DIR", "WAYLAND_DISPLAY", "DISPLAY"});
    options.environment->push_back("XDG_RUNTIME_DIR=" + m_runtime);
    if (m_x != nullptr) options.environment->push_back("DISPLAY=" + m_x->Display());
    // --no-config keeps the user's weston.ini out of it.
    backend.insert(backend.begin(), {kWeston, "--use-pixman", "--socket=kestrow-test", "--idle-time=0", "--no-config",
                                     "--log=" + m_log});
    m_weston = std::make_unique<kp::testing::StartedProgram>(backend, options);
  }
  ~Weston() { m_weston.reset(); }
  const std::string& XDisplay() const { return m_x->Display(); }

  // The socket of the session once it takes clients; empty, with the
  // reason in *why, when weston ended or did not get there in ten seconds.
  std::string Socket(std::string* why) {
    if (m_weston == nullptr) {
      *why = "Xvfb did not start";
      return std::string();
    }
    const std::string socket = m_runtime + "/kestrow-test";
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
      struct stat info {};
      // The lock file comes first; the socket once weston listens.
      if (::stat(socket.c_str(), &info) == 0 && S_ISSOCK(info.st_mode) && fs::exists(m_log)) return socket;
      if (m_weston->Ended()) break;
      m_weston->WaitForEnd(std::chrono::milliseconds(50));
    }
    *why = "weston did not start: " + kp::testing::ReadFileText(m_log);
    return std::string();
  }

 private:
  std::unique_ptr<kp::testing::PrivateXServer> m_x;
  std::string m_runtime;
  std::string m_log;
  std::unique_ptr<kp::testing::StartedProgram> m_weston;
};

TEST(WaylandSession, TheEditorRunsAsANativeClientLoadsASetAndIsSeenByTheCompositor) {
  if (!fs::exists(kWeston)) GTEST_SKIP() << "weston is not installed (scripts/lib/common.sh lists it)";
  const std::string folder = kp::testing::TemporaryRoot() + "/wayland";
  // --debug lets a client take screenshots.
  Weston weston(folder, {"--backend=headless-backend.so", "--width=1280", "--height=1024", "--debug"}, false);
  std::string why;
  const std::string socket = weston.Socket(&why);
  if (socket.empty()) GTEST_SKIP() << why;

  // KESTROW_SCREENSHOTS keeps them where a person can look at them.
  const char* kept = std::getenv("KESTROW_SCREENSHOTS");
  const std::string shots = kept != nullptr ? std::string(kept) : folder + "/screenshots";
  fs::create_directories(shots);
  kp::testing::ProgramOptions options;
  options.environment = kp::testing::EnvironmentWithout({"QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "DISPLAY"});
  options.environment->push_back("QT_QPA_PLATFORM=wayland");
  options.environment->push_back("WAYLAND_DISPLAY=" + socket);
  options.environment->push_back("KESTROW_SCREENSHOTS=" + shots);
  // In the sanitizer build: what Qt's Wayland plugin keeps to the end is
  // not a leak of ours.
  options.environment->push_back(std::string("LSAN_OPTIONS=fast_unwind_on_malloc=0:suppressions=") +
                                 WAYLAND_CLIENT_LEAKS);
  options.timeout = std::chrono::minutes(2);
  const kp::testing::ProgramRun journey = kp::testing::RunProgram({WAYLAND_JOURNEY_PROGRAM}, options);
  EXPECT_EQ(journey.status, 0) << journey.out << journey.err;
  for (const char* shot : {"editor.png", "About Kestrow.png", "Image Finder.png"})
    EXPECT_TRUE(fs::exists(shots + "/" + shot)) << shot;
}

constexpr std::uint32_t kGrey = 0x808080, kRed = 0xFF0000, kWhite = 0xFFFFFF;

// The top-left pixel of the first empty drop control on the screen, reading
// rows from the top: its grey frame, the black corner of its marker inside,
// white below that.
std::optional<POINT> FirstEmptySlot(kp::testing::XClient& x) {
  int width = 0;
  const std::vector<std::uint32_t> screen = x.ScreenPixels(&width);
  const int height = width > 0 ? static_cast<int>(screen.size()) / width : 0;
  auto at = [&](int px, int py) { return screen[static_cast<std::size_t>(py) * width + px]; };
  for (int y = 1; y + 20 < height; ++y)
    for (int x0 = 1; x0 + 20 < width; ++x0)
      if (at(x0, y) == kGrey && at(x0 - 1, y) != kGrey && at(x0, y - 1) != kGrey && at(x0 + 1, y + 1) == 0 &&
          at(x0 + 1, y + 20) == kWhite && at(x0 + 20, y + 1) == kWhite)
        return POINT{x0, y};
  return std::nullopt;
}

TEST(WaylandSession, FocusKeysAndMenusComeFromTheCompositorsSeat) {
  if (!fs::exists(kWeston)) GTEST_SKIP() << "weston is not installed (scripts/lib/common.sh lists it)";
  Weston weston(kp::testing::TemporaryRoot() + "/seated", {"--backend=x11-backend.so", "--width=1200", "--height=960"},
                true);
  std::string why;
  const std::string socket = weston.Socket(&why);
  if (socket.empty()) GTEST_SKIP() << why;
  kp::testing::XClient x(weston.XDisplay());
  ASSERT_TRUE(x.Connected());

  kp::testing::UseFreshRegistry();
  ASSERT_EQ(kp::testing::RunProgram({REGSVR_PROGRAM, TAVLET_MODULE}).status, 0);
  const std::string shapes = kp::testing::TemporaryRoot() + "/seated/shapes.shp2";
  sample_shapes::MakeSampleShapes().WriteFile(shapes);
  kp::testing::ProgramOptions options;
  options.environment = kp::testing::EnvironmentWithout({"QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "DISPLAY"});
  options.environment->push_back("QT_QPA_PLATFORM=wayland");
  options.environment->push_back("WAYLAND_DISPLAY=" + socket);
  kp::testing::StartedProgram editor({KESTROW_PROGRAM, shapes}, options);

  // Where the editor is: slot 0 is the first empty drop control on the
  // screen, and the template places the rest from there.
  std::optional<POINT> slot0;
  ASSERT_TRUE(kp::testing::WaitUntil([&] { return (slot0 = FirstEmptySlot(x)).has_value(); }))
      << "the editor did not show\n"
      << editor.Err();
  const SIZE baseUnits = kp::qt::GetDialogBaseUnits("MS Sans Serif", 8);
  const RECT first = kp::afx::MapDialogUnits(RECT{32, 24, 65, 56}, baseUnits);
  auto place = [&](int ux, int uy, int ucx, int ucy) {
    const RECT r = kp::afx::MapDialogUnits(RECT{ux, uy, ux + ucx, uy + ucy}, baseUnits);
    return RECT{slot0->x + r.left - first.left, slot0->y + r.top - first.top, slot0->x + r.right - first.left,
                slot0->y + r.bottom - first.top};
  };
  auto slot = [&](int k) { return place(32 + 44 * (k % 6), 24 + 41 * (k / 6), 33, 32); };
  auto middle = [](const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; };
  auto showing = [&](POINT p, const std::function<bool(std::uint32_t)>& wanted) {
    const std::optional<std::uint32_t> pixel = x.ScreenPixel(p.x, p.y);
    return pixel.has_value() && wanted(*pixel);
  };
  auto shows = [&](POINT p, const std::function<bool(std::uint32_t)>& wanted) {
    return kp::testing::WaitUntil([&] { return showing(p, wanted); });
  };
  // A window that has just appeared may not take the first click yet (the
  // compositor has not given it the pointer): a person clicks again.
  auto clickUntil = [&](POINT at, unsigned button, POINT p, const std::function<bool(std::uint32_t)>& wanted) {
    for (int attempt = 0; attempt < 5; ++attempt) {
      x.ClickButton(at.x, at.y, button);
      if (kp::testing::WaitUntil([&] { return showing(p, wanted); }, 2000)) return true;
    }
    return false;
  };
  auto red = [](std::uint32_t p) { return p == kRed; };
  auto grey = [](std::uint32_t p) { return p == kGrey; };
  auto frameOf = [&](int k) { return POINT{slot(k).left, middle(slot(k)).y}; };
  // Keys go to the compositor's window, which hands them to the editor. Its
  // seat has a pointer once the pointer comes into the window: it starts
  // outside it, in the part of the X screen the window leaves free.
  const unsigned long compositor = x.WindowAt(slot0->x, slot0->y);
  ASSERT_NE(compositor, 0u);
  x.MovePointer(1270, 1010);

  // The compositor's window takes the X focus before the click: moved
  // later, it makes weston take the keyboard from the editor and give it
  // back, and a key pressed in between is lost.
  ASSERT_TRUE(x.PressKeys(compositor, "", &why)) << why;
  // A click gives a slot the focus, and Tab moves it on to the next.
  ASSERT_TRUE(clickUntil(middle(slot(0)), 1, frameOf(0), red)) << "the click gave slot 0 the focus";
  ASSERT_TRUE(x.PressKeys(compositor, "Tab", &why)) << why;
  EXPECT_TRUE(shows(frameOf(1), red)) << "Tab moved the focus to slot 1";
  EXPECT_TRUE(shows(frameOf(0), grey));

  // The context menu opens where the slot was right-clicked, over the
  // slot's white, and a click beside it closes it again.
  const POINT click = middle(slot(2));
  const POINT underMenu{click.x + 10, click.y + 8};
  ASSERT_TRUE(showing(underMenu, [](std::uint32_t p) { return p == kWhite; }));
  EXPECT_TRUE(clickUntil(click, 3, underMenu, [](std::uint32_t p) { return p != kWhite; })) << "no menu at the click";
  const POINT beside = middle(place(18, 6, 10, 8));  // the drop hint's first letters
  EXPECT_TRUE(clickUntil(beside, 1, underMenu, [](std::uint32_t p) { return p == kWhite; })) << "the menu stayed";

  // Load fills the slots.
  EXPECT_TRUE(clickUntil(middle(place(300, 226, 130, 14)), 1, middle(slot(0)), [](std::uint32_t p) {
    return p != kWhite;
  })) << "the set loaded";
}

}  // namespace
