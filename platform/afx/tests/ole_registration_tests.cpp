#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/afx/ole_factory.h"
#include "platform/afx/ole_init.h"
#include "platform/afx/ole_registration.h"
#include "platform/base/module.h"
#include "platform/com/com_ptr.h"
#include "platform/com/type_library.h"
#include "platform/registry/registry_helpers.h"
#include "platform/resources/resource_table.h"
#include "platform/testing/registry_snapshot.h"
#include "platform/testing/temp_registry.h"

namespace ole_registration_tests {

using kp::testing::RegistrySnapshot;

constexpr CLSID CLSID_Ctrl = {0x5E0C1A10, 0x7B3D, 0x4C21, {0x9A, 0x40, 0x11, 0x22, 0x33, 0x44, 0x55, 0x01}};
constexpr CLSID CLSID_Page = {0x5E0C1A10, 0x7B3D, 0x4C21, {0x9A, 0x40, 0x11, 0x22, 0x33, 0x44, 0x55, 0x02}};
constexpr CLSID CLSID_Nameless = {0x5E0C1A10, 0x7B3D, 0x4C21, {0x9A, 0x40, 0x11, 0x22, 0x33, 0x44, 0x55, 0x03}};
constexpr GUID LIBID_Test = {0x5E0C1A10, 0x7B3D, 0x4C21, {0x9A, 0x40, 0x11, 0x22, 0x33, 0x44, 0x55, 0x04}};
constexpr GUID LIBID_Other = {0x5E0C1A10, 0x7B3D, 0x4C21, {0x9A, 0x40, 0x11, 0x22, 0x33, 0x44, 0x55, 0x05}};

// This test program carries what a control module carries: type names and
// its type library.
constexpr char kTypeLibrary[] =
    "kestrow-typelib 1\n"
    "library RegTestLib {5E0C1A10-7B3D-4C21-9A40-112233445504} 1.0\n"
    "  flags control\n"
    "dispinterface _DRegTest {5E0C1A10-7B3D-4C21-9A40-112233445506}\n"
    "  property 1 Flag bool\n"
    "coclass RegTest {5E0C1A10-7B3D-4C21-9A40-112233445501}\n"
    "  interface _DRegTest default\n"
    "end\n";

const kp::resources::ResourceTable kResources{
    .strings = {{1, "Reg Test Control"}, {2, "Reg Test Property Page"}},
    .custom = {{"TYPELIB", 1, {reinterpret_cast<const BYTE*>(kTypeLibrary), sizeof kTypeLibrary - 1}}},
};
KP_MODULE_RESOURCES(kResources)

class OleRegistration : public ::testing::Test {
 protected:
  void SetUp() override { kp::testing::UseFreshRegistry(); }
  std::string Module() const { return GetModuleFilePath(AfxGetInstanceHandle()); }
  BOOL RegisterControl() {
    return AfxOleRegisterControlClass(AfxGetInstanceHandle(), CLSID_Ctrl, "KP.RegTestCtrl.1", 1, 1,
                                      afxRegApartmentThreading, 0x20091, LIBID_Test, 1, 0);
  }
};

TEST_F(OleRegistration, AControlClassWritesExactlyItsTableAndTwiceIsOnce) {
  const std::string c = "CLSID\\{5E0C1A10-7B3D-4C21-9A40-112233445501}";
  std::vector<std::string> expected = {
      c + " | @ = Reg Test Control",
      c + "\\Control | @ = ",
      c + "\\InprocServer32 | @ = " + Module(),
      c + "\\InprocServer32 | ThreadingModel = Apartment",
      c + "\\MiscStatus | @ = 0",
      c + "\\MiscStatus\\1 | @ = 131217",
      c + "\\ProgID | @ = KP.RegTestCtrl.1",
      c + "\\ToolboxBitmap32 | @ = " + Module() + ", 1",
      c + "\\TypeLib | @ = {5E0C1A10-7B3D-4C21-9A40-112233445504}",
      c + "\\Version | @ = 1.0",
      "CLSID",
      "KP.RegTestCtrl.1 | @ = Reg Test Control",
      "KP.RegTestCtrl.1\\CLSID | @ = {5E0C1A10-7B3D-4C21-9A40-112233445501}",
  };
  std::sort(expected.begin(), expected.end());
  ASSERT_TRUE(RegisterControl());
  EXPECT_EQ(RegistrySnapshot(), expected);
  ASSERT_TRUE(RegisterControl());
  EXPECT_EQ(RegistrySnapshot(), expected);
  EXPECT_EQ(Module().front(), '/') << "the module path is absolute";
}

TEST_F(OleRegistration, APropertyPageHasAThreadingModelOnlyWhenAsked) {
  const std::string c = "CLSID\\{5E0C1A10-7B3D-4C21-9A40-112233445502}";
  ASSERT_TRUE(AfxOleRegisterPropertyPageClass(AfxGetInstanceHandle(), CLSID_Page, 2, afxRegApartmentThreading));
  ASSERT_TRUE(AfxOleRegisterPropertyPageClass(AfxGetInstanceHandle(), CLSID_Page, 2, 0));
  std::vector<std::string> expected = {
      "CLSID",
      c + " | @ = Reg Test Property Page",
      c + "\\InprocServer32 | @ = " + Module(),
  };
  EXPECT_EQ(RegistrySnapshot(), expected);
}

TEST_F(OleRegistration, AMissingTypeNameStringGivesTheClassIdText) {
  ASSERT_TRUE(AfxOleRegisterPropertyPageClass(AfxGetInstanceHandle(), CLSID_Nameless, 77));
  std::string name;
  ASSERT_EQ(kp::registry::GetStringValue(HKEY_CLASSES_ROOT, "CLSID\\" + GuidToString(CLSID_Nameless), "", &name),
            ERROR_SUCCESS);
  EXPECT_EQ(name, GuidToString(CLSID_Nameless));
}

TEST_F(OleRegistration, UnregisteringRemovesTheClassTreeAndProgIdOnlyAndTwiceStillSucceeds) {
  ASSERT_EQ(kp::registry::SetStringValue(HKEY_CLASSES_ROOT, "Unrelated.Key", "", "stays"), ERROR_SUCCESS);
  const std::vector<std::string> before = RegistrySnapshot();
  ASSERT_TRUE(RegisterControl());
  ASSERT_TRUE(AfxOleUnregisterClass(CLSID_Ctrl, "KP.RegTestCtrl.1"));
  std::vector<std::string> after = RegistrySnapshot();
  after.erase(std::remove(after.begin(), after.end(), "CLSID"), after.end());
  EXPECT_EQ(after, before);
  EXPECT_TRUE(AfxOleUnregisterClass(CLSID_Ctrl, "KP.RegTestCtrl.1")) << "absent keys count as removed";
  EXPECT_TRUE(AfxOleUnregisterClass(CLSID_Page, nullptr));
}

TEST_F(OleRegistration, AClassKeyShared16BitLosesOnlyItsInprocServer32AndToolbox) {
  ASSERT_TRUE(RegisterControl());
  const std::string c = "CLSID\\" + GuidToString(CLSID_Ctrl);
  ASSERT_EQ(kp::registry::SetStringValue(HKEY_CLASSES_ROOT, c + "\\InprocServer", "", "TAVLET16.OCX"), ERROR_SUCCESS);
  ASSERT_TRUE(AfxOleUnregisterClass(CLSID_Ctrl, "KP.RegTestCtrl.1"));
  std::vector<std::string> subkeys;
  ASSERT_EQ(kp::registry::EnumerateSubkeys(HKEY_CLASSES_ROOT, c, &subkeys), ERROR_SUCCESS);
  EXPECT_EQ(subkeys,
            (std::vector<std::string>{"Control", "InprocServer", "MiscStatus", "ProgID", "TypeLib", "Version"}));
  std::string progIdClass;
  EXPECT_EQ(kp::registry::GetStringValue(HKEY_CLASSES_ROOT, "KP.RegTestCtrl.1\\CLSID", "", &progIdClass),
            ERROR_SUCCESS);
}

TEST_F(OleRegistration, TheTypeLibraryRegistersFromTheModuleOnlyWhenItsIdMatches) {
  EXPECT_FALSE(AfxOleRegisterTypeLib(AfxGetInstanceHandle(), LIBID_Other));
  EXPECT_TRUE(RegistrySnapshot().empty()) << "a library of another id writes nothing";

  ASSERT_TRUE(AfxOleRegisterTypeLib(AfxGetInstanceHandle(), LIBID_Test));
  kp::com::ComPtr<ITypeLib> loaded;
  ASSERT_EQ(LoadRegTypeLib(LIBID_Test, 1, 0, 0, loaded.put()), S_OK);
  TLIBATTR* attributes = nullptr;
  ASSERT_EQ(loaded->GetLibAttr(&attributes), S_OK);
  EXPECT_EQ(attributes->guid, LIBID_Test);
  loaded->ReleaseTLibAttr(attributes);

  ASSERT_TRUE(AfxOleUnregisterTypeLib(LIBID_Test, 1, 0, 0));
  EXPECT_EQ(LoadRegTypeLib(LIBID_Test, 1, 0, 0, loaded.put()), TYPE_E_LIBNOTREGISTERED);
  EXPECT_TRUE(AfxOleUnregisterTypeLib(LIBID_Test, 1, 0, 0)) << "again: nothing left to remove";
}

// The program's automation class, registered the way a normal start does.
class CAppObject : public CCmdTarget {
  DECLARE_DYNCREATE(CAppObject)
 public:
  CAppObject() { EnableAutomation(); }
};
IMPLEMENT_DYNCREATE(CAppObject, CCmdTarget)
constexpr CLSID CLSID_AppObject = {0x5E0C1A10, 0x7B3D, 0x4C21, {0x9A, 0x40, 0x11, 0x22, 0x33, 0x44, 0x55, 0x07}};
COleObjectFactory g_appFactory(CLSID_AppObject, RUNTIME_CLASS(CAppObject), TRUE, "KP.RegTest.Application");

TEST_F(OleRegistration, AProgramsFactoriesWriteAndRemoveTheLocalServerEntries) {
  const std::string c = "CLSID\\{5E0C1A10-7B3D-4C21-9A40-112233445507}";
  ASSERT_TRUE(COleObjectFactory::UpdateRegistryAll(TRUE));
  std::vector<std::string> expected = {
      "CLSID",
      c + " | @ = KP.RegTest.Application",
      c + "\\LocalServer32 | @ = " + Module(),
      c + "\\ProgID | @ = KP.RegTest.Application",
      "KP.RegTest.Application | @ = KP.RegTest.Application",
      "KP.RegTest.Application\\CLSID | @ = {5E0C1A10-7B3D-4C21-9A40-112233445507}",
  };
  EXPECT_EQ(RegistrySnapshot(), expected);
  ASSERT_TRUE(COleObjectFactory::UpdateRegistryAll(FALSE));
  EXPECT_EQ(RegistrySnapshot(), std::vector<std::string>{"CLSID"});
}

TEST_F(OleRegistration, RegisterAllOffersEveryFactoryUntilRevoked) {
  ASSERT_TRUE(AfxOleInit());
  EXPECT_FALSE(g_appFactory.IsRegistered());
  ASSERT_TRUE(COleObjectFactory::RegisterAll());
  EXPECT_TRUE(g_appFactory.IsRegistered());
  COleObjectFactory::RevokeAll();
  EXPECT_FALSE(g_appFactory.IsRegistered());
}

}  // namespace ole_registration_tests
