#pragma once
// IDispatch: late-bound calls by member id, the only way the editor reaches
// a hosted control. Arguments travel in DISPPARAMS, last argument first, as
// on Windows.

#include "platform/com/variant.h"

class ITypeInfo;

using DISPID = LONG;
using MEMBERID = DISPID;

constexpr DISPID DISPID_VALUE = 0;
constexpr DISPID DISPID_UNKNOWN = -1;
constexpr DISPID DISPID_PROPERTYPUT = -3;
constexpr DISPID DISPID_NEWENUM = -4;

// Invoke kinds (wFlags).
constexpr WORD DISPATCH_METHOD = 0x1;
constexpr WORD DISPATCH_PROPERTYGET = 0x2;
constexpr WORD DISPATCH_PROPERTYPUT = 0x4;
constexpr WORD DISPATCH_PROPERTYPUTREF = 0x8;

inline constexpr IID IID_IDispatch = {0x00020400, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
// The proxy/stub class Windows records for every dispatch interface.
inline constexpr CLSID CLSID_PSDispatch = {
    0x00020420, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

struct DISPPARAMS {
  VARIANTARG* rgvarg;         // arguments in reverse order: rgvarg[0] is the last
  DISPID* rgdispidNamedArgs;  // ids of the named arguments, which come first in rgvarg
  UINT cArgs;
  UINT cNamedArgs;
};

// What a member that fails with DISP_E_EXCEPTION reports. The strings are
// the caller's to free (SysFreeString), also when the call came from
// another process.
struct EXCEPINFO {
  WORD wCode;
  WORD wReserved;
  BSTR bstrSource;
  BSTR bstrDescription;
  BSTR bstrHelpFile;
  DWORD dwHelpContext;
  void* pvReserved;
  HRESULT (*pfnDeferredFillIn)(EXCEPINFO*);
  SCODE scode;
};
using LPEXCEPINFO = EXCEPINFO*;

class IDispatch : public IUnknown {
 public:
  virtual HRESULT GetTypeInfoCount(UINT* pctinfo) = 0;
  virtual HRESULT GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) = 0;
  // Maps rgszNames[0] to its member id and any further names to the ids of
  // that member's parameters; DISP_E_UNKNOWNNAME when one is unknown (its
  // slot then holds DISPID_UNKNOWN).
  virtual HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid, DISPID* rgDispId) = 0;
  virtual HRESULT Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS* pDispParams,
                         VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) = 0;

 protected:
  ~IDispatch() override;
};
using LPDISPATCH = IDispatch*;
