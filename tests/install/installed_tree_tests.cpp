// An installed Kestrow, as a new user meets it: the tree that
// "cmake --install" made, or that the two .debs unpack to, named by
// KESTROW_INSTALLED_PREFIX (its bin, lib and share are below it). Its
// programs run in processes of their own, with nothing of the build's
// environment: a home and data folder of their own, no LD_LIBRARY_PATH, the
// machine-wide registration found through XDG_DATA_DIRS, and a private X
// server to show their windows.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "kestrow_version.h"
#include "platform/afx/dialog.h"
#include "platform/qt/window_system.h"
#include "platform/testing/bmp_writer.h"
#include "platform/testing/file_contents.h"
#include "platform/testing/run_program.h"
#include "platform/testing/temp_environment.h"
#include "platform/testing/wait_for.h"
#include "platform/testing/x_display.h"
#include "tests/install/desktop_libraries.h"

namespace {
namespace fs = std::filesystem;

constexpr char kEditorTitle[] = "Orvane Shape File Editor";

using kp::testing::ReadFileText;

// What a program prints on standard output.
std::string Output(const std::vector<std::string>& words) { return kp::testing::RunProgram(words).out; }

using kp::testing::WaitFor;

class InstalledTree : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { m_xServer = new kp::testing::PrivateXServer; }
  static void TearDownTestSuite() {
    delete m_xServer;
    m_xServer = nullptr;
  }

  void SetUp() override {
    const char* given = std::getenv("KESTROW_INSTALLED_PREFIX");
    ASSERT_NE(given, nullptr) << "KESTROW_INSTALLED_PREFIX names the installed tree";
    m_prefix = fs::canonical(given).string();
    ASSERT_FALSE(m_xServer->Display().empty()) << "Xvfb did not start (scripts/test installs it)";
    static int users = 0;
    m_home = kp::testing::TemporaryRoot() + "/user-" + std::to_string(++users);
    fs::create_directories(m_home + "/data");
    fs::create_directories(m_home + "/runtime");
    fs::permissions(m_home + "/runtime", fs::perms::owner_all, fs::perm_options::replace);
  }

  // A new user's environment; `dataDirs` is their XDG_DATA_DIRS.
  std::vector<std::string> UserEnvironment(const std::string& dataDirs) const {
    return {"HOME=" + m_home,
            "XDG_DATA_HOME=" + m_home + "/data",
            "XDG_RUNTIME_DIR=" + m_home + "/runtime",
            "XDG_DATA_DIRS=" + dataDirs,
            "DISPLAY=" + m_xServer->Display(),
            "QT_QPA_PLATFORM=xcb",
            "PATH=" + m_prefix + "/bin:/usr/bin:/bin"};
  }

  std::unique_ptr<kp::testing::StartedProgram> Run(const std::vector<std::string>& words,
                                                   const std::string& dataDirs) const {
    kp::testing::ProgramOptions options;
    options.environment = UserEnvironment(dataDirs);
    return std::make_unique<kp::testing::StartedProgram>(words, options);
  }

  // A 24-bit bitmap file of one colour.
  std::string SolidBitmapFile(const std::string& name, std::uint32_t rgb) const {
    const std::string path = m_home + "/" + name;
    EXPECT_TRUE(kp::testing::WriteFileBytes(path, kp::testing::BitmapFile24(40, 30, [rgb](int, int) { return rgb; })));
    return path;
  }

  static kp::testing::PrivateXServer* m_xServer;
  std::string m_prefix;
  std::string m_home;
};

kp::testing::PrivateXServer* InstalledTree::m_xServer = nullptr;

TEST_F(InstalledTree, HoldsWhatAUserRunsAndNothingElse) {
  std::set<std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(m_prefix))
    if (!entry.is_directory()) files.insert(fs::relative(entry.path(), m_prefix).string());
  std::set<std::string> expected = {
      "bin/kestrow",
      "bin/kestrow-cli",
      "bin/kestrow-sample-shapes",
      KESTROW_PRIVATE_DIR "/Tavlet.ocx",
      KESTROW_PRIVATE_DIR "/libksystem.so",
      KESTROW_PRIVATE_DIR "/libkwindowing.so",
      KESTROW_PRIVATE_DIR "/regsvr",
      "share/kestrow-platform/classes.reg",
      "share/applications/" KESTROW_APP_ID ".desktop",
      "share/metainfo/" KESTROW_APP_ID ".metainfo.xml",
      "share/mime/packages/kestrow.xml",
      "share/man/man1/kestrow.1.gz",
      "share/man/man1/kestrow-cli.1.gz",
      "share/man/man1/kestrow-sample-shapes.1.gz",
      "share/doc/kestrow/copyright",
      "share/doc/kestrow/changelog.gz",
      "share/doc/kestrow-cli/copyright",
      "share/doc/kestrow-cli/changelog.gz",
  };
  for (int size : {16, 32, 48, 64, 128, 256})
    expected.insert("share/icons/hicolor/" + std::to_string(size) + "x" + std::to_string(size) + "/apps/kestrow.png");
  EXPECT_EQ(files, expected);

  // Each finds ours through a run path relative to its own place.
  const struct {
    std::string file;
    std::string runPath;
  } rows[] = {
      {"bin/kestrow", "$ORIGIN/" KESTROW_PRIVATE_DIR_FROM_BIN},
      {"bin/kestrow-cli", "$ORIGIN/" KESTROW_PRIVATE_DIR_FROM_BIN},
      {"bin/kestrow-sample-shapes", "$ORIGIN/" KESTROW_PRIVATE_DIR_FROM_BIN},
      {KESTROW_PRIVATE_DIR "/Tavlet.ocx", "$ORIGIN"},
      {KESTROW_PRIVATE_DIR "/libksystem.so", "$ORIGIN"},
      {KESTROW_PRIVATE_DIR "/libkwindowing.so", "$ORIGIN"},
      {KESTROW_PRIVATE_DIR "/regsvr", "$ORIGIN"},
  };
  for (const auto& row : rows) {
    const std::string dynamic = Output({"readelf", "-d", m_prefix + "/" + row.file});
    EXPECT_NE(dynamic.find("Library runpath: [" + row.runPath + "]"), std::string::npos) << row.file << "\n" << dynamic;
  }
}

TEST_F(InstalledTree, WhatDrawsNothingLoadsNoQtOrXLibrary) {
  // ldd lists every library the loader maps, ours found through the run
  // paths of the tree. The editor, which does draw, shows that the check
  // sees such libraries.
  const struct {
    std::string file;
    bool draws;
  } rows[] = {
      {"bin/kestrow", true},
      {"bin/kestrow-cli", false},
      {"bin/kestrow-sample-shapes", false},
      {KESTROW_PRIVATE_DIR "/regsvr", false},
      {KESTROW_PRIVATE_DIR "/libksystem.so", false},
  };
  for (const auto& row : rows) {
    const std::string libraries = Output({"ldd", m_prefix + "/" + row.file});
    EXPECT_NE(libraries.find("libc.so"), std::string::npos) << row.file << "\n" << libraries;
    EXPECT_EQ(libraries.find("not found"), std::string::npos) << row.file << "\n" << libraries;
    EXPECT_EQ(std::regex_search(libraries, install_tests::DesktopLibrary()), row.draws) << row.file << "\n"
                                                                                        << libraries;
  }
}

TEST_F(InstalledTree, TheEditorStartsForANewUserWithWorkingDropSlots) {
  const std::string registration = ReadFileText(m_prefix + "/share/kestrow-platform/classes.reg");
  kp::testing::ProgramOptions options;
  options.environment = UserEnvironment(m_prefix + "/share");
  const kp::testing::ProgramRun sample =
      kp::testing::RunProgram({m_prefix + "/bin/kestrow-sample-shapes", m_home + "/shapes.shp2"}, options);
  ASSERT_EQ(sample.status, 0) << sample.err;

  auto editor = Run({m_prefix + "/bin/kestrow", m_home + "/shapes.shp2"}, m_prefix + "/share");
  kp::testing::XClient client(m_xServer->Display());
  ASSERT_TRUE(client.Connected());
  unsigned long window = 0;
  ASSERT_TRUE(WaitFor([&] {
    for (unsigned long w : client.WindowsTitled(kEditorTitle))
      if (client.WindowProcess(w) == editor->Pid()) window = w;
    return window != 0 || editor->Ended();
  })) << "no window";
  ASSERT_NE(window, 0u) << "the editor ended with status " << editor->Status() << ":\n" << editor->Err();
  EXPECT_TRUE(client.WindowsTitled("kestrow").empty()) << "no message: the shapes file named was taken";

  // Slot 0 lies where the template puts it, in the units of the dialog font
  // both this test and the editor get from the same font files.
  const RECT slot =
      kp::afx::MapDialogUnits(RECT{32, 24, 32 + 33, 24 + 32}, kp::qt::GetDialogBaseUnits("MS Sans Serif", 8));
  int left = 0, top = 0;
  ASSERT_TRUE(client.WindowOrigin(window, &left, &top));
  const int x0 = left + (slot.left + slot.right) / 2, y0 = top + (slot.top + slot.bottom) / 2;

  const std::uint32_t colour = 0x2E8B57;
  const std::string bitmap = SolidBitmapFile("sea-green.bmp", colour);
  std::string why;
  ASSERT_TRUE(WaitFor([&] { return client.ScreenPixel(x0, y0).has_value(); }));
  ASSERT_NE(client.ScreenPixel(x0, y0), colour) << "the slot starts empty";
  ASSERT_TRUE(client.DropFiles({bitmap}, x0, y0, &why)) << why;
  EXPECT_TRUE(WaitFor([&] { return client.ScreenPixel(x0, y0) == colour; }))
      << "slot 0 shows 0x" << std::hex << client.ScreenPixel(x0, y0).value_or(0);

  EXPECT_FALSE(editor->Ended()) << editor->Err();
  EXPECT_EQ(ReadFileText(m_prefix + "/share/kestrow-platform/classes.reg"), registration)
      << "nothing writes the machine's";
}

TEST_F(InstalledTree, WithoutARegistrationTheEditorSaysHowToRegisterAndEndsWithStatusOne) {
  const std::string nothing = m_home + "/no-machine-registration";
  fs::create_directories(nothing);
  auto editor = Run({m_prefix + "/bin/kestrow"}, nothing);
  kp::testing::XClient client(m_xServer->Display());
  ASSERT_TRUE(client.Connected());
  std::vector<unsigned long> boxes;
  ASSERT_TRUE(WaitFor([&] {
    boxes = client.WindowsTitled("kestrow");
    return !boxes.empty() || editor->Ended();
  }));
  ASSERT_FALSE(boxes.empty()) << "no message box; the editor ended with " << editor->Status() << "\n" << editor->Err();
  const std::string err = editor->Err();
  EXPECT_NE(err.find("Control: TAVLET.TavletCtrl.1"), std::string::npos) << err;
  EXPECT_NE(err.find("Module tried: none: the class is not registered"), std::string::npos) << err;
  const std::string modules = m_prefix + "/" KESTROW_PRIVATE_DIR;
  EXPECT_NE(err.find("Register it with: " + modules + "/regsvr " + modules + "/Tavlet.ocx"), std::string::npos) << err;

  std::string why;
  ASSERT_TRUE(client.PressKeys(boxes[0], "Return", &why)) << why;
  ASSERT_TRUE(editor->WaitForEnd(std::chrono::seconds(60))) << "the message box was not closed";
  EXPECT_EQ(editor->Status(), 1);
  EXPECT_TRUE(client.WindowsTitled(kEditorTitle).empty());
}

TEST_F(InstalledTree, HelpNeedsNoDisplayAndTheManualPagesSayTheSame) {
  for (const char* program : {"kestrow", "kestrow-cli"}) {
    const std::string path = m_prefix + "/bin/" + program;
    const std::string help = Output({"env", "-u", "DISPLAY", "QT_QPA_PLATFORM=xcb", path, "--help"});
    const std::string version = Output({"env", "-u", "DISPLAY", "QT_QPA_PLATFORM=xcb", path, "--version"});
    EXPECT_EQ(version, std::string(program) + " " KESTROW_VERSION "\n");
    ASSERT_FALSE(help.empty()) << program;
    // Every option the help lists is in the manual page.
    const std::string page = Output({"zcat", m_prefix + "/share/man/man1/" + program + ".1.gz"});
    EXPECT_NE(page.find(KESTROW_VERSION), std::string::npos) << program;
    std::size_t options = 0;
    for (std::size_t at = help.find("\n  --"); at != std::string::npos; at = help.find("\n  --", at + 1)) {
      const std::string option = help.substr(at + 3, help.find_first_of(" \n", at + 3) - at - 3);
      EXPECT_NE(page.find("\\-\\-" + option.substr(2)), std::string::npos) << program << " " << option;
      ++options;
    }
    EXPECT_GE(options, 2u) << program;
  }
  EXPECT_EQ(Output({"env", "-u", "DISPLAY", m_prefix + "/bin/kestrow", "--help"}).rfind("Usage: kestrow [SHAPES]\n", 0),
            0u);
}

TEST_F(InstalledTree, FileManagersOfferKestrowForShapesFiles) {
  // The MIME database built from the installed type, as the desktop's own
  // trigger builds it.
  const std::string mime = m_home + "/mime";
  fs::create_directories(mime + "/packages");
  fs::copy_file(m_prefix + "/share/mime/packages/kestrow.xml", mime + "/packages/kestrow.xml");
  const kp::testing::ProgramRun update = kp::testing::RunProgram({"update-mime-database", mime});
  ASSERT_EQ(update.status, 0) << update.err;
  EXPECT_NE(ReadFileText(mime + "/globs2").find(":application/x-orvane-shapes:*.shp2"), std::string::npos)
      << ReadFileText(mime + "/globs2");
  const std::string entry = ReadFileText(m_prefix + "/share/applications/" KESTROW_APP_ID ".desktop");
  EXPECT_NE(entry.find("\nMimeType=application/x-orvane-shapes;\n"), std::string::npos) << entry;
  EXPECT_NE(entry.find("\nExec=kestrow %f\n"), std::string::npos) << entry;
}

}  // namespace
