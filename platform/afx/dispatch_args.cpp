#include "platform/afx/dispatch_args.h"

#include <cstring>

namespace kp::afx {
namespace {
// The marker a caller puts in place of an optional argument it leaves out.
bool IsMissingArgument(const VARIANT& v) { return v.vt == VT_ERROR && v.scode == DISP_E_PARAMNOTFOUND; }

// A by-reference argument passes as it came only when it is exactly the
// kind asked for: coercing it would mean handing the handler a pointer to a
// temporary instead of into the caller's memory.
bool IsExactReference(const VARIANT& v, VARTYPE wanted) { return v.vt == wanted && v.byref != nullptr; }
}  // namespace

CDispatchArgs::~CDispatchArgs() {
  for (VARIANT& v : m_coerced) VariantClear(&v);
}

HRESULT CDispatchArgs::Prepare(const BYTE* pbParams, const DISPPARAMS* pDispParams, UINT* puArgErr) {
  const std::size_t count = pbParams != nullptr ? std::strlen(reinterpret_cast<const char*>(pbParams)) : 0;
  static const DISPPARAMS kNoArgs = {nullptr, nullptr, 0, 0};
  const DISPPARAMS& params = pDispParams != nullptr ? *pDispParams : kNoArgs;
  if (params.cNamedArgs != 0) return DISP_E_NONAMEDARGS;
  if (params.cArgs > count) return DISP_E_BADPARAMCOUNT;
  if (params.cArgs < count) return DISP_E_PARAMNOTOPTIONAL;
  if (count != 0 && params.rgvarg == nullptr) return E_INVALIDARG;

  m_args.clear();
  m_coerced.clear();
  m_coerced.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    const UINT argIndex = static_cast<UINT>(count - 1 - i);
    const VARIANT& arg = params.rgvarg[argIndex];
    const BYTE code = pbParams[i];
    const VARTYPE wanted = VartypeOfVts(code);
    auto fail = [&](HRESULT hr) {
      if (puArgErr != nullptr) *puArgErr = argIndex;
      return hr;
    };
    if (!IsKnownVts(code)) return fail(DISP_E_BADVARTYPE);
    if (code == VT_VARIANT) {
      m_args.push_back(&arg);
      continue;
    }
    if (IsMissingArgument(arg)) return fail(DISP_E_PARAMNOTOPTIONAL);
    if (wanted & VT_BYREF) {
      if (!IsExactReference(arg, wanted)) return fail(DISP_E_TYPEMISMATCH);
      m_args.push_back(&arg);
      continue;
    }
    VARIANT& coerced = m_coerced.emplace_back();
    VariantInit(&coerced);
    HRESULT hr = VariantChangeType(&coerced, &arg, 0, wanted);
    if (FAILED(hr)) return fail(hr);
    m_args.push_back(&coerced);
  }
  return S_OK;
}

}  // namespace kp::afx
