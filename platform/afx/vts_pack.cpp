#include "platform/afx/vts_pack.h"

#include <algorithm>
#include <cstring>

namespace kp::afx {

CVarArgPack::~CVarArgPack() {
  for (std::size_t i = 0; i < m_args.size(); ++i)
    if (m_owned[i]) VariantClear(&m_args[i]);
}

HRESULT CVarArgPack::Pack(const BYTE* pbParams, va_list args) {
  const std::size_t count = pbParams != nullptr ? std::strlen(reinterpret_cast<const char*>(pbParams)) : 0;
  // Filled first to last, reversed at the end.
  m_args.assign(count, VARIANT{});
  m_owned.assign(count, false);
  for (std::size_t i = 0; i < count; ++i) {
    VARIANT& v = m_args[i];
    VariantInit(&v);
    const BYTE code = pbParams[i];
    v.vt = VartypeOfVts(code);
    switch (code) {
      case VT_I2: v.iVal = static_cast<SHORT>(va_arg(args, int)); break;
      case VT_I4: v.lVal = va_arg(args, LONG); break;
      case VT_R4: v.fltVal = static_cast<float>(va_arg(args, double)); break;
      case VT_R8: v.dblVal = va_arg(args, double); break;
      case VT_BOOL: v.boolVal = va_arg(args, BOOL) ? VARIANT_TRUE : VARIANT_FALSE; break;
      case VT_DISPATCH: v.pdispVal = va_arg(args, LPDISPATCH); break;
      case VT_BSTR: {
        LPCTSTR text = va_arg(args, LPCTSTR);
        v.bstrVal = SysAllocString(text != nullptr ? text : "");
        if (v.bstrVal == nullptr) {
          v.vt = VT_EMPTY;
          return E_OUTOFMEMORY;
        }
        m_owned[i] = true;
        break;
      }
      case VT_VARIANT: {
        // The caller's variant travels as it is; the callee only reads it.
        const VARIANT* given = va_arg(args, const VARIANT*);
        if (given == nullptr) return E_POINTER;
        v = *given;
        break;
      }
      case VT_I2 | kVtsByRef: v.piVal = va_arg(args, SHORT*); break;
      case VT_I4 | kVtsByRef: v.plVal = va_arg(args, LONG*); break;
      default: v.vt = VT_EMPTY; return DISP_E_BADVARTYPE;
    }
  }
  std::reverse(m_args.begin(), m_args.end());
  std::reverse(m_owned.begin(), m_owned.end());
  m_params = {m_args.empty() ? nullptr : m_args.data(), nullptr, static_cast<UINT>(m_args.size()), 0};
  return S_OK;
}

}  // namespace kp::afx
