#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/registry/registry_api.h"
#include "platform/registry/registry_helpers.h"
#include "platform/registry/registry_locations.h"
#include "platform/testing/file_contents.h"
#include "platform/testing/temp_registry.h"

namespace kp::registry {
namespace {
class RegistryApi : public ::testing::Test {
 protected:
  void SetUp() override { kp::testing::UseFreshRegistry(); }

  static LONG SetString(HKEY key, const char* name, const char* text) {
    return RegSetValueEx(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                         static_cast<DWORD>(std::strlen(text) + 1));
  }
};

TEST_F(RegistryApi, CreatesEveryKeyOnThePathAndReportsWhetherItWasNew) {
  ScopedHKey key;
  DWORD disposition = 0;
  ASSERT_EQ(RegCreateKeyEx(HKEY_CLASSES_ROOT, "CLSID\\{A}\\InprocServer32", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                           key.put(), &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
  ScopedHKey again;
  ASSERT_EQ(RegCreateKeyEx(HKEY_CLASSES_ROOT, "clsid\\{a}", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, again.put(),
                           &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
  ScopedHKey parent;
  EXPECT_EQ(RegOpenKeyEx(HKEY_CLASSES_ROOT, "CLSID", 0, KEY_READ, parent.put()), ERROR_SUCCESS);
}

TEST_F(RegistryApi, NamesIgnoreCaseButKeepTheFirstSpelling) {
  ASSERT_EQ(SetStringValue(HKEY_CLASSES_ROOT, "TAVLET.TavletCtrl.1\\CLSID", "", "{X}"), ERROR_SUCCESS);
  std::string value;
  EXPECT_EQ(GetStringValue(HKEY_CLASSES_ROOT, "tavlet.tavletctrl.1\\clsid", "", &value), ERROR_SUCCESS);
  EXPECT_EQ(value, "{X}");
  ASSERT_EQ(SetStringValue(HKEY_CLASSES_ROOT, "TAVLET.TAVLETCTRL.1", "ThreadingModel", "Apartment"), ERROR_SUCCESS);
  EXPECT_EQ(GetStringValue(HKEY_CLASSES_ROOT, "Tavlet.TavletCtrl.1", "THREADINGMODEL", &value), ERROR_SUCCESS);
  EXPECT_EQ(value, "Apartment");
  std::vector<std::string> names;
  ASSERT_EQ(EnumerateSubkeys(HKEY_CLASSES_ROOT, "", &names), ERROR_SUCCESS);
  EXPECT_EQ(names, std::vector<std::string>{"TAVLET.TavletCtrl.1"});
}

TEST_F(RegistryApi, QueryReportsSizesAndAsksForMoreRoom) {
  ScopedHKey key;
  ASSERT_EQ(RegCreateKeyEx(HKEY_CLASSES_ROOT, "K", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(), nullptr),
            ERROR_SUCCESS);
  ASSERT_EQ(SetString(key.get(), "Name", "Apartment"), ERROR_SUCCESS);
  DWORD type = 0, size = 0;
  ASSERT_EQ(RegQueryValueEx(key.get(), "Name", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, REG_SZ);
  EXPECT_EQ(size, 10u);  // nine characters and the NUL
  char small[4] = {'#', '#', '#', '#'};
  size = sizeof small;
  EXPECT_EQ(RegQueryValueEx(key.get(), "Name", nullptr, &type, reinterpret_cast<BYTE*>(small), &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 10u);
  char buffer[10];
  size = sizeof buffer;
  ASSERT_EQ(RegQueryValueEx(key.get(), "Name", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size), ERROR_SUCCESS);
  EXPECT_STREQ(buffer, "Apartment");
  EXPECT_EQ(RegQueryValueEx(key.get(), "Missing", nullptr, &type, nullptr, &size), ERROR_FILE_NOT_FOUND);
  // The default value of a new key is not set.
  EXPECT_EQ(RegQueryValueEx(key.get(), nullptr, nullptr, &type, nullptr, &size), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryApi, StoresDwords) {
  ScopedHKey key;
  ASSERT_EQ(RegCreateKeyEx(HKEY_CLASSES_ROOT, "K", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(), nullptr),
            ERROR_SUCCESS);
  DWORD flags = 131217;
  ASSERT_EQ(RegSetValueEx(key.get(), "Flags", 0, REG_DWORD, reinterpret_cast<BYTE*>(&flags), sizeof flags),
            ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueEx(key.get(), "Bad", 0, REG_DWORD, reinterpret_cast<BYTE*>(&flags), 2), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegSetValueEx(key.get(), "Binary", 0, 3, reinterpret_cast<BYTE*>(&flags), 4), ERROR_INVALID_PARAMETER);
  DWORD back = 0, type = 0, size = sizeof back;
  ASSERT_EQ(RegQueryValueEx(key.get(), "flags", nullptr, &type, reinterpret_cast<BYTE*>(&back), &size), ERROR_SUCCESS);
  EXPECT_EQ(type, REG_DWORD);
  EXPECT_EQ(back, 131217u);
  std::string text;
  EXPECT_EQ(GetStringValue(HKEY_CLASSES_ROOT, "K", "Flags", &text), ERROR_INVALID_DATA);
}

TEST_F(RegistryApi, DeleteTreeRemovesEverythingBelowAndInvalidatesHandles) {
  ASSERT_EQ(SetStringValue(HKEY_CLASSES_ROOT, "CLSID\\{A}\\InprocServer32", "", "/m"), ERROR_SUCCESS);
  ASSERT_EQ(SetStringValue(HKEY_CLASSES_ROOT, "CLSID\\{B}", "", "other"), ERROR_SUCCESS);
  ScopedHKey inner;
  ASSERT_EQ(RegOpenKeyEx(HKEY_CLASSES_ROOT, "CLSID\\{A}\\InprocServer32", 0, KEY_ALL_ACCESS, inner.put()),
            ERROR_SUCCESS);
  ASSERT_EQ(RegDeleteTree(HKEY_CLASSES_ROOT, "clsid\\{a}"), ERROR_SUCCESS);
  ScopedHKey gone;
  EXPECT_EQ(RegOpenKeyEx(HKEY_CLASSES_ROOT, "CLSID\\{A}", 0, KEY_READ, gone.put()), ERROR_FILE_NOT_FOUND);
  std::string value;
  EXPECT_EQ(GetStringValue(HKEY_CLASSES_ROOT, "CLSID\\{B}", "", &value), ERROR_SUCCESS);
  DWORD size = 0;
  EXPECT_EQ(RegQueryValueEx(inner.get(), nullptr, nullptr, nullptr, nullptr, &size), ERROR_KEY_DELETED);
  EXPECT_EQ(SetString(inner.get(), "x", "y"), ERROR_KEY_DELETED);
  // Writing through a deleted key must not bring it back.
  EXPECT_EQ(RegOpenKeyEx(HKEY_CLASSES_ROOT, "CLSID\\{A}", 0, KEY_READ, gone.put()), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegDeleteTree(HKEY_CLASSES_ROOT, "Never"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(DeleteKeyTree(HKEY_CLASSES_ROOT, "Never"), ERROR_SUCCESS);
}

TEST_F(RegistryApi, DeleteTreeWithoutSubkeyEmptiesTheKeyAndKeepsIt) {
  ASSERT_EQ(SetStringValue(HKEY_CLASSES_ROOT, "A\\B", "", "x"), ERROR_SUCCESS);
  ASSERT_EQ(SetStringValue(HKEY_CLASSES_ROOT, "A", "v", "y"), ERROR_SUCCESS);
  ScopedHKey a;
  ASSERT_EQ(RegOpenKeyEx(HKEY_CLASSES_ROOT, "A", 0, KEY_ALL_ACCESS, a.put()), ERROR_SUCCESS);
  ASSERT_EQ(RegDeleteTree(a.get(), nullptr), ERROR_SUCCESS);
  std::vector<std::string> names;
  EXPECT_EQ(EnumerateSubkeys(HKEY_CLASSES_ROOT, "A", &names), ERROR_SUCCESS);
  EXPECT_TRUE(names.empty());
  DWORD size = 0;
  EXPECT_EQ(RegQueryValueEx(a.get(), "v", nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryApi, EnumeratesSubkeysInNameOrder) {
  for (const char* name : {"b", "C", "a"}) ASSERT_EQ(SetStringValue(HKEY_CLASSES_ROOT, name, "", ""), ERROR_SUCCESS);
  char name[8];
  DWORD size = sizeof name;
  std::vector<std::string> seen;
  for (DWORD i = 0;
       RegEnumKeyEx(HKEY_CLASSES_ROOT, i, name, &size, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
       ++i, size = sizeof name)
    seen.emplace_back(name, size);
  EXPECT_EQ(seen, (std::vector<std::string>{"a", "b", "C"}));
  size = 1;
  EXPECT_EQ(RegEnumKeyEx(HKEY_CLASSES_ROOT, 0, name, &size, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
  size = sizeof name;
  EXPECT_EQ(RegEnumKeyEx(HKEY_CLASSES_ROOT, 3, name, &size, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
}

TEST_F(RegistryApi, HonoursAccessRightsAndHandles) {
  ASSERT_EQ(SetStringValue(HKEY_CLASSES_ROOT, "A", "v", "1"), ERROR_SUCCESS);
  ScopedHKey readOnly;
  ASSERT_EQ(RegOpenKeyEx(HKEY_CLASSES_ROOT, "A", 0, KEY_READ, readOnly.put()), ERROR_SUCCESS);
  EXPECT_EQ(SetString(readOnly.get(), "v", "2"), ERROR_ACCESS_DENIED);
  ScopedHKey child;
  EXPECT_EQ(RegCreateKeyEx(readOnly.get(), "B", 0, nullptr, 0, KEY_READ, nullptr, child.put(), nullptr),
            ERROR_ACCESS_DENIED);
  HKEY closed = nullptr;
  ASSERT_EQ(RegOpenKeyEx(HKEY_CLASSES_ROOT, "A", 0, KEY_READ, &closed), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(closed), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(closed), ERROR_INVALID_HANDLE);
  EXPECT_EQ(SetString(closed, "v", "3"), ERROR_INVALID_HANDLE);
  EXPECT_EQ(SetString(reinterpret_cast<HKEY>(std::uintptr_t{0x1234567}), "v", "3"), ERROR_INVALID_HANDLE);
}

TEST_F(RegistryApi, CountsTheKeysLeftOpenUntilTheyAreClosed) {
  const int before = OpenKeyCount();
  {
    ScopedHKey created;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CLASSES_ROOT, "A\\B", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, created.put(), nullptr),
              ERROR_SUCCESS);
    ScopedHKey opened;
    ASSERT_EQ(RegOpenKeyEx(HKEY_CLASSES_ROOT, "A", 0, KEY_READ, opened.put()), ERROR_SUCCESS);
    EXPECT_EQ(OpenKeyCount(), before + 2);
    // Opens that fail, and the predefined key, hold nothing.
    HKEY missing = nullptr;
    EXPECT_EQ(RegOpenKeyEx(HKEY_CLASSES_ROOT, "Missing", 0, KEY_READ, &missing), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegCloseKey(HKEY_CLASSES_ROOT), ERROR_SUCCESS);
    EXPECT_EQ(OpenKeyCount(), before + 2);
    // A deleted key's handle stays open until it is closed.
    ASSERT_EQ(RegDeleteTree(HKEY_CLASSES_ROOT, "A"), ERROR_SUCCESS);
    EXPECT_EQ(OpenKeyCount(), before + 2);
  }
  EXPECT_EQ(OpenKeyCount(), before);
  // The helpers close what they open.
  ASSERT_EQ(SetStringValue(HKEY_CLASSES_ROOT, "C\\D", "v", "1"), ERROR_SUCCESS);
  std::string value;
  ASSERT_EQ(GetStringValue(HKEY_CLASSES_ROOT, "C\\D", "v", &value), ERROR_SUCCESS);
  EXPECT_EQ(OpenKeyCount(), before);
}

TEST_F(RegistryApi, RejectsMalformedPaths) {
  ScopedHKey key;
  for (const char* path : {"\\A", "A\\\\B"})
    EXPECT_EQ(RegCreateKeyEx(HKEY_CLASSES_ROOT, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(), nullptr),
              ERROR_BAD_PATHNAME)
        << path;
  std::string longName(256, 'n');
  EXPECT_EQ(
      RegCreateKeyEx(HKEY_CLASSES_ROOT, longName.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(), nullptr),
      ERROR_BAD_PATHNAME);
  // A trailing backslash names the same key.
  ASSERT_EQ(RegCreateKeyEx(HKEY_CLASSES_ROOT, "A\\", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(), nullptr),
            ERROR_SUCCESS);
  ScopedHKey same;
  EXPECT_EQ(RegOpenKeyEx(HKEY_CLASSES_ROOT, "A", 0, KEY_READ, same.put()), ERROR_SUCCESS);
}
// The user's settings are a tree of their own, in a file of their own: the
// same path names two keys, deleting one leaves the other and the handles
// open on it, and an installer's scope changes nothing about it.
TEST_F(RegistryApi, TheCurrentUsersKeysAreATreeOfTheirOwnInTheUsersSettingsFile) {
  const char kRecent[] = "Software\\Kestrow\\Kestrow\\Recent File List";
  ASSERT_EQ(SetStringValue(HKEY_CURRENT_USER, kRecent, "File1", "/home/u/a.shp2"), ERROR_SUCCESS);
  ASSERT_EQ(SetStringValue(HKEY_CLASSES_ROOT, kRecent, "File1", "/elsewhere.shp2"), ERROR_SUCCESS);
  std::string value;
  ASSERT_EQ(GetStringValue(HKEY_CURRENT_USER, kRecent, "File1", &value), ERROR_SUCCESS);
  EXPECT_EQ(value, "/home/u/a.shp2");

  const std::string userFile = kp::testing::FreshConfigFolder() + "/kestrow-platform/user.reg";
  EXPECT_EQ(CurrentRegistryLayout(Hive::CurrentUser).writable, userFile);
  EXPECT_NE(kp::testing::ReadFileText(userFile).find("/home/u/a.shp2"), std::string::npos);
  EXPECT_EQ(kp::testing::ReadFileText(RegistryFilePath()).find("/home/u/a.shp2"), std::string::npos);

  ScopedHKey held;
  ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, kRecent, 0, KEY_ALL_ACCESS, held.put()), ERROR_SUCCESS);
  ASSERT_EQ(RegDeleteTree(HKEY_CLASSES_ROOT, "Software"), ERROR_SUCCESS);
  EXPECT_EQ(SetString(held.get(), "File2", "/home/u/b.shp2"), ERROR_SUCCESS) << "the other tree's key went";
  {
    MachineRegistryScope installing(kp::testing::UseFreshMachineFolder(), "/nowhere");
    EXPECT_EQ(GetStringValue(HKEY_CURRENT_USER, kRecent, "File2", &value), ERROR_SUCCESS);
    EXPECT_EQ(value, "/home/u/b.shp2");
  }
  ASSERT_EQ(RegDeleteTree(HKEY_CURRENT_USER, "Software\\Kestrow"), ERROR_SUCCESS);
  EXPECT_EQ(SetString(held.get(), "File3", "x"), ERROR_KEY_DELETED);
  EXPECT_EQ(RegCloseKey(HKEY_CURRENT_USER), ERROR_SUCCESS) << "a predefined key is never closed";
}

}  // namespace
}  // namespace kp::registry
