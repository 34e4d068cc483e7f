#pragma once
// What the COM tests share: a fresh registry and an initialised runtime per
// test, and the test control module's own entry points.

#include <gtest/gtest.h>

#include <string>

#include "platform/com/com_runtime.h"
#include "platform/com/tests/test_control_ids.h"

namespace kp::com::testing {

class ComTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
};

// The module file of the test control.
std::string TestModulePath();
// An export of the test control module, loaded as COM loads it.
void* TestModuleExport(const char* name);
// Runs the module's DllRegisterServer in this process's current registry.
HRESULT RegisterTestModule();

}  // namespace kp::com::testing
