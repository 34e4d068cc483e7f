#include <gtest/gtest.h>

#include <dlfcn.h>

#include "interfaces/tavlet_ids.h"
#include "platform/com/class_factory.h"
#include "platform/com/com_runtime.h"

namespace tavlet_test {
namespace {

using namespace tavlet;

template <typename F>
F Export(const char* name) {
  void* module = dlopen(TAVLET_MODULE, RTLD_NOW | RTLD_LOCAL);
  return module != nullptr ? reinterpret_cast<F>(dlsym(module, name)) : nullptr;
}

class TavletExports : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr))); }
  void TearDown() override { CoUninitialize(); }
};

TEST_F(TavletExports, DllGetClassObjectKnowsExactlyTheControlAndItsPage) {
  auto get = Export<PFN_DllGetClassObject>("DllGetClassObject");
  ASSERT_NE(get, nullptr);
  for (const CLSID* clsid : {&CLSID_Tavlet, &CLSID_TavletPropPage}) {
    IClassFactory* factory = nullptr;
    ASSERT_EQ(get(*clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK) << GuidToString(*clsid);
    factory->Release();
  }
  for (const GUID* other : {&LIBID_TAVLETLib, &DIID__DTavlet, &DIID__DTavletEvents}) {
    void* none = &get;
    EXPECT_EQ(get(*other, IID_IClassFactory, &none), CLASS_E_CLASSNOTAVAILABLE) << GuidToString(*other);
    EXPECT_EQ(none, nullptr);
  }
}

TEST_F(TavletExports, TheModuleMayUnloadOnlyWhileNothingItMadeIsAlive) {
  auto get = Export<PFN_DllGetClassObject>("DllGetClassObject");
  auto canUnload = Export<HRESULT (*)()>("DllCanUnloadNow");
  ASSERT_NE(get, nullptr);
  ASSERT_NE(canUnload, nullptr);
  EXPECT_EQ(canUnload(), S_OK);
  IClassFactory* factory = nullptr;
  ASSERT_EQ(get(CLSID_Tavlet, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
  IUnknown* first = nullptr;
  IUnknown* second = nullptr;
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&first)), S_OK);
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&second)), S_OK);
  EXPECT_NE(first, second) << "each request makes a new control";
  EXPECT_EQ(canUnload(), S_FALSE);
  first->Release();
  second->Release();
  factory->Release();
  EXPECT_EQ(canUnload(), S_OK);
}

}  // namespace
}  // namespace tavlet_test
