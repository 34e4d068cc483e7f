#include <gtest/gtest.h>

#include <cstdarg>
#include <vector>

#include "platform/afx/event_map.h"
#include "platform/afx/vts_pack.h"

namespace vts_pack_tests {

using kp::afx::CVarArgPack;

// Packs the arguments and copies what the DISPPARAMS held, first argument
// first, before the pack frees its strings.
HRESULT Pack(std::vector<VARIANT>* out, const BYTE* params, ...) {
  va_list args;
  va_start(args, params);
  CVarArgPack pack;
  HRESULT hr = pack.Pack(params, args);
  va_end(args);
  if (FAILED(hr)) return hr;
  DISPPARAMS* p = pack.Params();
  EXPECT_EQ(p->cNamedArgs, 0u);
  out->clear();
  for (UINT i = p->cArgs; i-- > 0;) {
    VARIANT copy;
    VariantInit(&copy);
    EXPECT_EQ(VariantCopy(&copy, &p->rgvarg[i]), S_OK);
    out->push_back(copy);
  }
  return hr;
}

TEST(VarArgPack, EachCodeTakesItsArgumentAndTheLastArgumentComesFirst) {
  static BYTE params[] = VTS_PI4 VTS_I2 VTS_I2 VTS_I4 VTS_BOOL VTS_R8 VTS_BSTR VTS_PI2;
  LONG pixels[4] = {1, 2, 3, 4};
  SHORT counter = 5;
  std::vector<VARIANT> v;
  ASSERT_EQ(Pack(&v, params, pixels, static_cast<SHORT>(-2), static_cast<SHORT>(300), static_cast<LONG>(0x12345678),
                 TRUE, 2.5, "/tmp/a.bmp", &counter),
            S_OK);
  ASSERT_EQ(v.size(), 8u);
  EXPECT_EQ(v[0].vt, VT_I4 | VT_BYREF);
  EXPECT_EQ(v[0].plVal, pixels) << "the caller's array itself, not a copy";
  EXPECT_EQ(v[1].vt, VT_I2);
  EXPECT_EQ(v[1].iVal, -2);
  EXPECT_EQ(v[2].iVal, 300);
  EXPECT_EQ(v[3].vt, VT_I4);
  EXPECT_EQ(v[3].lVal, 0x12345678);
  EXPECT_EQ(v[4].vt, VT_BOOL);
  EXPECT_EQ(v[4].boolVal, VARIANT_TRUE);
  EXPECT_EQ(v[5].vt, VT_R8);
  EXPECT_DOUBLE_EQ(v[5].dblVal, 2.5);
  EXPECT_EQ(v[6].vt, VT_BSTR);
  EXPECT_STREQ(v[6].bstrVal, "/tmp/a.bmp");
  EXPECT_EQ(v[7].vt, VT_I2 | VT_BYREF);
  EXPECT_EQ(v[7].piVal, &counter);
  for (VARIANT& x : v) VariantClear(&x);
}

TEST(VarArgPack, NoParametersMakeAnEmptyCallAndNullStringsPassAsEmpty) {
  std::vector<VARIANT> v{VARIANT{}};
  ASSERT_EQ(Pack(&v, EVENT_PARAM(VTS_NONE)), S_OK);
  EXPECT_TRUE(v.empty());
  ASSERT_EQ(Pack(&v, EVENT_PARAM(VTS_BSTR), static_cast<LPCTSTR>(nullptr)), S_OK);
  ASSERT_EQ(v.size(), 1u);
  EXPECT_STREQ(v[0].bstrVal, "");
  VariantClear(&v[0]);
}

TEST(VarArgPack, CodesThePlatformCannotPassAreRefused) {
  static BYTE params[] = {VT_I4, VT_UNKNOWN, 0};
  std::vector<VARIANT> v;
  EXPECT_EQ(Pack(&v, params, static_cast<LONG>(1), nullptr), DISP_E_BADVARTYPE);
}

}  // namespace vts_pack_tests
