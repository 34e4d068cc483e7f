#include "platform/com/variant.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>

#include "platform/base/ascii.h"
#include "platform/com/dispatch.h"

namespace {
// The base types a variant may hold by value, and which of them own memory.
struct BaseType {
  VARTYPE vt;
  bool byValue;  // VT_VARIANT exists only by reference
};
// clang-format off
constexpr BaseType kBaseTypes[] = {
    {VT_EMPTY, true}, {VT_NULL, true},  {VT_I2, true},   {VT_I4, true},       {VT_R4, true},
    {VT_R8, true},    {VT_BSTR, true},  {VT_DISPATCH, true}, {VT_ERROR, true}, {VT_BOOL, true},
    {VT_UNKNOWN, true}, {VT_I1, true},  {VT_UI1, true},  {VT_UI2, true},      {VT_UI4, true},
    {VT_INT, true},   {VT_UINT, true},  {VT_VARIANT, false},
};
// clang-format on

bool IsKnownType(VARTYPE vt) {
  bool byRef = (vt & VT_BYREF) != 0;
  VARTYPE base = static_cast<VARTYPE>(vt & ~VT_BYREF);
  if (byRef && (base == VT_EMPTY || base == VT_NULL)) return false;
  for (const BaseType& t : kBaseTypes)
    if (t.vt == base) return byRef || t.byValue;
  return false;
}

// A variant's value taken out of its storage: what conversions start from.
struct Value {
  enum class Kind { Empty, Null, Integer, Real, Bool, String, Error, Interface } kind = Kind::Empty;
  LONGLONG integer = 0;
  double real = 0;
  std::string_view text;
  IUnknown* object = nullptr;
  bool isDispatch = false;
  SCODE error = 0;
};

// Reads the value of `v`, following VT_BYREF one level (two for a
// by-reference VARIANT).
HRESULT ReadValue(const VARIANT& v, Value& out) {
  if (!IsKnownType(v.vt)) return DISP_E_BADVARTYPE;
  if (v.vt == (VT_BYREF | VT_VARIANT)) {
    if (v.pvarVal == nullptr) return E_POINTER;
    if (v.pvarVal->vt & VT_BYREF && (v.pvarVal->vt & ~VT_BYREF) == VT_VARIANT) return DISP_E_BADVARTYPE;
    return ReadValue(*v.pvarVal, out);
  }
  bool byRef = (v.vt & VT_BYREF) != 0;
  if (byRef && v.byref == nullptr) return E_POINTER;
  using K = Value::Kind;
  switch (static_cast<VARTYPE>(v.vt & ~VT_BYREF)) {
    case VT_EMPTY: out.kind = K::Empty; break;
    case VT_NULL: out.kind = K::Null; break;
    case VT_I1:
      out.kind = K::Integer;
      out.integer = byRef ? *v.pcVal : v.cVal;
      break;
    case VT_UI1:
      out.kind = K::Integer;
      out.integer = byRef ? *v.pbVal : v.bVal;
      break;
    case VT_I2:
      out.kind = K::Integer;
      out.integer = byRef ? *v.piVal : v.iVal;
      break;
    case VT_UI2:
      out.kind = K::Integer;
      out.integer = byRef ? *v.puiVal : v.uiVal;
      break;
    case VT_I4:
      out.kind = K::Integer;
      out.integer = byRef ? *v.plVal : v.lVal;
      break;
    case VT_UI4:
      out.kind = K::Integer;
      out.integer = byRef ? *v.pulVal : v.ulVal;
      break;
    case VT_INT:
      out.kind = K::Integer;
      out.integer = byRef ? *v.pintVal : v.intVal;
      break;
    case VT_UINT:
      out.kind = K::Integer;
      out.integer = byRef ? *v.puintVal : v.uintVal;
      break;
    case VT_R4:
      out.kind = K::Real;
      out.real = byRef ? *v.pfltVal : v.fltVal;
      break;
    case VT_R8:
      out.kind = K::Real;
      out.real = byRef ? *v.pdblVal : v.dblVal;
      break;
    case VT_BOOL:
      out.kind = K::Bool;
      out.integer = (byRef ? *v.pboolVal : v.boolVal) != 0;
      break;
    case VT_ERROR:
      out.kind = K::Error;
      out.error = byRef ? *v.pscode : v.scode;
      break;
    case VT_BSTR: {
      BSTR s = byRef ? *v.pbstrVal : v.bstrVal;
      out.kind = K::String;
      out.text = std::string_view(s ? s : "", SysStringLen(s));
      break;
    }
    case VT_DISPATCH:
      out.kind = K::Interface;
      out.object = byRef ? *v.ppdispVal : v.pdispVal;
      out.isDispatch = true;
      break;
    case VT_UNKNOWN:
      out.kind = K::Interface;
      out.object = byRef ? *v.ppunkVal : v.punkVal;
      break;
    default: return DISP_E_BADVARTYPE;
  }
  return S_OK;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// Text to number, independent of the process locale (Qt sets LC_NUMERIC
// from the environment, and a comma decimal point must not change what a
// string argument means).
HRESULT ParseNumber(std::string_view text, double& out) {
  text = Trim(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return DISP_E_TYPEMISMATCH;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, out);
  if (ec == std::errc::result_out_of_range) return DISP_E_OVERFLOW;
  if (ec != std::errc() || ptr != end) return DISP_E_TYPEMISMATCH;
  return S_OK;
}

// Reduces a value to a number: integers stay exact, reals round half to
// even when an integer is wanted, as automation does.
HRESULT ToReal(const Value& v, double& out) {
  using K = Value::Kind;
  switch (v.kind) {
    case K::Empty: out = 0; return S_OK;
    case K::Integer: out = static_cast<double>(v.integer); return S_OK;
    case K::Bool: out = v.integer ? -1.0 : 0.0; return S_OK;
    case K::Real: out = v.real; return S_OK;
    case K::String: return ParseNumber(v.text, out);
    default: return DISP_E_TYPEMISMATCH;
  }
}

HRESULT ToInteger(const Value& v, LONGLONG minimum, LONGLONG maximum, LONGLONG& out) {
  if (v.kind == Value::Kind::Integer) {
    if (v.integer < minimum || v.integer > maximum) return DISP_E_OVERFLOW;
    out = v.integer;
    return S_OK;
  }
  if (v.kind == Value::Kind::Bool) {
    // True is all bits set, which an unsigned type holds as its maximum.
    out = v.integer ? (minimum < 0 ? -1 : maximum) : 0;
    return S_OK;
  }
  double real = 0;
  HRESULT hr = ToReal(v, real);
  if (FAILED(hr)) return hr;
  if (!std::isfinite(real)) return DISP_E_OVERFLOW;
  double rounded = std::nearbyint(real);
  if (rounded < static_cast<double>(minimum) || rounded > static_cast<double>(maximum)) return DISP_E_OVERFLOW;
  out = static_cast<LONGLONG>(rounded);
  return S_OK;
}

HRESULT ToBool(const Value& v, bool& out) {
  using K = Value::Kind;
  if (v.kind == K::String) {
    std::string_view text = Trim(v.text);
    if (kp::base::EqualNoCase(text, "true") || kp::base::EqualNoCase(text, "#TRUE#")) {
      out = true;
      return S_OK;
    }
    if (kp::base::EqualNoCase(text, "false") || kp::base::EqualNoCase(text, "#FALSE#")) {
      out = false;
      return S_OK;
    }
  }
  if (v.kind == K::Bool || v.kind == K::Integer) {
    out = v.integer != 0;
    return S_OK;
  }
  double real = 0;
  HRESULT hr = ToReal(v, real);
  if (FAILED(hr)) return hr;
  out = real != 0;
  return S_OK;
}

HRESULT ToText(const Value& v, bool realIsSingle, std::string& out) {
  using K = Value::Kind;
  char buffer[64];
  switch (v.kind) {
    case K::Empty: out.clear(); return S_OK;
    case K::String: out.assign(v.text); return S_OK;
    case K::Bool: out = v.integer ? "True" : "False"; return S_OK;
    case K::Integer: {
      auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, v.integer);
      out.assign(buffer, ptr);
      return S_OK;
    }
    case K::Real: {
      auto [ptr, ec] = realIsSingle ? std::to_chars(buffer, buffer + sizeof buffer, static_cast<float>(v.real))
                                    : std::to_chars(buffer, buffer + sizeof buffer, v.real);
      out.assign(buffer, ptr);
      return S_OK;
    }
    default: return DISP_E_TYPEMISMATCH;
  }
}

// The integer types a conversion can produce, with their ranges and where
// the result goes.
struct IntegerTarget {
  VARTYPE vt;
  LONGLONG minimum;
  LONGLONG maximum;
  void (*store)(VARIANT&, LONGLONG);
};
constexpr IntegerTarget kIntegerTargets[] = {
    {VT_I1, -128, 127, [](VARIANT& d, LONGLONG x) { d.cVal = static_cast<char>(x); }},
    {VT_UI1, 0, 255, [](VARIANT& d, LONGLONG x) { d.bVal = static_cast<BYTE>(x); }},
    {VT_I2, -32768, 32767, [](VARIANT& d, LONGLONG x) { d.iVal = static_cast<SHORT>(x); }},
    {VT_UI2, 0, 65535, [](VARIANT& d, LONGLONG x) { d.uiVal = static_cast<USHORT>(x); }},
    {VT_I4, std::numeric_limits<LONG>::min(), std::numeric_limits<LONG>::max(),
     [](VARIANT& d, LONGLONG x) { d.lVal = static_cast<LONG>(x); }},
    {VT_UI4, 0, std::numeric_limits<ULONG>::max(), [](VARIANT& d, LONGLONG x) { d.ulVal = static_cast<ULONG>(x); }},
    {VT_INT, std::numeric_limits<INT>::min(), std::numeric_limits<INT>::max(),
     [](VARIANT& d, LONGLONG x) { d.intVal = static_cast<INT>(x); }},
    {VT_UINT, 0, std::numeric_limits<UINT>::max(), [](VARIANT& d, LONGLONG x) { d.uintVal = static_cast<UINT>(x); }},
};

// An object's default value: its DISPID_VALUE property, as automation
// reads a dispatch object that stands where a plain value is wanted.
HRESULT ReadDefaultValue(IUnknown* object, VARIANT& out) {
  if (object == nullptr) return DISP_E_TYPEMISMATCH;
  IDispatch* dispatch = nullptr;
  if (FAILED(object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)))) return DISP_E_TYPEMISMATCH;
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  VariantInit(&out);
  HRESULT hr = dispatch->Invoke(DISPID_VALUE, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &out, nullptr,
                                nullptr);
  dispatch->Release();
  if (FAILED(hr)) return DISP_E_TYPEMISMATCH;
  if (out.vt == VT_DISPATCH || out.vt == VT_UNKNOWN) {
    VariantClear(&out);
    return DISP_E_TYPEMISMATCH;
  }
  return S_OK;
}

HRESULT Convert(VARIANT& result, const Value& source, USHORT flags, VARTYPE vt);

HRESULT ConvertInterface(VARIANT& result, const Value& source, USHORT flags, VARTYPE vt) {
  if (vt == VT_DISPATCH || vt == VT_UNKNOWN) {
    if (source.object == nullptr) {
      result.vt = vt;
      result.punkVal = nullptr;
      return S_OK;
    }
    void* out = nullptr;
    if (FAILED(source.object->QueryInterface(vt == VT_DISPATCH ? IID_IDispatch : IID_IUnknown, &out)))
      return DISP_E_TYPEMISMATCH;
    result.vt = vt;
    result.byref = out;
    return S_OK;
  }
  if (!source.isDispatch || (flags & VARIANT_NOVALUEPROP)) return DISP_E_TYPEMISMATCH;
  VARIANT value;
  HRESULT hr = ReadDefaultValue(source.object, value);
  if (FAILED(hr)) return hr;
  Value inner;
  hr = ReadValue(value, inner);
  if (SUCCEEDED(hr)) hr = Convert(result, inner, flags, vt);
  VariantClear(&value);
  return hr;
}

HRESULT Convert(VARIANT& result, const Value& source, USHORT flags, VARTYPE vt) {
  using K = Value::Kind;
  VariantInit(&result);
  if (source.kind == K::Interface) return ConvertInterface(result, source, flags, vt);
  if (vt == VT_EMPTY) return S_OK;
  if (source.kind == K::Null) {
    if (vt != VT_NULL) return DISP_E_TYPEMISMATCH;
    result.vt = VT_NULL;
    return S_OK;
  }
  if (source.kind == K::Error) {
    if (vt != VT_ERROR) return DISP_E_TYPEMISMATCH;
    result.vt = VT_ERROR;
    result.scode = source.error;
    return S_OK;
  }
  for (const IntegerTarget& target : kIntegerTargets) {
    if (target.vt != vt) continue;
    LONGLONG value = 0;
    HRESULT hr = ToInteger(source, target.minimum, target.maximum, value);
    if (FAILED(hr)) return hr;
    result.vt = vt;
    target.store(result, value);
    return S_OK;
  }
  switch (vt) {
    case VT_R4:
    case VT_R8: {
      double value = 0;
      HRESULT hr = ToReal(source, value);
      if (FAILED(hr)) return hr;
      if (vt == VT_R4 && std::isfinite(value) && std::fabs(value) > std::numeric_limits<float>::max())
        return DISP_E_OVERFLOW;
      result.vt = vt;
      if (vt == VT_R4)
        result.fltVal = static_cast<float>(value);
      else
        result.dblVal = value;
      return S_OK;
    }
    case VT_BOOL: {
      bool value = false;
      HRESULT hr = ToBool(source, value);
      if (FAILED(hr)) return hr;
      result.vt = VT_BOOL;
      result.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
      return S_OK;
    }
    case VT_BSTR: {
      std::string text;
      HRESULT hr = ToText(source, false, text);
      if (FAILED(hr)) return hr;
      BSTR s = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
      if (s == nullptr) return E_OUTOFMEMORY;
      result.vt = VT_BSTR;
      result.bstrVal = s;
      return S_OK;
    }
    case VT_NULL:
    case VT_ERROR:
    case VT_DISPATCH:
    case VT_UNKNOWN: return DISP_E_TYPEMISMATCH;
    default: return DISP_E_BADVARTYPE;
  }
}
}  // namespace

void VariantInit(VARIANTARG* pvarg) {
  if (pvarg == nullptr) return;
  std::memset(pvarg, 0, sizeof *pvarg);
  pvarg->vt = VT_EMPTY;
}

HRESULT VariantClear(VARIANTARG* pvarg) {
  if (pvarg == nullptr) return E_INVALIDARG;
  if (!IsKnownType(pvarg->vt)) return DISP_E_BADVARTYPE;
  switch (pvarg->vt) {
    case VT_BSTR: SysFreeString(pvarg->bstrVal); break;
    case VT_DISPATCH:
    case VT_UNKNOWN:
      if (pvarg->punkVal != nullptr) pvarg->punkVal->Release();
      break;
    default: break;
  }
  VariantInit(pvarg);
  return S_OK;
}

HRESULT VariantCopy(VARIANTARG* pvargDest, const VARIANTARG* pvargSrc) {
  if (pvargDest == nullptr || pvargSrc == nullptr) return E_INVALIDARG;
  if (!IsKnownType(pvargSrc->vt)) return DISP_E_BADVARTYPE;
  if (pvargDest == pvargSrc) return S_OK;
  VARIANT copy = *pvargSrc;
  if (copy.vt == VT_BSTR && pvargSrc->bstrVal != nullptr) {
    copy.bstrVal = SysAllocStringLen(pvargSrc->bstrVal, SysStringLen(pvargSrc->bstrVal));
    if (copy.bstrVal == nullptr) return E_OUTOFMEMORY;
  }
  if ((copy.vt == VT_DISPATCH || copy.vt == VT_UNKNOWN) && copy.punkVal != nullptr) copy.punkVal->AddRef();
  HRESULT hr = VariantClear(pvargDest);
  if (FAILED(hr)) {
    VARIANT undo = copy;
    VariantClear(&undo);
    return hr;
  }
  *pvargDest = copy;
  return S_OK;
}

HRESULT VariantCopyInd(VARIANT* pvarDest, const VARIANTARG* pvargSrc) {
  if (pvarDest == nullptr || pvargSrc == nullptr) return E_INVALIDARG;
  if (!(pvargSrc->vt & VT_BYREF)) return VariantCopy(pvarDest, pvargSrc);
  if (!IsKnownType(pvargSrc->vt)) return DISP_E_BADVARTYPE;
  if (pvargSrc->byref == nullptr) return E_INVALIDARG;
  if (pvargSrc->vt == (VT_BYREF | VT_VARIANT)) {
    if (pvargSrc->pvarVal->vt & VT_BYREF) return E_INVALIDARG;
    return VariantCopy(pvarDest, pvargSrc->pvarVal);
  }
  VARIANT value;
  VariantInit(&value);
  value.vt = static_cast<VARTYPE>(pvargSrc->vt & ~VT_BYREF);
  std::size_t size = 0;
  switch (value.vt) {
    case VT_I1:
    case VT_UI1: size = 1; break;
    case VT_I2:
    case VT_UI2:
    case VT_BOOL: size = 2; break;
    case VT_I4:
    case VT_UI4:
    case VT_INT:
    case VT_UINT:
    case VT_R4:
    case VT_ERROR: size = 4; break;
    case VT_R8: size = 8; break;
    case VT_BSTR:
    case VT_DISPATCH:
    case VT_UNKNOWN: size = sizeof(void*); break;
    default: return DISP_E_BADVARTYPE;
  }
  std::memcpy(&value.lVal, pvargSrc->byref, size);
  // The copy is made of the pointed-at value, owned again by VariantCopy.
  return VariantCopy(pvarDest, &value);
}

HRESULT VariantChangeType(VARIANTARG* pvargDest, const VARIANTARG* pvarSrc, USHORT wFlags, VARTYPE vt) {
  if (pvargDest == nullptr || pvarSrc == nullptr) return E_INVALIDARG;
  if (vt & VT_BYREF) return DISP_E_BADVARTYPE;
  if (!IsKnownType(pvargDest->vt)) return DISP_E_BADVARTYPE;
  Value source;
  HRESULT hr = ReadValue(*pvarSrc, source);
  if (FAILED(hr)) return hr;
  VARIANT result;
  VariantInit(&result);
  // Converting a value to its own type is a copy (which also keeps strings
  // byte for byte).
  if (static_cast<VARTYPE>(pvarSrc->vt & ~VT_BYREF) == vt && vt != VT_VARIANT)
    hr = VariantCopyInd(&result, pvarSrc);
  else
    hr = Convert(result, source, wFlags, vt);
  if (FAILED(hr)) return hr;
  // The source may be the destination: it is released only now.
  VariantClear(pvargDest);
  *pvargDest = result;
  return S_OK;
}
