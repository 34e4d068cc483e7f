#pragma once
// Packing an outgoing automation call's arguments (CWnd::InvokeHelper,
// COleControl::FireEvent) from a C variable argument list, as its VTS_
// list says (vts.h), into DISPPARAMS: last argument first.

#include <cstdarg>
#include <vector>

#include "platform/afx/vts.h"

namespace kp::afx {

class CVarArgPack {
 public:
  CVarArgPack() = default;
  ~CVarArgPack();
  CVarArgPack(const CVarArgPack&) = delete;
  CVarArgPack& operator=(const CVarArgPack&) = delete;

  // Reads one argument per code from `args`. By-reference arguments point
  // at the caller's own variables; strings are copied into BSTRs this pack
  // owns. DISP_E_BADVARTYPE for a code this platform does not pass,
  // E_OUTOFMEMORY when a string cannot be copied.
  HRESULT Pack(const BYTE* pbParams, va_list args);

  DISPPARAMS* Params() { return &m_params; }

 private:
  std::vector<VARIANT> m_args;  // last argument first
  std::vector<bool> m_owned;    // which entries hold a BSTR of ours
  DISPPARAMS m_params = {nullptr, nullptr, 0, 0};
};

}  // namespace kp::afx
