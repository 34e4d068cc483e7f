// The editor as a local automation server, in real processes: the program
// is started directly or by a client through COM, under a private X server
// so that its window can be looked at and given keys the way a person
// would.

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "editor/ui/automation_ids.h"
#include "platform/com/com_ptr.h"
#include "platform/com/com_runtime.h"
#include "platform/registry/registry_helpers.h"
#include "platform/testing/local_server_client.h"
#include "platform/testing/run_program.h"
#include "platform/testing/temp_registry.h"
#include "platform/testing/wait_for.h"
#include "platform/testing/x_display.h"

namespace {

using kp::com::ComPtr;
using kp::testing::RunProgram;

constexpr char kCaption[] = "Orvane Shape File Editor";
// The start of the file dialog's title; the rest names the file wanted.
constexpr char kFileDialogTitle[] = "Please specify location of the ";

std::string RealPath(const char* path) {
  char resolved[PATH_MAX];
  return realpath(path, resolved) != nullptr ? resolved : path;
}

using kp::testing::ProcessGone;
using kp::testing::WaitFor;

// A call answered by the editor's own loop: when it returns, the editor has
// handled what it was shown before, and goes on.
bool Answers(IDispatch* editor) {
  char name[] = "Anything";
  LPOLESTR names[] = {name};
  DISPID id = 0;
  const HRESULT hr = editor->GetIDsOfNames(IID_NULL, names, 1, 0, &id);
  return hr != RPC_E_DISCONNECTED;
}

// The sockets the process holds open, each as "socket:[inode]".
std::set<std::string> SocketsOf(pid_t pid) {
  std::set<std::string> sockets;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/fd", error)) {
    const std::string target = std::filesystem::read_symlink(entry.path(), error).string();
    if (target.rfind("socket:", 0) == 0) sockets.insert(target);
  }
  return sockets;
}

// True once the process has closed one of `held`.
bool ClosedOneOf(pid_t pid, const std::set<std::string>& held) {
  const std::set<std::string> now = SocketsOf(pid);
  return std::any_of(held.begin(), held.end(), [&](const std::string& s) { return now.count(s) == 0; });
}

std::string ClassKey() { return "CLSID\\" + GuidToString(CLSID_KestrowApplication); }

bool EntriesWritten() {
  std::string value;
  return kp::registry::GetStringValue(HKEY_CLASSES_ROOT, std::string(kKestrowProgId) + "\\CLSID", "", &value) ==
         ERROR_SUCCESS;
}

class Automation : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    m_xServer = new kp::testing::PrivateXServer;
    m_display = new kp::testing::XClient(m_xServer->Display());
  }
  static void TearDownTestSuite() {
    delete m_display;
    m_display = nullptr;
    delete m_xServer;
    m_xServer = nullptr;
  }

  void SetUp() override {
    ASSERT_FALSE(m_xServer->Display().empty()) << "Xvfb did not start (scripts/test installs it)";
    ASSERT_TRUE(m_display->Connected());
    setenv("DISPLAY", m_xServer->Display().c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    kp::testing::InstallLocalServerClient();
    kp::testing::UseFreshRegistry();
    ASSERT_EQ(RunProgram({REGSVR_PROGRAM, TAVLET_MODULE}).status, 0);
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
  }
  void TearDown() override {
    CoUninitialize();
    StopEditors();
  }

  // Starts the editor directly and waits for its window.
  pid_t StartEditor(const std::string& option) {
    std::vector<std::string> words = {RealPath(KESTROW_PROGRAM)};
    if (!option.empty()) words.push_back(option);
    m_started.push_back(std::make_unique<kp::testing::StartedProgram>(words));
    const kp::testing::StartedProgram& editor = *m_started.back();
    EXPECT_TRUE(WaitFor([&] { return HasVisibleWindow(editor.Pid()); })) << "no window for '" << option << "'\n"
                                                                         << editor.Err();
    return editor.Pid();
  }
  // Ends the editors this test started.
  void StopEditors() { m_started.clear(); }

  // The visible windows on the display whose title is `title` (or starts
  // with it), each with the process that made it.
  static std::vector<std::pair<unsigned long, pid_t>> Windows(const std::string& title, bool prefix = false) {
    std::vector<std::pair<unsigned long, pid_t>> windows;
    for (unsigned long window : m_display->WindowsTitled(title, prefix))
      windows.push_back({window, m_display->WindowProcess(window)});
    return windows;
  }
  static std::vector<std::pair<unsigned long, pid_t>> EditorWindows() { return Windows(kCaption); }
  static std::vector<std::pair<unsigned long, pid_t>> FileDialogs() { return Windows(kFileDialogTitle, true); }

  static bool HasVisibleWindow(pid_t pid) { return WindowOf(pid) != 0; }
  static unsigned long WindowOf(pid_t pid) {
    for (const auto& [window, owner] : EditorWindows())
      if (owner == pid) return window;
    return 0;
  }

  // An editor takes the keyboard focus once the X server has mapped its
  // window, a moment after the window shows. Keys meant for another window
  // go after that, or they may land in the newcomer.
  static bool WaitForFocus(pid_t pid) {
    return WaitFor([&] { return WindowOf(pid) != 0 && m_display->FocusedWindow() == WindowOf(pid); });
  }

  // Keys to the window, through the X server's own input.
  static void PressKeys(unsigned long window, const std::string& keys) {
    std::string why;
    EXPECT_TRUE(m_display->PressKeys(window, keys, &why)) << keys << ": " << why;
  }

  static kp::testing::PrivateXServer* m_xServer;
  static kp::testing::XClient* m_display;
  std::vector<std::unique_ptr<kp::testing::StartedProgram>> m_started;
};

kp::testing::PrivateXServer* Automation::m_xServer = nullptr;
kp::testing::XClient* Automation::m_display = nullptr;

TEST_F(Automation, OnlyANormalStartWritesTheLocalServerEntries) {
  // clang-format off
  const struct {
    const char* option;
    bool writes;
  } rows[] = {
      {"", true},           {"/automation", true}, {"-embedding", true}, {"/Automation", false},
      {"-Automation", false}, {"-Embedding", false}, {"/Embedding", false},
      // Paths that hold an option's name are paths: a normal start.
      {"/no/such/Embedding/s.shp2", true}, {"/no/such/x-Automation", true},
  };
  // clang-format on
  for (const auto& row : rows) {
    kp::testing::UseFreshRegistry();
    ASSERT_EQ(RunProgram({REGSVR_PROGRAM, TAVLET_MODULE}).status, 0);
    StartEditor(row.option);
    EXPECT_EQ(EntriesWritten(), row.writes) << "'" << row.option << "'";
    if (row.writes) {
      std::string server, progId;
      EXPECT_EQ(kp::registry::GetStringValue(HKEY_CLASSES_ROOT, ClassKey() + "\\LocalServer32", "", &server),
                ERROR_SUCCESS);
      EXPECT_EQ(server, RealPath(KESTROW_PROGRAM));
      EXPECT_EQ(kp::registry::GetStringValue(HKEY_CLASSES_ROOT, ClassKey() + "\\ProgID", "", &progId), ERROR_SUCCESS);
      EXPECT_EQ(progId, kKestrowProgId);
    }
    StopEditors();
  }
}

TEST_F(Automation, AClientsEditorHidesWhenClosedEndsWhenReleasedAndEachClientGetsItsOwn) {
  // A normal start registers the class; then one of its entries goes, so
  // that a start by a client writing entries would show.
  StartEditor("");
  StopEditors();
  ASSERT_TRUE(EntriesWritten());
  ASSERT_EQ(kp::registry::DeleteKeyTree(HKEY_CLASSES_ROOT, ClassKey() + "\\ProgID"), ERROR_SUCCESS);

  CLSID clsid{};
  ASSERT_EQ(CLSIDFromProgID(kKestrowProgId, &clsid), S_OK);
  ComPtr<IDispatch> first, second;
  ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch, first.put_void()), S_OK);
  ASSERT_TRUE(WaitFor([] { return EditorWindows().size() == 1; }));
  const pid_t firstPid = EditorWindows()[0].second;
  ASSERT_TRUE(WaitForFocus(firstPid));
  ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch, second.put_void()), S_OK);
  ASSERT_TRUE(WaitFor([] { return EditorWindows().size() == 2; })) << "a second activation starts a second editor";
  pid_t secondPid = 0;
  for (const auto& [id, pid] : EditorWindows())
    if (pid != firstPid) secondPid = pid;
  ASSERT_NE(secondPid, 0);
  ASSERT_TRUE(WaitForFocus(secondPid));

  std::string progId;
  EXPECT_NE(kp::registry::GetStringValue(HKEY_CLASSES_ROOT, ClassKey() + "\\ProgID", "", &progId), ERROR_SUCCESS)
      << "an editor started by a client writes no entries";

  PressKeys(WindowOf(firstPid), "Escape");
  EXPECT_TRUE(WaitFor([&] { return !HasVisibleWindow(firstPid); })) << "Esc hides the held editor";
  // The window menu's Close, as the close box would.
  PressKeys(WindowOf(secondPid), "alt+space c");
  EXPECT_TRUE(WaitFor([&] { return !HasVisibleWindow(secondPid); })) << "Close hides the held editor";
  // Each editor answers from its loop after the close it handled.
  EXPECT_TRUE(Answers(first.get()));
  EXPECT_TRUE(Answers(second.get()));
  EXPECT_FALSE(ProcessGone(firstPid));
  EXPECT_FALSE(ProcessGone(secondPid));

  first.Reset();
  EXPECT_TRUE(WaitFor([&] { return ProcessGone(firstPid); })) << "releasing the object ended that editor";
  EXPECT_FALSE(ProcessGone(secondPid));
  second.Reset();
  EXPECT_TRUE(WaitFor([&] { return ProcessGone(secondPid); }));
}

TEST_F(Automation, AReleaseWhileAnotherDialogOfTheEditorIsOpenLeavesTheEditorToTheUser) {
  CLSID clsid{};
  StartEditor("");
  StopEditors();
  ASSERT_EQ(CLSIDFromProgID(kKestrowProgId, &clsid), S_OK);
  ComPtr<IDispatch> client;
  ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch, client.put_void()), S_OK);
  ASSERT_TRUE(WaitFor([] { return EditorWindows().size() == 1; }));
  const pid_t editor = EditorWindows()[0].second;
  const unsigned long window = WindowOf(editor);

  // The set list has the focus; the next control is "Select Shapes File...".
  PressKeys(window, "Tab space");
  ASSERT_TRUE(WaitFor([] { return !FileDialogs().empty(); }));

  const std::set<std::string> sockets = SocketsOf(editor);
  client.Reset();
  // The editor closes its end of the connection as it handles the release,
  // before it handles anything else.
  ASSERT_TRUE(WaitFor([&] { return ClosedOneOf(editor, sockets); }));
  EXPECT_FALSE(ProcessGone(editor)) << "the main window was disabled: it stays";
  EXPECT_TRUE(HasVisibleWindow(editor));

  ASSERT_FALSE(FileDialogs().empty());
  PressKeys(FileDialogs()[0].first, "Escape");
  ASSERT_TRUE(WaitFor([] { return FileDialogs().empty(); }));
  // The button that opened the file dialog has the focus again: the editor
  // opening it once more shows that it went on after the dialog closed.
  PressKeys(window, "space");
  ASSERT_TRUE(WaitFor([] { return !FileDialogs().empty(); }));
  EXPECT_FALSE(ProcessGone(editor)) << "the program is the user's now, and ends when the user closes it";
  PressKeys(FileDialogs()[0].first, "Escape");
  ASSERT_TRUE(WaitFor([] { return FileDialogs().empty(); }));

  PressKeys(window, "Escape");
  EXPECT_TRUE(WaitFor([&] { return ProcessGone(editor); })) << "Esc now closes the editor";
}

}  // namespace
