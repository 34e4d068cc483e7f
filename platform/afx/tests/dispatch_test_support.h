#pragma once
// Building automation calls in tests: arguments are written first to last,
// as a caller thinks of them, and reversed into DISPPARAMS as Invoke
// expects them.

#include <initializer_list>
#include <vector>

#include "platform/com/dispatch.h"
#include "platform/testing/variant_values.h"

namespace afx_test {

using kp::testing::MakeBool;
using kp::testing::MakeBstr;
using kp::testing::MakeI2;
using kp::testing::MakeI4;
using kp::testing::MakeMissing;
using kp::testing::MakeR8;
using kp::testing::MakeRefI2;
using kp::testing::MakeRefI4;

// The arguments of one call; frees what they own.
class Args {
 public:
  Args(std::initializer_list<VARIANT> firstToLast) : m_args(firstToLast.begin(), firstToLast.end()) {
    m_reversed.assign(m_args.rbegin(), m_args.rend());
    m_params = {m_reversed.empty() ? nullptr : m_reversed.data(), nullptr, static_cast<UINT>(m_reversed.size()), 0};
  }
  ~Args() {
    for (VARIANT& v : m_args) VariantClear(&v);
  }
  Args(const Args&) = delete;
  Args& operator=(const Args&) = delete;

  // Marks the single argument as the value of a property put.
  Args& AsPut() {
    m_params.rgdispidNamedArgs = &m_putId;
    m_params.cNamedArgs = 1;
    return *this;
  }
  DISPPARAMS* get() { return &m_params; }

 private:
  std::vector<VARIANT> m_args;      // owns the strings
  std::vector<VARIANT> m_reversed;  // shallow copies, last argument first
  DISPPARAMS m_params;
  DISPID m_putId = DISPID_PROPERTYPUT;
};

// A result variant that clears itself.
struct Result {
  VARIANT v;
  Result() { VariantInit(&v); }
  ~Result() { VariantClear(&v); }
  Result(const Result&) = delete;
  Result& operator=(const Result&) = delete;
};

inline HRESULT Call(IDispatch* d, DISPID id, WORD flags, DISPPARAMS* p, VARIANT* result = nullptr,
                    UINT* argErr = nullptr) {
  return d->Invoke(id, IID_NULL, 0, flags, p, result, nullptr, argErr);
}

}  // namespace afx_test
