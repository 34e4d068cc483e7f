#include <gtest/gtest.h>

#include <dlfcn.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/afx/tests/drop_test/drop_test_ids.h"
#include "platform/com/com_ptr.h"
#include "platform/com/com_runtime.h"
#include "platform/com/type_library.h"
#include "platform/testing/registry_snapshot.h"
#include "platform/testing/temp_registry.h"

namespace drop_test_registration {
namespace {

using namespace drop_test;

HRESULT CallExport(const char* name) {
  void* handle = dlopen(DROP_TEST_MODULE, RTLD_NOW | RTLD_LOCAL);
  auto entry = handle != nullptr ? reinterpret_cast<HRESULT (*)()>(dlsym(handle, name)) : nullptr;
  return entry != nullptr ? entry() : E_FAIL;
}

std::string ModulePath() {
  char resolved[4096];
  return realpath(DROP_TEST_MODULE, resolved) != nullptr ? resolved : DROP_TEST_MODULE;
}

// The lines of the snapshot that belong to the module's classes and ProgIDs.
std::vector<std::string> ClassLines(const std::vector<std::string>& snapshot) {
  const std::string ctrl = "CLSID\\" + GuidToString(CLSID_DropTestCtrl);
  const std::string page = "CLSID\\" + GuidToString(CLSID_DropTestPropPage);
  std::vector<std::string> lines;
  for (const std::string& line : snapshot)
    if (line.rfind(ctrl, 0) == 0 || line.rfind(page, 0) == 0 || line.rfind("DROPTEST.", 0) == 0) lines.push_back(line);
  return lines;
}

class DropTestRegistration : public ::testing::Test {
 protected:
  void SetUp() override {
    kp::testing::UseFreshRegistry();
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
  }
  void TearDown() override { CoUninitialize(); }
};

TEST_F(DropTestRegistration, DllRegisterServerWritesExactlyTheTableAndTwiceIsOnce) {
  ASSERT_EQ(CallExport("DllRegisterServer"), S_OK);
  const std::vector<std::string> once = kp::testing::RegistrySnapshot();
  const std::string c = "CLSID\\{7D21A3B3-5C1E-4A8F-912D-4E6B0C3A7710}";
  const std::string p = "CLSID\\{7D21A3B4-5C1E-4A8F-912D-4E6B0C3A7710}";
  const std::string path = ModulePath();
  std::vector<std::string> expected = {
      c + " | @ = Drop Test Control",
      c + "\\Control | @ = ",
      c + "\\InprocServer32 | @ = " + path,
      c + "\\InprocServer32 | ThreadingModel = Apartment",
      c + "\\MiscStatus | @ = 0",
      c + "\\MiscStatus\\1 | @ = 131217",
      c + "\\ProgID | @ = DROPTEST.DropTestCtrl.1",
      c + "\\ToolboxBitmap32 | @ = " + path + ", 1",
      c + "\\TypeLib | @ = {7D21A3B0-5C1E-4A8F-912D-4E6B0C3A7710}",
      c + "\\Version | @ = 1.0",
      p + " | @ = Drop Test Property Page",
      p + "\\InprocServer32 | @ = " + path,
      "DROPTEST.DropTestCtrl.1 | @ = Drop Test Control",
      "DROPTEST.DropTestCtrl.1\\CLSID | @ = {7D21A3B3-5C1E-4A8F-912D-4E6B0C3A7710}",
  };
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(ClassLines(once), expected);
  kp::com::ComPtr<ITypeLib> library;
  EXPECT_EQ(LoadRegTypeLib(LIBID_DropTestLib, 1, 0, 0, library.put()), S_OK) << "the type library is registered";

  ASSERT_EQ(CallExport("DllRegisterServer"), S_OK);
  EXPECT_EQ(kp::testing::RegistrySnapshot(), once);
}

TEST_F(DropTestRegistration, DllUnregisterServerRemovesEverythingAndSucceedsAgain) {
  ASSERT_EQ(CallExport("DllRegisterServer"), S_OK);
  ASSERT_EQ(CallExport("DllUnregisterServer"), S_OK);
  for (const std::string& line : kp::testing::RegistrySnapshot()) {
    EXPECT_EQ(line.find("7D21A3B"), std::string::npos) << line;
    EXPECT_EQ(line.find("DROPTEST"), std::string::npos) << line;
  }
  EXPECT_EQ(CallExport("DllUnregisterServer"), S_OK) << "absent keys count as removed";
  IUnknown* control = nullptr;
  EXPECT_EQ(CoCreateInstance(CLSID_DropTestCtrl, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                             reinterpret_cast<void**>(&control)),
            REGDB_E_CLASSNOTREG);
}

TEST_F(DropTestRegistration, DllGetClassObjectKnowsOnlyTheModulesTwoClasses) {
  void* handle = dlopen(DROP_TEST_MODULE, RTLD_NOW | RTLD_LOCAL);
  auto get = reinterpret_cast<PFN_DllGetClassObject>(dlsym(handle, "DllGetClassObject"));
  ASSERT_NE(get, nullptr);
  for (const CLSID* clsid : {&CLSID_DropTestCtrl, &CLSID_DropTestPropPage}) {
    IClassFactory* factory = nullptr;
    ASSERT_EQ(get(*clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
    factory->Release();
  }
  void* none = &handle;
  EXPECT_EQ(get(LIBID_DropTestLib, IID_IClassFactory, &none), CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(none, nullptr);
}

}  // namespace
}  // namespace drop_test_registration
