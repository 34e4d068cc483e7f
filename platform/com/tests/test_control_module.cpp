// A COM module for tests, built like a real control module: hidden
// symbols, the four standard exports, its own resources and type library.
// Its one class, TestControl, answers IDispatch with a member for each kind
// of argument the editor passes to a control (a pointer into the caller's
// pixel array among them) and raises an event through a connection point.

#include <cstring>
#include <string>

#include "platform/base/module.h"
#include "platform/base/win_user.h"
#include "platform/com/com_error_codes.h"
#include "platform/com/com_object.h"
#include "platform/com/com_ptr.h"
#include "platform/com/com_runtime.h"
#include "platform/com/connection_points.h"
#include "platform/com/tests/test_control_ids.h"
#include "platform/com/type_library.h"
#include "platform/registry/registry_helpers.h"
#include "platform/resources/resource_table.h"

namespace {
using namespace kp::com;
using namespace kp::com::testing;

constexpr char kTypeLibrary[] =
    "kestrow-typelib 1\n"
    "library KestrowTestLib {3C5D1A73-9E21-4B7F-8A11-526E0C43D901} 1.0\n"
    "  flags control\n"
    "  helpstring \"Kestrow test control module\"\n"
    "  helpfile \"KestrowTest.hlp\"\n"
    "dispinterface _DTestControl {3C5D1A71-9E21-4B7F-8A11-526E0C43D901}\n"
    "  flags hidden\n"
    "  helpstring \"Dispatch interface for Test Control\"\n"
    "  property 1 Flag bool\n"
    "  property 0 _Flag bool\n"
    "  method 2 SumPixels i4 rgb:i4* sx:i2 sy:i2\n"
    "  method 3 Describe bstr text:bstr\n"
    "  method 4 GetHandle i4\n"
    "  method 5 Inspect bool object:unknown\n"
    "  method 6 Optional i4 value:variant\n"
    "dispinterface _DTestControlEvents {3C5D1A72-9E21-4B7F-8A11-526E0C43D901}\n"
    "  helpstring \"Event interface for Test Control\"\n"
    "  method 1 Changed void\n"
    "coclass TestControl {3C5D1A70-9E21-4B7F-8A11-526E0C43D901}\n"
    "  flags cancreate control\n"
    "  helpstring \"Test Control\"\n"
    "  interface _DTestControl default\n"
    "  interface _DTestControlEvents default source\n"
    "end\n";

const kp::resources::ResourceTable kResources{
    .strings = {{1, "Test Control"}},
    .custom = {{"TYPELIB", 1, {reinterpret_cast<const BYTE*>(kTypeLibrary), sizeof kTypeLibrary - 1}}},
};

// What keeps the module busy: live objects and server locks.
long g_objects = 0;
long g_locks = 0;

class TestControl final : public ComObject<Implements<IDispatch, IID_IDispatch, DIID_DTestControl>,
                                           Implements<IConnectionPointContainer, IID_IConnectionPointContainer>> {
 public:
  TestControl() { ++g_objects; }

  HRESULT GetTypeInfoCount(UINT* pctinfo) override {
    if (pctinfo == nullptr) return E_POINTER;
    *pctinfo = 1;
    return S_OK;
  }

  // The module's type library, found through its registration as a
  // control finds its own.
  HRESULT GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) override {
    if (ppTInfo == nullptr) return E_POINTER;
    *ppTInfo = nullptr;
    if (iTInfo != 0) return DISP_E_BADINDEX;
    ComPtr<ITypeLib> library;
    HRESULT hr = LoadRegTypeLib(LIBID_TestControlLib, 1, 0, lcid, library.put());
    if (FAILED(hr)) return hr;
    return library->GetTypeInfoOfGuid(DIID_DTestControl, ppTInfo);
  }

  HRESULT GetIDsOfNames(REFIID, LPOLESTR* rgszNames, UINT cNames, LCID lcid, DISPID* rgDispId) override {
    ComPtr<ITypeInfo> info;
    HRESULT hr = GetTypeInfo(0, lcid, info.put());
    if (FAILED(hr)) return hr;
    return info->GetIDsOfNames(rgszNames, cNames, rgDispId);
  }

  HRESULT Invoke(DISPID dispIdMember, REFIID, LCID, WORD wFlags, DISPPARAMS* pDispParams, VARIANT* pVarResult,
                 EXCEPINFO*, UINT* puArgErr) override;

  HRESULT EnumConnectionPoints(IEnumConnectionPoints** ppEnum) override {
    if (ppEnum != nullptr) *ppEnum = nullptr;
    return E_NOTIMPL;
  }
  HRESULT FindConnectionPoint(REFIID riid, IConnectionPoint** ppCP) override {
    ConnectionPoint* points[] = {&m_events};
    return FindConnectionPointIn(points, riid, ppCP);
  }

 private:
  using Handler = HRESULT (TestControl::*)(WORD, DISPPARAMS&, VARIANT*, UINT*);
  struct Member {
    DISPID dispid;
    WORD flags;
    Handler handler;
  };
  static const Member kMembers[];

  ~TestControl() override { --g_objects; }

  // Argument `index` (0 = first) converted to `vt`, as a dispatch map does.
  static HRESULT Argument(DISPPARAMS& params, UINT index, VARTYPE vt, VARIANT& out, UINT* argErr) {
    VariantInit(&out);
    if (index >= params.cArgs) return DISP_E_BADPARAMCOUNT;
    UINT position = params.cArgs - 1 - index;
    HRESULT hr = VariantChangeType(&out, &params.rgvarg[position], 0, vt);
    if (FAILED(hr) && argErr != nullptr) *argErr = position;
    return FAILED(hr) ? DISP_E_TYPEMISMATCH : S_OK;
  }

  static void SetResult(VARIANT* result, VARTYPE vt, LONG value) {
    if (result == nullptr) return;
    VariantInit(result);
    result->vt = vt;
    if (vt == VT_BOOL)
      result->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    else
      result->lVal = value;
  }

  HRESULT Flag(WORD flags, DISPPARAMS& params, VARIANT* result, UINT* argErr) {
    if (flags & DISPATCH_PROPERTYPUT) {
      if (params.cArgs != 1 || params.cNamedArgs != 1 || params.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)
        return DISP_E_PARAMNOTFOUND;
      VARIANT value;
      HRESULT hr = Argument(params, 0, VT_BOOL, value, argErr);
      if (FAILED(hr)) return hr;
      m_flag = value.boolVal != VARIANT_FALSE;
      return S_OK;
    }
    if (params.cArgs != 0) return DISP_E_BADPARAMCOUNT;
    SetResult(result, VT_BOOL, m_flag);
    return S_OK;
  }

  // Reads sx * sy pixels from the caller's array through the by-reference
  // argument, and raises Changed.
  HRESULT SumPixels(WORD, DISPPARAMS& params, VARIANT* result, UINT* argErr) {
    if (params.cArgs != 3) return DISP_E_BADPARAMCOUNT;
    const VARIANT& rgb = params.rgvarg[2];
    if (rgb.vt != (VT_BYREF | VT_I4)) {
      if (argErr) *argErr = 2;
      return DISP_E_TYPEMISMATCH;
    }
    VARIANT sx, sy;
    HRESULT hr = Argument(params, 1, VT_I2, sx, argErr);
    if (SUCCEEDED(hr)) hr = Argument(params, 2, VT_I2, sy, argErr);
    if (FAILED(hr)) return hr;
    LONG sum = 0;
    for (long i = 0; i < static_cast<long>(sx.iVal) * sy.iVal; ++i) sum += rgb.plVal[i];
    m_handle = sum;
    SetResult(result, VT_I4, sum);
    m_events.FireDispatch(EventChanged, nullptr);
    return S_OK;
  }

  HRESULT Describe(WORD, DISPPARAMS& params, VARIANT* result, UINT* argErr) {
    if (params.cArgs != 1) return DISP_E_BADPARAMCOUNT;
    VARIANT text;
    HRESULT hr = Argument(params, 0, VT_BSTR, text, argErr);
    if (FAILED(hr)) return hr;
    std::string answer = "got:" + std::string(text.bstrVal, SysStringLen(text.bstrVal));
    VariantClear(&text);
    if (result != nullptr) {
      VariantInit(result);
      result->vt = VT_BSTR;
      result->bstrVal = SysAllocStringLen(answer.data(), static_cast<UINT>(answer.size()));
    }
    return S_OK;
  }

  HRESULT GetHandle(WORD, DISPPARAMS& params, VARIANT* result, UINT*) {
    if (params.cArgs != 0) return DISP_E_BADPARAMCOUNT;
    SetResult(result, VT_I4, m_handle);
    return S_OK;
  }

  // TRUE when the argument is an object that also answers IDispatch.
  HRESULT Inspect(WORD, DISPPARAMS& params, VARIANT* result, UINT* argErr) {
    if (params.cArgs != 1) return DISP_E_BADPARAMCOUNT;
    VARIANT object;
    HRESULT hr = Argument(params, 0, VT_UNKNOWN, object, argErr);
    if (FAILED(hr)) return hr;
    ComPtr<IUnknown> held(object.punkVal);
    ComPtr<IDispatch> dispatch;
    bool answers = held && SUCCEEDED(held.As(IID_IDispatch, dispatch));
    SetResult(result, VT_BOOL, answers);
    return S_OK;
  }

  // -1 when the argument was left out (VT_ERROR, DISP_E_PARAMNOTFOUND),
  // else its value as a number.
  HRESULT Optional(WORD, DISPPARAMS& params, VARIANT* result, UINT* argErr) {
    if (params.cArgs != 1) return DISP_E_BADPARAMCOUNT;
    const VARIANT& arg = params.rgvarg[0];
    if (arg.vt == VT_ERROR && arg.scode == DISP_E_PARAMNOTFOUND) {
      SetResult(result, VT_I4, -1);
      return S_OK;
    }
    VARIANT value;
    HRESULT hr = Argument(params, 0, VT_I4, value, argErr);
    if (FAILED(hr)) return hr;
    SetResult(result, VT_I4, value.lVal);
    return S_OK;
  }

  bool m_flag = true;
  LONG m_handle = 0;
  ConnectionPoint m_events{static_cast<IConnectionPointContainer*>(this), DIID_DTestControlEvents};
};

const TestControl::Member TestControl::kMembers[] = {
    {DispFlagDefault, DISPATCH_PROPERTYGET | DISPATCH_PROPERTYPUT, &TestControl::Flag},
    {DispFlag, DISPATCH_PROPERTYGET | DISPATCH_PROPERTYPUT, &TestControl::Flag},
    {DispSumPixels, DISPATCH_METHOD, &TestControl::SumPixels},
    {DispDescribe, DISPATCH_METHOD, &TestControl::Describe},
    {DispGetHandle, DISPATCH_METHOD, &TestControl::GetHandle},
    {DispInspect, DISPATCH_METHOD, &TestControl::Inspect},
    {DispOptional, DISPATCH_METHOD, &TestControl::Optional},
};

HRESULT TestControl::Invoke(DISPID dispIdMember, REFIID, LCID, WORD wFlags, DISPPARAMS* pDispParams,
                            VARIANT* pVarResult, EXCEPINFO*, UINT* puArgErr) {
  if (pDispParams == nullptr) return E_INVALIDARG;
  for (const Member& m : kMembers) {
    if (m.dispid != dispIdMember || !(m.flags & wFlags)) continue;
    return (this->*m.handler)(wFlags, *pDispParams, pVarResult, puArgErr);
  }
  return DISP_E_MEMBERNOTFOUND;
}

class TestControlFactory final : public ComObject<Implements<IClassFactory, IID_IClassFactory>> {
 public:
  HRESULT CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppvObject) override {
    if (ppvObject == nullptr) return E_POINTER;
    *ppvObject = nullptr;
    if (pUnkOuter != nullptr) return CLASS_E_NOAGGREGATION;
    auto* control = new TestControl();
    HRESULT hr = control->QueryInterface(riid, ppvObject);
    control->Release();
    return hr;
  }
  HRESULT LockServer(BOOL fLock) override {
    g_locks += fLock ? 1 : -1;
    return S_OK;
  }

 private:
  // The factory is a static object of the module: it is never deleted.
  void OnFinalRelease() override {}
};

TestControlFactory g_factory;

std::string ModulePath() { return GetModuleFilePath(AfxGetInstanceHandle()); }

std::string ClassKey() { return "CLSID\\" + GuidToString(CLSID_TestControl); }
}  // namespace

KP_MODULE_RESOURCES(kResources)

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, void** ppv) {
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  if (rclsid != CLSID_TestControl) return CLASS_E_CLASSNOTAVAILABLE;
  return g_factory.QueryInterface(riid, ppv);
}

STDAPI DllCanUnloadNow() { return g_objects == 0 && g_locks == 0 ? S_OK : S_FALSE; }

STDAPI DllRegisterServer() {
  using kp::registry::SetStringValue;
  std::string path = ModulePath();
  ComPtr<ITypeLib> library;
  if (FAILED(LoadTypeLib(path.c_str(), library.put())) || FAILED(RegisterTypeLib(library.get(), path.c_str(), nullptr)))
    return SELFREG_E_TYPELIB;
  std::string key = ClassKey();
  std::string clsid = GuidToString(CLSID_TestControl);
  bool ok =
      SetStringValue(HKEY_CLASSES_ROOT, kTestControlProgId, "", "Test Control") == ERROR_SUCCESS &&
      SetStringValue(HKEY_CLASSES_ROOT, std::string(kTestControlProgId) + "\\CLSID", "", clsid) == ERROR_SUCCESS &&
      SetStringValue(HKEY_CLASSES_ROOT, key, "", "Test Control") == ERROR_SUCCESS &&
      SetStringValue(HKEY_CLASSES_ROOT, key + "\\ProgID", "", kTestControlProgId) == ERROR_SUCCESS &&
      SetStringValue(HKEY_CLASSES_ROOT, key + "\\InprocServer32", "", path) == ERROR_SUCCESS &&
      SetStringValue(HKEY_CLASSES_ROOT, key + "\\InprocServer32", "ThreadingModel", "Apartment") == ERROR_SUCCESS &&
      SetStringValue(HKEY_CLASSES_ROOT, key + "\\TypeLib", "", GuidToString(LIBID_TestControlLib)) == ERROR_SUCCESS &&
      SetStringValue(HKEY_CLASSES_ROOT, key + "\\Version", "", "1.0") == ERROR_SUCCESS;
  return ok ? S_OK : SELFREG_E_CLASS;
}

STDAPI DllUnregisterServer() {
  if (FAILED(UnRegisterTypeLib(LIBID_TestControlLib, 1, 0, 0, SYS_WIN32))) return SELFREG_E_TYPELIB;
  bool ok = kp::registry::DeleteKeyTree(HKEY_CLASSES_ROOT, ClassKey()) == ERROR_SUCCESS &&
            kp::registry::DeleteKeyTree(HKEY_CLASSES_ROOT, kTestControlProgId) == ERROR_SUCCESS;
  return ok ? S_OK : SELFREG_E_CLASS;
}
