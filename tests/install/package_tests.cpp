// The two Debian packages as dpkg and a container meet them: both installed
// side by side by dpkg into a root and a database of their own, then
// removed one at a time; and kestrow-cli unpacked alone into a root that
// holds nothing but the packages it declares it needs, run through that
// root's own loader. KESTROW_PACKAGES names the folder where
// make_package.cmake put kestrow.deb and kestrow-cli.deb.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "kestrow_version.h"
#include "platform/testing/file_contents.h"
#include "platform/testing/picture_writers.h"
#include "platform/testing/run_program.h"
#include "tests/cli/cli_process.h"
#include "tests/install/desktop_libraries.h"

namespace {
namespace fs = std::filesystem;
using cli_journeys::TestFolder;
using kp::testing::ReadFileBytes;

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::istringstream in(text);
  for (std::string part; std::getline(in, part, separator);) parts.push_back(part);
  return parts;
}

// What a command that must succeed prints on standard output.
std::string Output(const std::vector<std::string>& words, const kp::testing::ProgramOptions& options = {}) {
  const kp::testing::ProgramRun run = kp::testing::RunProgram(words, options);
  EXPECT_EQ(run.status, 0) << words[0] << " " << (words.size() > 1 ? words[1] : "") << "\n" << run.err;
  return run.out;
}

std::string Deb(const std::string& package) {
  const char* folder = std::getenv("KESTROW_PACKAGES");
  return std::string(folder != nullptr ? folder : "") + "/" + package + ".deb";
}

// A field of a package's control file, such as "Depends".
std::string Field(const std::string& package, const std::string& name) {
  std::string value = Output({"dpkg-deb", "-f", Deb(package), name});
  while (!value.empty() && value.back() == '\n') value.pop_back();
  return value;
}

// The packages installed on this machine that the relations `fields` (the
// text of Depends and Pre-Depends fields, joined by commas) need, and what
// those need in turn, as dpkg names them ("libc6:amd64"). A relation is met
// by the first of its alternatives that a package installed here is, or
// provides, or that `given` names; versions are dpkg's to check. A relation
// nothing meets fails the test.
std::set<std::string> InstalledNeeds(const std::string& fields, const std::set<std::string>& given = {}) {
  static const std::regex packageName(R"([a-z0-9][a-z0-9+.-]*)");
  struct Installed {
    std::string name;
    std::string needs;
  };
  std::vector<Installed> installed;
  std::map<std::string, std::size_t> byName;
  const std::string all = Output({"dpkg-query", "--show",
                                  "--showformat=${db:Status-Abbrev}\t${Package}\t${binary:Package}\t${Provides}\t"
                                  "${Depends}, ${Pre-Depends}\n"});
  for (const std::string& line : Split(all, '\n')) {
    const std::vector<std::string> columns = Split(line, '\t');
    if (columns.size() != 5 || columns[0].rfind("ii", 0) != 0) continue;
    installed.push_back({columns[2], columns[4]});
    byName.emplace(columns[1], installed.size() - 1);
    for (const std::string& provided : Split(columns[3], ',')) {
      std::smatch name;
      if (std::regex_search(provided, name, packageName)) byName.emplace(name.str(), installed.size() - 1);
    }
  }

  std::set<std::string> found;
  std::vector<std::string> pending = {fields};
  while (!pending.empty()) {
    const std::string relations = pending.back();
    pending.pop_back();
    for (const std::string& relation : Split(relations, ',')) {
      if (relation.find_first_not_of(' ') == std::string::npos) continue;
      bool met = false;
      for (const std::string& alternative : Split(relation, '|')) {
        std::smatch name;
        if (!std::regex_search(alternative, name, packageName)) continue;
        if (given.count(name.str()) != 0) {
          met = true;
          break;
        }
        const auto package = byName.find(name.str());
        if (package == byName.end()) continue;
        if (found.insert(installed[package->second].name).second) pending.push_back(installed[package->second].needs);
        met = true;
        break;
      }
      EXPECT_TRUE(met) << "nothing installed here meets \"" << relation << "\"";
    }
  }
  return found;
}

// The files (not folders) that dpkg lists for `package`, as paths below
// `root`, which is the root of dpkg's database.
std::set<std::string> InstalledFiles(const std::string& root, const std::string& package) {
  std::set<std::string> files;
  for (const std::string& path : Split(Output({"dpkg", "--root=" + root, "--listfiles", package}), '\n'))
    if (!path.empty() && path[0] == '/' && !fs::is_directory(root + path)) files.insert(path);
  return files;
}

std::set<std::string> Present(const std::string& root, const std::set<std::string>& files) {
  std::set<std::string> present;
  for (const std::string& file : files)
    if (fs::exists(root + file)) present.insert(file);
  return present;
}

TEST(Packages, InstallSideBySideAndEachRemovesItsOwnFiles) {
  ASSERT_NE(std::getenv("KESTROW_PACKAGES"), nullptr) << "KESTROW_PACKAGES names the packages' folder";
  EXPECT_NE(Field("kestrow", "Depends").find("kestrow-cli (= " KESTROW_VERSION ")"), std::string::npos)
      << Field("kestrow", "Depends");

  // A database that knows the packages both need, as this machine has them,
  // and nothing else.
  const std::string root = TestFolder();
  const std::string database = root + "/var/lib/dpkg";
  fs::create_directories(database + "/info");
  fs::create_directories(database + "/updates");
  fs::create_directories(root + "/var/log");
  std::vector<std::string> status = {"dpkg-query", "--status"};
  for (const std::string& package :
       InstalledNeeds(Field("kestrow-cli", "Depends") + "," + Field("kestrow", "Depends"), {"kestrow-cli"}))
    status.push_back(package);
  ASSERT_TRUE(kp::testing::WriteFileText(database + "/status", Output(status)));
  ASSERT_TRUE(kp::testing::WriteFileText(database + "/available", ""));
  const auto dpkg = [&root](const std::vector<std::string>& action) {
    std::vector<std::string> words = {"dpkg", "--root=" + root, "--log=" + root + "/var/log/dpkg.log"};
    if (geteuid() != 0) words.push_back("--force-not-root");
    words.insert(words.end(), action.begin(), action.end());
    return kp::testing::RunProgram(words);
  };

  const kp::testing::ProgramRun install = dpkg({"--install", Deb("kestrow"), Deb("kestrow-cli")});
  ASSERT_EQ(install.status, 0) << install.err;
  const std::set<std::string> cliFiles = InstalledFiles(root, "kestrow-cli");
  const std::set<std::string> editorFiles = InstalledFiles(root, "kestrow");
  EXPECT_EQ(cliFiles, (std::set<std::string>{
                          "/usr/bin/kestrow-cli",
                          "/usr/bin/kestrow-sample-shapes",
                          "/usr/libexec/kestrow/libksystem.so",
                          "/usr/share/doc/kestrow-cli/changelog.gz",
                          "/usr/share/doc/kestrow-cli/copyright",
                          "/usr/share/man/man1/kestrow-cli.1.gz",
                          "/usr/share/man/man1/kestrow-sample-shapes.1.gz",
                      }));
  EXPECT_EQ(editorFiles.count("/usr/bin/kestrow"), 1u);
  EXPECT_EQ(editorFiles.count("/usr/share/kestrow-platform/classes.reg"), 1u) << "the registration is the editor's";
  ASSERT_EQ(Present(root, editorFiles), editorFiles);

  const kp::testing::ProgramRun refused = dpkg({"--remove", "kestrow-cli"});
  EXPECT_NE(refused.status, 0) << "the editor runs on kestrow-cli's system library";
  EXPECT_EQ(Present(root, cliFiles), cliFiles);

  const kp::testing::ProgramRun editorRemoved = dpkg({"--remove", "kestrow"});
  ASSERT_EQ(editorRemoved.status, 0) << editorRemoved.err;
  EXPECT_EQ(Present(root, editorFiles), std::set<std::string>{});
  EXPECT_EQ(Present(root, cliFiles), cliFiles);
  EXPECT_EQ(Output({root + "/usr/bin/kestrow-cli", "--version"}), "kestrow-cli " KESTROW_VERSION "\n");

  const kp::testing::ProgramRun cliRemoved = dpkg({"--remove", "kestrow-cli"});
  ASSERT_EQ(cliRemoved.status, 0) << cliRemoved.err;
  EXPECT_FALSE(fs::exists(root + "/usr")) << "every file and folder the packages brought is gone";
}

TEST(Packages, TheCommandLineToolRunsWithNothingButWhatItsPackageDeclares) {
  ASSERT_NE(std::getenv("KESTROW_PACKAGES"), nullptr) << "KESTROW_PACKAGES names the packages' folder";
  const std::string folder = TestFolder();
  const std::string root = folder + "/root";
  ASSERT_EQ(kp::testing::RunProgram({"dpkg-deb", "-x", Deb("kestrow-cli"), root}).status, 0);

  // The root gets every file of the packages kestrow-cli needs, as this
  // machine has them (links become the files they name); the loader
  // searches their library folders alone, so it finds ours only through
  // the programs' run paths.
  std::set<std::string> libraryFolders;
  const std::regex library(R"(lib.*\.so(\.[0-9]+)*|ld-linux.*)");
  const std::set<std::string> needs =
      InstalledNeeds(Field("kestrow-cli", "Depends") + "," + Field("kestrow-cli", "Pre-Depends"));
  ASSERT_FALSE(needs.empty());
  for (const std::string& package : needs) {
    for (const std::string& path : Split(Output({"dpkg", "--listfiles", package}), '\n')) {
      if (path.empty() || path[0] != '/' || !fs::exists(path) || fs::is_directory(path)) continue;
      EXPECT_FALSE(std::regex_search(path, install_tests::DesktopLibrary())) << package << " brings " << path;
      const fs::path copy = root + path;
      fs::create_directories(copy.parent_path());
      fs::copy_file(path, copy, fs::copy_options::overwrite_existing);
      if (std::regex_match(copy.filename().string(), library)) libraryFolders.insert(copy.parent_path().string());
    }
  }
  std::string libraryPath;
  for (const std::string& libraries : libraryFolders) libraryPath += (libraryPath.empty() ? "" : ":") + libraries;

  std::smatch interpreter;
  const std::string headers = Output({"readelf", "--program-headers", root + "/usr/bin/kestrow-cli"});
  ASSERT_TRUE(std::regex_search(headers, interpreter, std::regex(R"(program interpreter: (/\S+)\])"))) << headers;
  const std::string loader = root + interpreter[1].str();
  ASSERT_TRUE(fs::exists(loader)) << loader;
  const std::vector<std::string> rootLoader = {loader, "--inhibit-cache", "--library-path", libraryPath};
  // A program of the root as that root's loader starts it, with an empty
  // environment.
  const auto inRoot = [&](const std::string& program, const std::vector<std::string>& arguments) {
    std::vector<std::string> words = rootLoader;
    words.push_back(root + program);
    words.insert(words.end(), arguments.begin(), arguments.end());
    kp::testing::ProgramOptions options;
    options.environment = std::vector<std::string>{};
    return kp::testing::RunProgram(words, options);
  };

  // Every library the loader maps comes from the root.
  for (const char* program : {"/usr/bin/kestrow-cli", "/usr/bin/kestrow-sample-shapes"}) {
    std::vector<std::string> list = rootLoader;
    list.insert(list.end(), {"--list", root + program});
    const std::string mapped = Output(list);
    EXPECT_NE(mapped.find("libksystem.so => " + root), std::string::npos) << program << "\n" << mapped;
    for (const std::string& line : Split(mapped, '\n')) {
      const std::size_t arrow = line.find(" => ");
      if (arrow != std::string::npos) {
        EXPECT_EQ(line.compare(arrow + 4, root.size(), root), 0) << program << ": " << line;
      }
    }
    EXPECT_FALSE(std::regex_search(mapped, install_tests::DesktopLibrary())) << program << "\n" << mapped;
  }

  // The packaged programs do what the build's do, byte for byte: the sample
  // file, info, export, and import of a PNG file through libpng.
  const std::string shapes = folder + "/sample.shp2";
  kp::testing::ProgramRun run = inRoot("/usr/bin/kestrow-sample-shapes", {shapes});
  ASSERT_EQ(run.status, 0) << run.err;
  Output({KESTROW_SAMPLE_SHAPES_PROGRAM, folder + "/built.shp2"});
  EXPECT_EQ(ReadFileBytes(shapes), ReadFileBytes(folder + "/built.shp2"));

  run = inRoot("/usr/bin/kestrow-cli", {"info", shapes});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, cli_journeys::RunKestrowCli({"info", shapes}).out);

  run = inRoot("/usr/bin/kestrow-cli", {"export", shapes, "1", folder + "/exported"});
  ASSERT_EQ(run.status, 0) << run.err;
  ASSERT_EQ(cli_journeys::RunKestrowCli({"export", shapes, "1", folder + "/built-export"}).status, 0);
  int exported = 0;
  for (const auto& entry : fs::directory_iterator(folder + "/built-export")) {
    EXPECT_EQ(ReadFileBytes(folder + "/exported/" + entry.path().filename().string()), ReadFileBytes(entry.path()))
        << entry.path().filename();
    ++exported;
  }
  EXPECT_EQ(exported, 30);

  fs::create_directories(folder + "/pictures");
  const kp::testing::Picture gradient = kp::testing::MakePicture(
      64, 48, [](int x, int y) { return 0xFF000000u | (x * 4u) << 16 | (y * 5u) << 8 | 0x40u; });
  ASSERT_TRUE(kp::testing::WriteFileBytes(folder + "/pictures/slot-07.bmp", kp::testing::PngFile(gradient, {})));
  fs::copy_file(shapes, folder + "/packaged.shp2");
  fs::copy_file(shapes, folder + "/built.shp2", fs::copy_options::overwrite_existing);
  run = inRoot("/usr/bin/kestrow-cli", {"import", folder + "/packaged.shp2", "1", folder + "/pictures"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("slot-07.bmp"), std::string::npos) << run.out;
  ASSERT_EQ(cli_journeys::RunKestrowCli({"import", folder + "/built.shp2", "1", folder + "/pictures"}).status, 0);
  EXPECT_NE(ReadFileBytes(folder + "/packaged.shp2"), ReadFileBytes(shapes)) << "the import changed the file";
  EXPECT_EQ(ReadFileBytes(folder + "/packaged.shp2"), ReadFileBytes(folder + "/built.shp2"));
}

}  // namespace
