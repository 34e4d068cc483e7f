#include <gtest/gtest.h>

#include <unistd.h>

#include <climits>

#include "platform/base/module.h"

namespace {
TEST(Module, ProgramFindsItsOwnInstanceAndPath) {
  HINSTANCE self = AfxGetInstanceHandle();
  ASSERT_NE(self, nullptr);
  char exe[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
  ASSERT_GT(n, 0);
  EXPECT_EQ(GetModuleFilePath(self), std::string(exe, static_cast<std::size_t>(n)));
  EXPECT_EQ(GetModuleBaseName(self), "platform_base_tests");
}

TEST(Module, PlatformLibraryIsADifferentModule) {
  HINSTANCE platform = ModuleFromAddress(reinterpret_cast<const void*>(&GetModuleFilePath));
  ASSERT_NE(platform, nullptr);
  EXPECT_NE(platform, AfxGetInstanceHandle());
  EXPECT_EQ(GetModuleBaseName(platform), "libksystem");
}

TEST(Module, UnknownInstancesHaveNoPath) {
  EXPECT_EQ(GetModuleFilePath(nullptr), "");
  EXPECT_EQ(GetModuleFilePath(reinterpret_cast<HINSTANCE>(std::uintptr_t{0x10})), "");
}
}  // namespace
