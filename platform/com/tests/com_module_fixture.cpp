#include "platform/com/tests/com_module_fixture.h"

#include <dlfcn.h>

#include "platform/testing/temp_registry.h"

namespace kp::com::testing {

void ComTest::SetUp() {
  kp::testing::UseFreshRegistry();
  ASSERT_EQ(CoInitialize(nullptr), S_OK);
}

void ComTest::TearDown() { CoUninitialize(); }

std::string TestModulePath() { return TEST_CONTROL_MODULE; }

void* TestModuleExport(const char* name) {
  void* handle = dlopen(TEST_CONTROL_MODULE, RTLD_NOW | RTLD_LOCAL);
  return handle != nullptr ? dlsym(handle, name) : nullptr;
}

HRESULT RegisterTestModule() {
  auto entry = reinterpret_cast<PFN_DllRegisterServer>(TestModuleExport("DllRegisterServer"));
  return entry != nullptr ? entry() : E_FAIL;
}

}  // namespace kp::com::testing
