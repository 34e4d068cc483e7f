// The drop test control module: its application object, resources and the
// four exports.

#include "platform/afx/ole_control_module.h"
#include "platform/afx/ole_dll.h"
#include "platform/afx/ole_factory.h"
#include "platform/afx/ole_registration.h"
#include "platform/afx/tests/drop_test/drop_test_ids.h"
#include "platform/resources/resource_table.h"

using namespace drop_test;

namespace {

class CDropTestApp : public COleControlModule {
 public:
  BOOL InitInstance() override { return COleControlModule::InitInstance(); }
  int ExitInstance() override { return COleControlModule::ExitInstance(); }
};
CDropTestApp theApp;

constexpr char kTypeLibrary[] =
    "kestrow-typelib 1\n"
    "library DropTestLib {7D21A3B0-5C1E-4A8F-912D-4E6B0C3A7710} 1.0\n"
    "  flags control\n"
    "  helpstring \"Drop test control module\"\n"
    "dispinterface _DDropTest {7D21A3B1-5C1E-4A8F-912D-4E6B0C3A7710}\n"
    "  flags hidden\n"
    "  property 1 InitiallyDroppable bool\n"
    "  property 0 _InitiallyDroppable bool\n"
    "  method 2 RecreateBitmap bool rgb:i4* sx:i2 sy:i2\n"
    "  method 3 RecreateBitmapFromFile bool pathname:bstr\n"
    "  method 4 GetBitmapHandle i4\n"
    "  method 5 SetBitmapHandle bool hbm:i4\n"
    "  method 6 GetFocusCount i4\n"
    "dispinterface _DDropTestEvents {7D21A3B2-5C1E-4A8F-912D-4E6B0C3A7710}\n"
    "  method 1 Change void\n"
    "  method 2 Dropped void path:bstr\n"
    "coclass DropTest {7D21A3B3-5C1E-4A8F-912D-4E6B0C3A7710}\n"
    "  flags cancreate control\n"
    "  interface _DDropTest default\n"
    "  interface _DDropTestEvents default source\n"
    "end\n";

using kp::resources::DialogItem;
// clang-format off
const kp::resources::DialogTemplate kPropPage = {
    "", WS_CHILD | DS_SETFONT | DS_CONTROL, 0, 0, 0, 250, 62, "MS Sans Serif", 8,
    {{DialogItem::Class::Button, IDC_INITIALLY_DROPPABLE, "Initially Droppable", 7, 7, 71, 10,
      WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX}},
};
// clang-format on

const kp::resources::ResourceTable kResources{
    .strings = {{IDS_DROPTEST, "Drop Test Control"},
                {IDS_DROPTEST_PPG, "Drop Test Property Page"},
                {IDS_DROPTEST_PPG_CAPTION, "General"}},
    .dialogs = {{IDD_PROPPAGE_DROPTEST, &kPropPage}},
    .custom = {{"TYPELIB", 1, {reinterpret_cast<const BYTE*>(kTypeLibrary), sizeof kTypeLibrary - 1}}},
};

}  // namespace

KP_MODULE_RESOURCES(kResources)

STDAPI DllRegisterServer() {
  if (!AfxOleRegisterTypeLib(AfxGetInstanceHandle(), LIBID_DropTestLib)) return SELFREG_E_TYPELIB;
  if (!COleObjectFactoryEx::UpdateRegistryAll(TRUE)) return SELFREG_E_CLASS;
  return S_OK;
}

STDAPI DllUnregisterServer() {
  if (!AfxOleUnregisterTypeLib(LIBID_DropTestLib, 1, 0)) return SELFREG_E_TYPELIB;
  if (!COleObjectFactoryEx::UpdateRegistryAll(FALSE)) return SELFREG_E_CLASS;
  return S_OK;
}

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv) { return AfxDllGetClassObject(rclsid, riid, ppv); }

STDAPI DllCanUnloadNow() { return AfxDllCanUnloadNow(); }
