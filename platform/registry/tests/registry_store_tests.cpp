#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/registry/registry_api.h"
#include "platform/registry/registry_helpers.h"
#include "platform/testing/file_contents.h"
#include "platform/testing/in_child.h"
#include "platform/testing/temp_registry.h"

namespace kp::registry {
namespace {
using kp::testing::ReadFileText;
using kp::testing::WriteFileText;

using kp::testing::InChild;

class RegistryStore : public ::testing::Test {
 protected:
  void SetUp() override { kp::testing::UseFreshRegistry(); }
};

TEST_F(RegistryStore, LivesInTheDataFolder) {
  std::string folder = kp::testing::UseFreshRegistry();
  EXPECT_EQ(RegistryFilePath(), folder + "/kestrow-platform/classes.reg");
  ASSERT_EQ(SetStringValue(HKEY_CLASSES_ROOT, "A", "", "x"), ERROR_SUCCESS);
  EXPECT_TRUE(std::filesystem::exists(folder + "/kestrow-platform/classes.reg"));
}

TEST_F(RegistryStore, WhatOneProcessWritesAnotherReads) {
  ASSERT_EQ(
      InChild([] { return SetStringValue(HKEY_CLASSES_ROOT, "Written\\ByChild", "", "yes") == ERROR_SUCCESS ? 0 : 1; }),
      0);
  std::string value;
  ASSERT_EQ(GetStringValue(HKEY_CLASSES_ROOT, "Written\\ByChild", "", &value), ERROR_SUCCESS);
  EXPECT_EQ(value, "yes");

  ASSERT_EQ(SetStringValue(HKEY_CLASSES_ROOT, "Written\\ByParent", "", "too"), ERROR_SUCCESS);
  EXPECT_EQ(InChild([] {
              std::string seen;
              return GetStringValue(HKEY_CLASSES_ROOT, "written\\byparent", "", &seen) == ERROR_SUCCESS && seen == "too"
                         ? 0
                         : 1;
            }),
            0);
}

// A process keeps the version of the file it read last, and must still see
// every later version: replaced by another process's write, or rewritten in
// place by a person.
TEST_F(RegistryStore, EveryReadSeesTheFileAsItIsNow) {
  ASSERT_EQ(SetStringValue(HKEY_CLASSES_ROOT, "Seen", "", "first"), ERROR_SUCCESS);
  std::string value;
  ASSERT_EQ(GetStringValue(HKEY_CLASSES_ROOT, "Seen", "", &value), ERROR_SUCCESS);
  ASSERT_EQ(value, "first");
  ASSERT_EQ(GetStringValue(HKEY_CLASSES_ROOT, "Seen", "", &value), ERROR_SUCCESS) << "read again, unchanged";
  EXPECT_EQ(value, "first");

  ASSERT_EQ(InChild([] { return SetStringValue(HKEY_CLASSES_ROOT, "Seen", "", "second") == ERROR_SUCCESS ? 0 : 1; }),
            0);
  ASSERT_EQ(GetStringValue(HKEY_CLASSES_ROOT, "Seen", "", &value), ERROR_SUCCESS);
  EXPECT_EQ(value, "second") << "replaced by another process";

  std::string text = ReadFileText(RegistryFilePath());
  text.replace(text.find("second"), 6, "third, by hand");
  WriteFileText(RegistryFilePath(), text);
  ASSERT_EQ(GetStringValue(HKEY_CLASSES_ROOT, "Seen", "", &value), ERROR_SUCCESS);
  EXPECT_EQ(value, "third, by hand") << "rewritten in place";

  std::filesystem::remove(RegistryFilePath());
  EXPECT_EQ(GetStringValue(HKEY_CLASSES_ROOT, "Seen", "", &value), ERROR_FILE_NOT_FOUND) << "removed";
}

TEST_F(RegistryStore, ConcurrentWritersLoseNothing) {
  constexpr int kWriters = 4;
  constexpr int kKeysEach = 25;
  std::vector<std::unique_ptr<kp::testing::ChildProcess>> children;
  for (int w = 0; w < kWriters; ++w) {
    children.push_back(std::make_unique<kp::testing::ChildProcess>([w] {
      for (int k = 0; k < kKeysEach; ++k) {
        std::string path = "Writer" + std::to_string(w) + "\\Key" + std::to_string(k);
        if (SetStringValue(HKEY_CLASSES_ROOT, path, "", std::to_string(w * 1000 + k)) != ERROR_SUCCESS) return 1;
        // Every writer also touches one shared key, so their changes overlap.
        if (SetStringValue(HKEY_CLASSES_ROOT, "Shared", "Writer" + std::to_string(w), std::to_string(k)) !=
            ERROR_SUCCESS)
          return 1;
      }
      return 0;
    }));
  }
  for (auto& child : children) EXPECT_EQ(child->Wait(), 0);
  for (int w = 0; w < kWriters; ++w) {
    std::vector<std::string> keys;
    ASSERT_EQ(EnumerateSubkeys(HKEY_CLASSES_ROOT, "Writer" + std::to_string(w), &keys), ERROR_SUCCESS);
    EXPECT_EQ(keys.size(), static_cast<std::size_t>(kKeysEach));
    std::string value;
    ASSERT_EQ(GetStringValue(HKEY_CLASSES_ROOT, "Shared", "Writer" + std::to_string(w), &value), ERROR_SUCCESS);
    EXPECT_EQ(value, std::to_string(kKeysEach - 1));
  }
  // No temporary file is left behind.
  for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(RegistryFilePath()).parent_path()))
    EXPECT_EQ(entry.path().filename().string().find("tmp"), std::string::npos) << entry.path();
}

TEST_F(RegistryStore, WritesTheFileOwnerOnly) {
  ASSERT_EQ(SetStringValue(HKEY_CLASSES_ROOT, "A", "", "x"), ERROR_SUCCESS);
  struct stat info {};
  ASSERT_EQ(stat(RegistryFilePath().c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
}

// Every call fails on a damaged file, and the file keeps every byte.
void ExpectEveryCallFailsAndFileIsUntouched(const std::string& damaged) {
  WriteFileText(RegistryFilePath(), damaged);
  ScopedHKey key;
  EXPECT_EQ(RegOpenKeyEx(HKEY_CLASSES_ROOT, "CLSID", 0, KEY_READ, key.put()), ERROR_REGISTRY_CORRUPT);
  EXPECT_EQ(RegCreateKeyEx(HKEY_CLASSES_ROOT, "New", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(), nullptr),
            ERROR_REGISTRY_CORRUPT);
  EXPECT_EQ(SetStringValue(HKEY_CLASSES_ROOT, "CLSID", "", "x"), ERROR_REGISTRY_CORRUPT);
  std::string value;
  EXPECT_EQ(GetStringValue(HKEY_CLASSES_ROOT, "CLSID", "", &value), ERROR_REGISTRY_CORRUPT);
  EXPECT_EQ(RegDeleteTree(HKEY_CLASSES_ROOT, "CLSID"), ERROR_REGISTRY_CORRUPT);
  EXPECT_EQ(DeleteKeyTree(HKEY_CLASSES_ROOT, "CLSID"), ERROR_REGISTRY_CORRUPT);
  char name[64];
  DWORD size = sizeof name;
  EXPECT_EQ(RegEnumKeyEx(HKEY_CLASSES_ROOT, 0, name, &size, nullptr, nullptr, nullptr, nullptr),
            ERROR_REGISTRY_CORRUPT);
  EXPECT_EQ(ReadFileText(RegistryFilePath()), damaged);
}

TEST_F(RegistryStore, ATruncatedFileIsAnErrorAndIsLeftAlone) {
  for (int i = 0; i < 5; ++i)
    ASSERT_EQ(SetStringValue(HKEY_CLASSES_ROOT, "CLSID\\{" + std::to_string(i) + "}", "", "Class"), ERROR_SUCCESS);
  std::string whole = ReadFileText(RegistryFilePath());
  ExpectEveryCallFailsAndFileIsUntouched(whole.substr(0, whole.size() / 2));
  ExpectEveryCallFailsAndFileIsUntouched(whole.substr(0, whole.size() - 1));
}

TEST_F(RegistryStore, AGarbageOrEmptyFileIsAnErrorAndIsLeftAlone) {
  ExpectEveryCallFailsAndFileIsUntouched(std::string("\x00\xff garbage\n", 11));
  ExpectEveryCallFailsAndFileIsUntouched("");
}

TEST_F(RegistryStore, ResetMovesADamagedFileAsideOnlyWhenAsked) {
  std::string damaged = "kestrow-registry 1\n[CLSID]\n@=\"cut";
  WriteFileText(RegistryFilePath(), damaged);
  std::string savedAs;
  ASSERT_EQ(ResetCorruptFile(&savedAs), ERROR_SUCCESS);
  EXPECT_EQ(ReadFileText(savedAs), damaged);
  EXPECT_EQ(savedAs.rfind(RegistryFilePath() + ".corrupt-", 0), 0u) << savedAs;
  ASSERT_EQ(SetStringValue(HKEY_CLASSES_ROOT, "Fresh", "", "start"), ERROR_SUCCESS);
  // A sound file is not touched by a reset.
  std::string sound = ReadFileText(RegistryFilePath());
  ASSERT_EQ(ResetCorruptFile(&savedAs), ERROR_SUCCESS);
  EXPECT_TRUE(savedAs.empty());
  EXPECT_EQ(ReadFileText(RegistryFilePath()), sound);
}

TEST_F(RegistryStore, AMissingFileIsAnEmptyRegistry) {
  ScopedHKey key;
  EXPECT_EQ(RegOpenKeyEx(HKEY_CLASSES_ROOT, "CLSID", 0, KEY_READ, key.put()), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegDeleteTree(HKEY_CLASSES_ROOT, "CLSID"), ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(std::filesystem::exists(RegistryFilePath()));
}
}  // namespace
}  // namespace kp::registry
