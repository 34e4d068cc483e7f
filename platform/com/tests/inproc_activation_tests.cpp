#include <gtest/gtest.h>

#include <dlfcn.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/com/com_error_codes.h"
#include "platform/com/com_ptr.h"
#include "platform/com/connection_point.h"
#include "platform/com/tests/com_module_fixture.h"
#include "platform/registry/registry_helpers.h"
#include "platform/testing/temp_environment.h"

namespace kp::com::testing {
namespace {
VARIANT Make(VARTYPE vt) {
  VARIANT v;
  VariantInit(&v);
  v.vt = vt;
  return v;
}

class InprocActivation : public ComTest {
 protected:
  void SetUp() override {
    ComTest::SetUp();
    ASSERT_EQ(RegisterTestModule(), S_OK);
  }

  ComPtr<IDispatch> Create() {
    ComPtr<IDispatch> control;
    EXPECT_EQ(CoCreateInstance(CLSID_TestControl, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, control.put_void()),
              S_OK);
    return control;
  }

  static HRESULT Call(IDispatch* d, DISPID id, WORD flags, std::vector<VARIANT> argsLastFirst, VARIANT* result,
                      UINT* argErr = nullptr) {
    DISPPARAMS params{argsLastFirst.data(), nullptr, static_cast<UINT>(argsLastFirst.size()), 0};
    DISPID put = DISPID_PROPERTYPUT;
    if (flags & DISPATCH_PROPERTYPUT) {
      params.rgdispidNamedArgs = &put;
      params.cNamedArgs = 1;
    }
    UINT ignored = 0;
    return d->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, nullptr, argErr ? argErr : &ignored);
  }
};

TEST_F(InprocActivation, CreatesTheClassFromItsRegisteredModule) {
  ComPtr<IDispatch> control = Create();
  ASSERT_TRUE(control);
  // The object came from the module file, loaded as its own module.
  Dl_info info{};
  void** vtable = *reinterpret_cast<void***>(control.get());
  ASSERT_NE(dladdr(vtable[0], &info), 0);
  EXPECT_EQ(std::filesystem::canonical(info.dli_fname), std::filesystem::canonical(TestModulePath()));
  // ProgIDs resolve through the same registration.
  CLSID clsid{};
  ASSERT_EQ(CLSIDFromProgID(kTestControlProgId, &clsid), S_OK);
  EXPECT_EQ(clsid, CLSID_TestControl);
  EXPECT_EQ(CLSIDFromProgID("No.Such.Class", &clsid), CO_E_CLASSSTRING);
}

TEST_F(InprocActivation, InvokesEveryArgumentTypeTheEditorUses) {
  ComPtr<IDispatch> control = Create();
  ASSERT_TRUE(control);
  VARIANT result;

  // VT_BYREF | VT_I4 pointing into the caller's pixel array, and VT_I2 sizes.
  LONG pixels[6] = {1, 20, 300, 4000, 50000, 600000};
  VARIANT rgb = Make(VT_BYREF | VT_I4);
  rgb.plVal = pixels;
  VARIANT sx = Make(VT_I2), sy = Make(VT_I2);
  sx.iVal = 3;
  sy.iVal = 2;
  VariantInit(&result);
  ASSERT_EQ(Call(control.get(), DispSumPixels, DISPATCH_METHOD, {sy, sx, rgb}, &result), S_OK);
  EXPECT_EQ(result.vt, VT_I4);
  EXPECT_EQ(result.lVal, 654321);

  // VT_I4 result.
  VariantInit(&result);
  ASSERT_EQ(Call(control.get(), DispGetHandle, DISPATCH_METHOD, {}, &result), S_OK);
  EXPECT_EQ(result.lVal, 654321);

  // VT_BSTR in and out.
  VARIANT text = Make(VT_BSTR);
  text.bstrVal = SysAllocString("/tmp/slot.bmp");
  VariantInit(&result);
  ASSERT_EQ(Call(control.get(), DispDescribe, DISPATCH_METHOD, {text}, &result), S_OK);
  EXPECT_EQ(result.vt, VT_BSTR);
  EXPECT_STREQ(result.bstrVal, "got:/tmp/slot.bmp");
  VariantClear(&result);
  VariantClear(&text);

  // VT_BOOL property, VARIANT_FALSE put, read back through dispid 0 too.
  VARIANT no = Make(VT_BOOL);
  no.boolVal = VARIANT_FALSE;
  ASSERT_EQ(Call(control.get(), DispFlag, DISPATCH_PROPERTYPUT, {no}, nullptr), S_OK);
  VariantInit(&result);
  ASSERT_EQ(Call(control.get(), DispFlagDefault, DISPATCH_PROPERTYGET, {}, &result), S_OK);
  EXPECT_EQ(result.vt, VT_BOOL);
  EXPECT_EQ(result.boolVal, VARIANT_FALSE);
  VARIANT yes = Make(VT_BOOL);
  yes.boolVal = VARIANT_TRUE;
  ASSERT_EQ(Call(control.get(), DispFlagDefault, DISPATCH_PROPERTYPUT, {yes}, nullptr), S_OK);
  VariantInit(&result);
  ASSERT_EQ(Call(control.get(), DispFlag, DISPATCH_PROPERTYGET, {}, &result), S_OK);
  EXPECT_EQ(result.boolVal, VARIANT_TRUE);

  // VT_DISPATCH and VT_UNKNOWN arguments.
  VARIANT asDispatch = Make(VT_DISPATCH);
  asDispatch.pdispVal = control.get();
  VariantInit(&result);
  ASSERT_EQ(Call(control.get(), DispInspect, DISPATCH_METHOD, {asDispatch}, &result), S_OK);
  EXPECT_EQ(result.boolVal, VARIANT_TRUE);
  VARIANT asUnknown = Make(VT_UNKNOWN);
  asUnknown.punkVal = control.get();
  VariantInit(&result);
  ASSERT_EQ(Call(control.get(), DispInspect, DISPATCH_METHOD, {asUnknown}, &result), S_OK);
  EXPECT_EQ(result.boolVal, VARIANT_TRUE);

  // VT_ERROR as the "left out" marker, and VT_EMPTY converted as zero.
  VARIANT missing = Make(VT_ERROR);
  missing.scode = DISP_E_PARAMNOTFOUND;
  VariantInit(&result);
  ASSERT_EQ(Call(control.get(), DispOptional, DISPATCH_METHOD, {missing}, &result), S_OK);
  EXPECT_EQ(result.lVal, -1);
  VariantInit(&result);
  ASSERT_EQ(Call(control.get(), DispOptional, DISPATCH_METHOD, {Make(VT_EMPTY)}, &result), S_OK);
  EXPECT_EQ(result.lVal, 0);
}

TEST_F(InprocActivation, ReportsUnknownMembersAndBadArguments) {
  ComPtr<IDispatch> control = Create();
  ASSERT_TRUE(control);
  VARIANT result;
  VariantInit(&result);
  EXPECT_EQ(Call(control.get(), 99, DISPATCH_METHOD, {}, &result), DISP_E_MEMBERNOTFOUND);
  // A method is not a property.
  EXPECT_EQ(Call(control.get(), DispGetHandle, DISPATCH_PROPERTYPUT, {Make(VT_I4)}, nullptr), DISP_E_MEMBERNOTFOUND);
  VARIANT notANumber = Make(VT_BSTR);
  notANumber.bstrVal = SysAllocString("many");
  UINT argErr = 99;
  EXPECT_EQ(Call(control.get(), DispOptional, DISPATCH_METHOD, {notANumber}, &result, &argErr), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(argErr, 0u);
  VariantClear(&notANumber);
  char name[] = "RECREATEBITMAP";
  LPOLESTR names[] = {name};
  DISPID id = 0;
  EXPECT_EQ(control->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), DISP_E_UNKNOWNNAME);
  char known[] = "getHANDLE";
  names[0] = known;
  ASSERT_EQ(control->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK);
  EXPECT_EQ(id, DispGetHandle);
}

TEST_F(InprocActivation, ReportsClassesThatCannotBeMade) {
  ComPtr<IDispatch> object;
  EXPECT_EQ(CoCreateInstance(CLSID_NotInModule, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, object.put_void()),
            REGDB_E_CLASSNOTREG);
  EXPECT_FALSE(object);
  std::string key = "CLSID\\" + GuidToString(CLSID_NotInModule) + "\\InprocServer32";
  // Registered to the module, which does not make it.
  ASSERT_EQ(kp::registry::SetStringValue(HKEY_CLASSES_ROOT, key, "", TestModulePath()), ERROR_SUCCESS);
  EXPECT_EQ(CoCreateInstance(CLSID_NotInModule, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, object.put_void()),
            CLASS_E_CLASSNOTAVAILABLE);
  // A module file that is gone.
  ASSERT_EQ(kp::registry::SetStringValue(HKEY_CLASSES_ROOT, key, "", "/nonexistent/Gone.ocx"), ERROR_SUCCESS);
  EXPECT_EQ(CoCreateInstance(CLSID_NotInModule, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, object.put_void()),
            CO_E_DLLNOTFOUND);
  // A file that is no module.
  std::string junk = kp::testing::TemporaryRoot() + "/Junk.ocx";
  std::ofstream(junk) << "not an ELF file";
  ASSERT_EQ(kp::registry::SetStringValue(HKEY_CLASSES_ROOT, key, "", junk), ERROR_SUCCESS);
  EXPECT_EQ(CoCreateInstance(CLSID_NotInModule, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, object.put_void()),
            CO_E_ERRORINDLL);
  // A registered class asked for in a context it was not registered for.
  EXPECT_EQ(CoCreateInstance(CLSID_TestControl, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch, object.put_void()),
            REGDB_E_CLASSNOTREG);
  // Aggregation is refused by the class.
  ComPtr<IDispatch> outer = Create();
  EXPECT_EQ(CoCreateInstance(CLSID_TestControl, outer.get(), CLSCTX_INPROC_SERVER, IID_IUnknown, object.put_void()),
            CLASS_E_NOAGGREGATION);
}

TEST_F(InprocActivation, NeedsAnInitialisedRuntime) {
  CoUninitialize();
  ComPtr<IDispatch> object;
  EXPECT_EQ(CoCreateInstance(CLSID_TestControl, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, object.put_void()),
            CO_E_NOTINITIALIZED);
  EXPECT_EQ(CoInitialize(nullptr), S_OK);
  EXPECT_EQ(CoInitialize(nullptr), S_FALSE);
  CoUninitialize();
}

// A thread stays in the kind of apartment it entered first; OLE then
// cannot start on a multithreaded one, and asking changes nothing.
TEST_F(InprocActivation, AThreadKeepsTheApartmentItEnteredFirst) {
  CoUninitialize();
  ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
  EXPECT_EQ(OleInitialize(nullptr), RPC_E_CHANGED_MODE);
  EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_FALSE);
  CoUninitialize();
  CoUninitialize();
  EXPECT_EQ(OleInitialize(nullptr), S_OK) << "a thread that left its apartment may enter another";
}

// The test control answers QueryInterface from its table: each id gives its
// interface, every interface gives the one IUnknown, anything else nothing.
TEST_F(InprocActivation, AnswersTheInterfacesOfItsTableWithOneIdentity) {
  ComPtr<IDispatch> control = Create();
  ASSERT_TRUE(control);
  ComPtr<IUnknown> identity;
  ASSERT_EQ(control.As(IID_IUnknown, identity), S_OK);
  const struct {
    const IID* iid;
    bool dispatch;  // handed out as the IDispatch, else as the container
  } rows[] = {{&IID_IDispatch, true}, {&DIID_DTestControl, true}, {&IID_IConnectionPointContainer, false}};
  for (const auto& row : rows) {
    SCOPED_TRACE(GuidToString(*row.iid));
    ComPtr<IUnknown> part;
    ASSERT_EQ(control->QueryInterface(*row.iid, part.put_void()), S_OK);
    EXPECT_EQ(part.get() == static_cast<IUnknown*>(control.get()), row.dispatch);
    ComPtr<IUnknown> back;
    ASSERT_EQ(part.As(IID_IUnknown, back), S_OK);
    EXPECT_EQ(back.get(), identity.get());
  }
  void* none = control.get();  // cleared on the way out
  EXPECT_EQ(control->QueryInterface(IID_IClassFactory, &none), E_NOINTERFACE);
  EXPECT_EQ(none, nullptr);
  EXPECT_EQ(control->QueryInterface(IID_IDispatch, nullptr), E_POINTER);
}

TEST_F(InprocActivation, ModuleStaysBusyWhileAnObjectOrALockLives) {
  auto canUnload = reinterpret_cast<PFN_DllCanUnloadNow>(TestModuleExport("DllCanUnloadNow"));
  ASSERT_NE(canUnload, nullptr);
  EXPECT_EQ(canUnload(), S_OK);
  {
    ComPtr<IDispatch> control = Create();
    ComPtr<IDispatch> second = Create();
    EXPECT_EQ(canUnload(), S_FALSE);
    control.Reset();
    EXPECT_EQ(canUnload(), S_FALSE);
  }
  EXPECT_EQ(canUnload(), S_OK);
  ComPtr<IClassFactory> factory;
  ASSERT_EQ(CoGetClassObject(CLSID_TestControl, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory, factory.put_void()),
            S_OK);
  ASSERT_EQ(factory->LockServer(TRUE), S_OK);
  EXPECT_EQ(canUnload(), S_FALSE);
  ASSERT_EQ(factory->LockServer(FALSE), S_OK);
  EXPECT_EQ(canUnload(), S_OK);
}

}  // namespace
}  // namespace kp::com::testing
