// The machine-wide registry file under the user's: found through
// XDG_DATA_DIRS, read below the user's keys, written only by an installer
// (MachineRegistryScope), with module paths relative to the file.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/registry/registry_api.h"
#include "platform/registry/registry_helpers.h"
#include "platform/registry/registry_locations.h"
#include "platform/testing/file_contents.h"
#include "platform/testing/temp_registry.h"

namespace kp::registry {
namespace {
namespace fs = std::filesystem;

using kp::testing::ReadFileText;
using kp::testing::WriteFileText;

std::string Value(const std::string& key, const std::string& name = "") {
  std::string value;
  LONG result = GetStringValue(HKEY_CLASSES_ROOT, key, name, &value);
  return result == ERROR_SUCCESS ? value : "error " + std::to_string(result);
}

std::vector<std::string> Subkeys(const std::string& key) {
  std::vector<std::string> names;
  EXPECT_EQ(EnumerateSubkeys(HKEY_CLASSES_ROOT, key, &names), ERROR_SUCCESS) << key;
  return names;
}

class MachineRegistry : public ::testing::Test {
 protected:
  void SetUp() override {
    m_user = kp::testing::UseFreshRegistry();
    m_machine = kp::testing::UseFreshMachineFolder();
  }

  // Writes as an installer does, into the machine-wide file of `machine`.
  void Install(const std::string& key, const std::string& name, const std::string& value,
               const std::string& relocatable = "/nowhere") {
    MachineRegistryScope scope(m_machine, relocatable);
    ASSERT_EQ(SetStringValue(HKEY_CLASSES_ROOT, key, name, value), ERROR_SUCCESS) << key;
  }

  std::string MachineFile() const { return RegistryFileIn(m_machine); }

  std::string m_user;
  std::string m_machine;
};

TEST_F(MachineRegistry, TheUsersKeysWinAndReadingFallsThroughToTheMachines) {
  Install("CLSID\\{A}\\InprocServer32", "", "/machine/a.ocx");
  Install("CLSID\\{A}\\InprocServer32", "ThreadingModel", "Apartment");
  Install("CLSID\\{B}\\InprocServer32", "", "/machine/b.ocx");
  const std::string installed = ReadFileText(MachineFile());

  ASSERT_EQ(SetStringValue(HKEY_CLASSES_ROOT, "CLSID\\{A}\\InprocServer32", "", "/user/a.ocx"), ERROR_SUCCESS);
  ASSERT_EQ(SetStringValue(HKEY_CLASSES_ROOT, "CLSID\\{C}\\InprocServer32", "", "/user/c.ocx"), ERROR_SUCCESS);

  EXPECT_EQ(Value("CLSID\\{A}\\InprocServer32"), "/user/a.ocx");
  // Changing the machine's key first copied its values, so none went away.
  EXPECT_EQ(Value("CLSID\\{A}\\InprocServer32", "ThreadingModel"), "Apartment");
  EXPECT_EQ(Value("CLSID\\{B}\\InprocServer32"), "/machine/b.ocx");
  EXPECT_EQ(Value("CLSID\\{C}\\InprocServer32"), "/user/c.ocx");
  EXPECT_EQ(Subkeys("CLSID"), (std::vector<std::string>{"{A}", "{B}", "{C}"}));

  // Reading wrote nothing, and the user's writes went to the user's file.
  EXPECT_EQ(ReadFileText(MachineFile()), installed);
  const std::string own = ReadFileText(RegistryFilePath());
  EXPECT_EQ(RegistryFilePath(), RegistryFileIn(m_user));
  EXPECT_NE(own.find("/user/a.ocx"), std::string::npos);
  EXPECT_EQ(own.find("{B}"), std::string::npos) << own;

  // A key of the user's file hides the machine's values of that key.
  WriteFileText(RegistryFilePath(),
                "kestrow-registry 1\n[CLSID]\n[CLSID\\{B}]\n[CLSID\\{B}\\InprocServer32]\n@=\"/user/b.ocx\"\nend 3\n");
  EXPECT_EQ(Value("CLSID\\{B}\\InprocServer32"), "/user/b.ocx");
  EXPECT_EQ(Value("CLSID\\{A}\\InprocServer32", "ThreadingModel"), "Apartment");

  // A machine-wide file replaced after it was read is read again.
  Install("CLSID\\{D}", "", "installed later");
  EXPECT_EQ(Value("CLSID\\{D}"), "installed later");
}

TEST_F(MachineRegistry, TheFirstDataFolderThatHasAFileIsTheMachines) {
  const std::string second = m_machine;
  Install("Which", "", "second");
  const std::string first = kp::testing::UseFreshMachineFolder();
  m_machine = first;
  Install("Which", "", "first");
  const std::string empty = kp::testing::UseFreshMachineFolder();
  const struct {
    std::string dirs;
    std::string value;
  } rows[] = {
      {empty + ":" + first + ":" + second, "first"},
      {"relative/folder:" + second + ":" + first, "second"},
      {empty, "error 2"},  // ERROR_FILE_NOT_FOUND
  };
  for (const auto& row : rows) {
    setenv("XDG_DATA_DIRS", row.dirs.c_str(), 1);
    EXPECT_EQ(Value("Which"), row.value) << row.dirs;
  }
  unsetenv("XDG_DATA_DIRS");
  EXPECT_EQ(MachineDataFolders(), (std::vector<std::string>{"/usr/local/share", "/usr/share"}));
}

TEST_F(MachineRegistry, ModulePathsAreStoredRelativeSoAMovedTreeStillFindsItsModules) {
  const std::string prefix = fs::path(m_machine).parent_path().string() + "/prefix";
  const std::string modules = prefix + "/lib/kestrow";
  fs::create_directories(modules);
  m_machine = prefix + "/share";
  const struct {
    std::string name;
    std::string value;
    std::string stored;  // "" when stored as written
  } rows[] = {
      {"Module", modules + "/Tavlet.ocx", "\"../../lib/kestrow/Tavlet.ocx\""},
      {"Toolbox", modules + "/Tavlet.ocx, 1", "\"../../lib/kestrow/Tavlet.ocx, 1\""},
      {"HelpDir", modules, "\"../../lib/kestrow\""},
      {"Elsewhere", "/opt/other/Other.ocx", ""},
      {"Sibling", modules + "-old/Old.ocx", ""},
      {"Text", "Tavlet Control", ""},
  };
  for (const auto& row : rows) Install("Paths", row.name, row.value, modules);
  const std::string text = ReadFileText(MachineFile());
  for (const auto& row : rows) {
    const std::string stored = row.stored.empty() ? "\"" + row.value + "\"" : row.stored;
    EXPECT_NE(text.find("\"" + row.name + "\"=" + stored), std::string::npos) << row.name << "\n" << text;
  }

  // Readers see absolute paths, wherever the tree is.
  const std::string moved = prefix + "-moved";
  fs::rename(prefix, moved);
  setenv("XDG_DATA_DIRS", (moved + "/share").c_str(), 1);
  for (const auto& row : rows) {
    std::string expected = row.value;
    if (!row.stored.empty()) expected.replace(0, prefix.size(), moved);
    EXPECT_EQ(Value("Paths", row.name), expected) << row.name;
  }
}

TEST_F(MachineRegistry, EachScopeRemovesOnlyItsOwnKeys) {
  Install("CLSID\\{A}\\InprocServer32", "", "/machine/a.ocx");
  Install("CLSID\\{B}\\InprocServer32", "", "/machine/b.ocx");
  ASSERT_EQ(SetStringValue(HKEY_CLASSES_ROOT, "CLSID\\{A}\\InprocServer32", "", "/user/a.ocx"), ERROR_SUCCESS);
  const std::string installed = ReadFileText(MachineFile());

  // The user's key goes, and the machine's shows again.
  EXPECT_EQ(DeleteKeyTree(HKEY_CLASSES_ROOT, "CLSID\\{A}"), ERROR_SUCCESS);
  EXPECT_EQ(Value("CLSID\\{A}\\InprocServer32"), "/machine/a.ocx");
  // The machine's keys and values are not the user's to remove.
  EXPECT_EQ(DeleteKeyTree(HKEY_CLASSES_ROOT, "CLSID\\{B}"), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegDeleteTree(HKEY_CLASSES_ROOT, "CLSID\\{B}\\InprocServer32"), ERROR_ACCESS_DENIED);
  ScopedHKey key;
  ASSERT_EQ(RegOpenKeyEx(HKEY_CLASSES_ROOT, "CLSID\\{B}\\InprocServer32", 0, KEY_ALL_ACCESS, key.put()), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteValue(key.get(), nullptr), ERROR_ACCESS_DENIED);
  EXPECT_EQ(ReadFileText(MachineFile()), installed);

  // The installer removes the machine's.
  {
    MachineRegistryScope scope(m_machine, "/nowhere");
    EXPECT_EQ(DeleteKeyTree(HKEY_CLASSES_ROOT, "CLSID\\{B}"), ERROR_SUCCESS);
  }
  EXPECT_EQ(Value("CLSID\\{B}\\InprocServer32"), "error 2");
  EXPECT_EQ(Value("CLSID\\{A}\\InprocServer32"), "/machine/a.ocx");
  EXPECT_EQ(ReadFileText(MachineFile()).find("{B}"), std::string::npos);
}

TEST_F(MachineRegistry, ABrokenMachineFileFailsOnlyWhatFallsThroughToIt) {
  ASSERT_EQ(SetStringValue(HKEY_CLASSES_ROOT, "CLSID\\{U}\\InprocServer32", "", "/user/u.ocx"), ERROR_SUCCESS);
  const struct {
    const char* what;
    bool folder;  // a folder where the file should be: it exists and cannot be read
    std::string bytes;
    LONG fault;
  } rows[] = {
      {"garbage", false, std::string("\x00\xff garbage\n", 11), ERROR_REGISTRY_CORRUPT},
      {"cut short", false, "kestrow-registry 1\n[CLSID]\n[CLSID\\{M}]\n", ERROR_REGISTRY_CORRUPT},
      {"unreadable", true, "", ERROR_CANTREAD},
  };
  for (const auto& row : rows) {
    fs::remove_all(MachineFile());
    if (row.folder)
      fs::create_directories(MachineFile());
    else
      WriteFileText(MachineFile(), row.bytes);

    // The user's own registrations work, reading and writing.
    EXPECT_EQ(Value("CLSID\\{U}\\InprocServer32"), "/user/u.ocx") << row.what;
    EXPECT_EQ(SetStringValue(HKEY_CLASSES_ROOT, "CLSID\\{U}", "", "User class"), ERROR_SUCCESS) << row.what;
    EXPECT_EQ(Subkeys("CLSID"), std::vector<std::string>{"{U}"}) << row.what;
    // What would come from the machine's file says why it cannot.
    ScopedHKey key;
    EXPECT_EQ(RegOpenKeyEx(HKEY_CLASSES_ROOT, "CLSID\\{M}", 0, KEY_READ, key.put()), row.fault) << row.what;
    std::vector<RegistryFileState> files = RegistryFileStates();
    ASSERT_EQ(files.size(), 2u) << row.what;
    EXPECT_EQ(files[0].state, ERROR_SUCCESS) << row.what;
    EXPECT_EQ(files[1].path, MachineFile()) << row.what;
    EXPECT_EQ(files[1].state, row.fault) << row.what;
    EXPECT_EQ(DescribeRegistryFile(files[1]),
              MachineFile() + (row.fault == ERROR_CANTREAD ? " (cannot be read)" : " (damaged)"))
        << row.what;
    if (!row.folder) {
      EXPECT_EQ(ReadFileText(MachineFile()), row.bytes) << row.what << ": left as it was";
    }
  }
}

TEST_F(MachineRegistry, TheInstalledFileIsForEveryoneToReadAndLeavesNothingBeside) {
  Install("Class", "", "value");
  struct stat info {};
  ASSERT_EQ(stat(MachineFile().c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0644u);
  ASSERT_EQ(stat(fs::path(MachineFile()).parent_path().c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0755u);
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(fs::path(MachineFile()).parent_path()))
    names.push_back(entry.path().filename().string());
  EXPECT_EQ(names, std::vector<std::string>{"classes.reg"});
  EXPECT_FALSE(fs::exists(RegistryFileIn(m_user))) << "an install touches no user's file";
}

}  // namespace
}  // namespace kp::registry
