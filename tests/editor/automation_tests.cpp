// The editor as a local automation server, in real processes: the program
// is started directly or by a client through COM, under a private X server
// so that its window can be looked at and given keys the way a person
// would (Xvfb and xdotool, which scripts/test installs).

#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "editor/ui/automation_ids.h"
#include "platform/base/fd_watch.h"
#include "platform/com/com_ptr.h"
#include "platform/com/com_runtime.h"
#include "platform/registry/registry_helpers.h"
#include "platform/testing/local_server_client.h"
#include "platform/testing/temp_registry.h"

extern char** environ;

namespace {

using kp::com::ComPtr;

constexpr char kCaption[] = "Orvane Shape File Editor";

std::string RealPath(const char* path) {
  char resolved[PATH_MAX];
  return realpath(path, resolved) != nullptr ? resolved : path;
}

pid_t Spawn(const std::vector<std::string>& words, posix_spawn_file_actions_t* actions = nullptr) {
  std::vector<std::string> copy = words;
  std::vector<char*> argv;
  for (std::string& word : copy) argv.push_back(word.data());
  argv.push_back(nullptr);
  pid_t pid = -1;
  if (posix_spawn(&pid, copy[0].c_str(), actions, nullptr, argv.data(), environ) != 0) return -1;
  return pid;
}

int RunToEnd(const std::vector<std::string>& words) {
  pid_t pid = Spawn(words);
  int status = -1;
  if (pid <= 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

bool ProcessGone(pid_t pid) { return ::kill(pid, 0) != 0 && errno == ESRCH; }

// Runs the event loop (where the COM runtime reaps the servers it started)
// until `done`, for up to twenty seconds.
bool WaitFor(const std::function<bool()>& done) { return kp::RunFdLoopUntil(done, 20000); }

// A private X server for the test program, on a display of its own.
class PrivateXServer {
 public:
  PrivateXServer() {
    int ready[2];
    if (::pipe(ready) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, ready[0]);
    // -noreset: the server would otherwise reset each time its last client
    // goes (an editor ended by the test), and refuse the next editor that
    // connects during the reset, which a loaded machine makes long.
    m_pid = Spawn({"/usr/bin/Xvfb", "-displayfd", std::to_string(ready[1]), "-screen", "0", "1280x1024x24",
                   "-nolisten", "tcp", "-noreset"},
                  &actions);
    posix_spawn_file_actions_destroy(&actions);
    ::close(ready[1]);
    char number[16] = {};
    std::size_t got = 0;
    while (got < sizeof number - 1 && ::read(ready[0], number + got, 1) == 1 && number[got] != '\n') ++got;
    ::close(ready[0]);
    if (got > 0) m_display = ":" + std::string(number, got);
  }
  ~PrivateXServer() {
    if (m_pid > 0) {
      ::kill(m_pid, SIGTERM);
      ::waitpid(m_pid, nullptr, 0);
    }
  }
  const std::string& Display() const { return m_display; }

 private:
  pid_t m_pid = -1;
  std::string m_display;
};

// Runs xdotool on the private display and returns what it printed.
std::string Xdotool(const std::string& arguments) {
  std::string output;
  if (FILE* pipe = ::popen(("xdotool " + arguments + " 2>/dev/null").c_str(), "r")) {
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) output += buffer;
    ::pclose(pipe);
  }
  return output;
}

std::vector<std::string> Words(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> words;
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

// The visible editor windows on the display, by process.
std::vector<std::pair<std::string, pid_t>> EditorWindows() {
  std::vector<std::pair<std::string, pid_t>> windows;
  for (const std::string& id : Words(Xdotool(std::string("search --onlyvisible --name '^") + kCaption + "$'"))) {
    std::vector<std::string> pid = Words(Xdotool("getwindowpid " + id));
    if (!pid.empty()) windows.push_back({id, static_cast<pid_t>(std::stol(pid[0]))});
  }
  return windows;
}

bool HasVisibleWindow(pid_t pid) {
  for (const auto& [id, owner] : EditorWindows())
    if (owner == pid) return true;
  return false;
}

std::string WindowOf(pid_t pid) {
  for (const auto& [id, owner] : EditorWindows())
    if (owner == pid) return id;
  return {};
}

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

// Keys to the window, through the X server's own input.
void PressKeys(const std::string& window, const std::string& keys) {
  Xdotool("windowfocus --sync " + window);
  Xdotool("key --delay 100 " + keys);
}

std::string ClassKey() { return "CLSID\\" + GuidToString(CLSID_KestrowApplication); }

bool EntriesWritten() {
  std::string value;
  return kp::registry::GetStringValue(HKEY_CLASSES_ROOT, std::string(kKestrowProgId) + "\\CLSID", "", &value) ==
         ERROR_SUCCESS;
}

class Automation : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { x = new PrivateXServer; }
  static void TearDownTestSuite() {
    delete x;
    x = nullptr;
  }

  void SetUp() override {
    ASSERT_FALSE(x->Display().empty()) << "Xvfb did not start (scripts/test installs it and xdotool)";
    setenv("DISPLAY", x->Display().c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    kp::testing::InstallLocalServerClient();
    kp::testing::UseFreshRegistry();
    ASSERT_EQ(RunToEnd({REGSVR_PROGRAM, TAVLET_MODULE}), 0);
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
  }
  void TearDown() override {
    CoUninitialize();
    for (pid_t pid : started) {
      ::kill(pid, SIGTERM);
      ::waitpid(pid, nullptr, 0);
    }
  }

  // Starts the editor directly and waits for its window.
  pid_t StartEditor(const std::string& option) {
    std::vector<std::string> words = {RealPath(KESTROW_PROGRAM)};
    if (!option.empty()) words.push_back(option);
    pid_t pid = Spawn(words);
    if (pid > 0) started.push_back(pid);
    EXPECT_TRUE(WaitFor([&] { return HasVisibleWindow(pid); })) << "no window for '" << option << "'";
    return pid;
  }

  static PrivateXServer* x;
  std::vector<pid_t> started;
};

PrivateXServer* Automation::x = nullptr;

TEST_F(Automation, OnlyANormalStartWritesTheLocalServerEntries) {
  const struct {
    const char* option;
    bool writes;
  } rows[] = {
      {"", true},           {"/automation", true}, {"-embedding", true}, {"/Automation", false},
      {"-Automation", false}, {"-Embedding", false}, {"/Embedding", false},
  };
  for (const auto& row : rows) {
    kp::testing::UseFreshRegistry();
    ASSERT_EQ(RunToEnd({REGSVR_PROGRAM, TAVLET_MODULE}), 0);
    pid_t pid = StartEditor(row.option);
    EXPECT_EQ(EntriesWritten(), row.writes) << "'" << row.option << "'";
    if (row.writes) {
      std::string server, progId;
      EXPECT_EQ(kp::registry::GetStringValue(HKEY_CLASSES_ROOT, ClassKey() + "\\LocalServer32", "", &server),
                ERROR_SUCCESS);
      EXPECT_EQ(server, RealPath(KESTROW_PROGRAM));
      EXPECT_EQ(kp::registry::GetStringValue(HKEY_CLASSES_ROOT, ClassKey() + "\\ProgID", "", &progId), ERROR_SUCCESS);
      EXPECT_EQ(progId, kKestrowProgId);
    }
    ::kill(pid, SIGTERM);
    ::waitpid(pid, nullptr, 0);
    started.clear();
  }
}

TEST_F(Automation, AClientsEditorHidesWhenClosedEndsWhenReleasedAndEachClientGetsItsOwn) {
  // A normal start registers the class; then one of its entries goes, so
  // that a start by a client writing entries would show.
  pid_t registering = StartEditor("");
  ::kill(registering, SIGTERM);
  ::waitpid(registering, nullptr, 0);
  started.clear();
  ASSERT_TRUE(EntriesWritten());
  ASSERT_EQ(kp::registry::DeleteKeyTree(HKEY_CLASSES_ROOT, ClassKey() + "\\ProgID"), ERROR_SUCCESS);

  CLSID clsid{};
  ASSERT_EQ(CLSIDFromProgID(kKestrowProgId, &clsid), S_OK);
  ComPtr<IDispatch> first, second;
  ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch, first.put_void()), S_OK);
  ASSERT_TRUE(WaitFor([] { return EditorWindows().size() == 1; }));
  const pid_t firstPid = EditorWindows()[0].second;
  ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch, second.put_void()), S_OK);
  ASSERT_TRUE(WaitFor([] { return EditorWindows().size() == 2; })) << "a second activation starts a second editor";
  pid_t secondPid = 0;
  for (const auto& [id, pid] : EditorWindows())
    if (pid != firstPid) secondPid = pid;
  ASSERT_NE(secondPid, 0);

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
  pid_t registering = StartEditor("");
  ::kill(registering, SIGTERM);
  ::waitpid(registering, nullptr, 0);
  started.clear();
  ASSERT_EQ(CLSIDFromProgID(kKestrowProgId, &clsid), S_OK);
  ComPtr<IDispatch> client;
  ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch, client.put_void()), S_OK);
  ASSERT_TRUE(WaitFor([] { return EditorWindows().size() == 1; }));
  const pid_t editor = EditorWindows()[0].second;
  const std::string window = WindowOf(editor);

  // The set list has the focus; the next control is "Select Shapes File...".
  PressKeys(window, "Tab space");
  // The title's own quotes would end the shell's, so the search matches its start.
  const std::string fileDialogName = "^Please specify location of the ";
  ASSERT_TRUE(WaitFor([&] { return !Words(Xdotool("search --onlyvisible --name '" + fileDialogName + "'")).empty(); }));

  const std::set<std::string> sockets = SocketsOf(editor);
  client.Reset();
  // The editor closes its end of the connection as it handles the release,
  // before it handles anything else.
  ASSERT_TRUE(WaitFor([&] { return ClosedOneOf(editor, sockets); }));
  EXPECT_FALSE(ProcessGone(editor)) << "the main window was disabled: it stays";
  EXPECT_TRUE(HasVisibleWindow(editor));

  const auto fileDialogs = [&] { return Words(Xdotool("search --onlyvisible --name '" + fileDialogName + "'")); };
  ASSERT_FALSE(fileDialogs().empty());
  PressKeys(fileDialogs()[0], "Escape");
  ASSERT_TRUE(WaitFor([&] { return fileDialogs().empty(); }));
  // The button that opened the file dialog has the focus again: the editor
  // opening it once more shows that it went on after the dialog closed.
  PressKeys(window, "space");
  ASSERT_TRUE(WaitFor([&] { return !fileDialogs().empty(); }));
  EXPECT_FALSE(ProcessGone(editor)) << "the program is the user's now, and ends when the user closes it";
  PressKeys(fileDialogs()[0], "Escape");
  ASSERT_TRUE(WaitFor([&] { return fileDialogs().empty(); }));

  PressKeys(window, "Escape");
  EXPECT_TRUE(WaitFor([&] { return ProcessGone(editor); })) << "Esc now closes the editor";
}

}  // namespace
