#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/com/com_object.h"
#include "platform/com/dispatch.h"
#include "platform/com/variant.h"
#include "platform/testing/variant_values.h"

namespace {
using kp::testing::MakeBool;
using kp::testing::MakeBstr;
using kp::testing::MakeEmpty;
using kp::testing::MakeError;
using kp::testing::MakeI2;
using kp::testing::MakeI4;
using kp::testing::MakeNull;
using kp::testing::MakeR8;

std::string Text(const VARIANT& v) { return std::string(v.bstrVal, SysStringLen(v.bstrVal)); }

// A counted object, to see that variants take and drop references.
class Counted final : public kp::com::ComObject<kp::com::Implements<IDispatch, IID_IDispatch>> {
 public:
  HRESULT GetTypeInfoCount(UINT* n) override {
    *n = 0;
    return S_OK;
  }
  HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  // Its default value is the number 42.
  HRESULT Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*, UINT*) override {
    if (id != DISPID_VALUE || !(flags & DISPATCH_PROPERTYGET) || result == nullptr) return DISP_E_MEMBERNOTFOUND;
    *result = MakeI4(42);
    return S_OK;
  }

 private:
  void OnFinalRelease() override {}  // a local of the test
};

TEST(Bstr, CarriesItsLengthAndATerminatingNul) {
  BSTR s = SysAllocString("Tavlet");
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(SysStringLen(s), 6u);
  EXPECT_STREQ(s, "Tavlet");
  SysFreeString(s);

  const char withNul[] = {'a', '\0', 'b'};
  BSTR embedded = SysAllocStringLen(withNul, 3);
  EXPECT_EQ(SysStringLen(embedded), 3u);
  EXPECT_EQ(std::memcmp(embedded, withNul, 3), 0);
  EXPECT_EQ(embedded[3], '\0');
  SysFreeString(embedded);

  EXPECT_EQ(SysStringLen(nullptr), 0u);
  EXPECT_EQ(SysAllocString(nullptr), nullptr);
  SysFreeString(nullptr);
}

TEST(Bstr, KeepsUtf8FileNamesByteForByte) {
  const char* path = "/tmp/b\xC3\xA4ume/\xFF.bmp";  // not even valid UTF-8: Linux names are bytes
  BSTR s = SysAllocString(path);
  EXPECT_EQ(SysStringLen(s), std::strlen(path));
  EXPECT_STREQ(s, path);
  SysFreeString(s);
}

TEST(Variant, CopyDuplicatesStringsAndReferencesObjects) {
  VARIANT text = MakeBstr("hello");
  VARIANT copy;
  VariantInit(&copy);
  ASSERT_EQ(VariantCopy(&copy, &text), S_OK);
  EXPECT_NE(copy.bstrVal, text.bstrVal);
  EXPECT_EQ(Text(copy), "hello");
  VariantClear(&text);
  EXPECT_EQ(Text(copy), "hello");
  VariantClear(&copy);
  EXPECT_EQ(copy.vt, VT_EMPTY);

  Counted object;
  VARIANT d;
  VariantInit(&d);
  d.vt = VT_DISPATCH;
  d.pdispVal = &object;
  object.AddRef();
  VARIANT dcopy;
  VariantInit(&dcopy);
  VariantCopy(&dcopy, &d);
  EXPECT_EQ(object.References(), 3u);
  VariantClear(&dcopy);
  VariantClear(&d);
  EXPECT_EQ(object.References(), 1u);
}

TEST(Variant, ClearRefusesUnknownTypesAndLeavesThem) {
  VARIANT odd;
  VariantInit(&odd);
  odd.vt = 0x77;
  EXPECT_EQ(VariantClear(&odd), DISP_E_BADVARTYPE);
  EXPECT_EQ(odd.vt, 0x77);
}

TEST(Variant, ByReferenceReadsTheCallersMemory) {
  LONG pixels[3] = {0x00112233, 0x00445566, 0x00778899};
  VARIANT ref;
  VariantInit(&ref);
  ref.vt = VT_BYREF | VT_I4;
  ref.plVal = pixels;
  VARIANT value;
  VariantInit(&value);
  ASSERT_EQ(VariantChangeType(&value, &ref, 0, VT_I4), S_OK);
  EXPECT_EQ(value.vt, VT_I4);
  EXPECT_EQ(value.lVal, 0x00112233);
  ASSERT_EQ(VariantCopyInd(&value, &ref), S_OK);
  EXPECT_EQ(value.lVal, 0x00112233);
  // Clearing a by-reference variant frees nothing of the caller's.
  EXPECT_EQ(VariantClear(&ref), S_OK);
  EXPECT_EQ(pixels[0], 0x00112233);
}

struct ConversionRow {
  const char* what;
  VARIANT source;
  VARTYPE target;
  HRESULT expected;
  LONGLONG asInteger;  // for integer and boolean targets
  const char* asText;  // for VT_BSTR targets
};

LONGLONG IntegerOf(const VARIANT& v) {
  switch (v.vt) {
    case VT_I2: return v.iVal;
    case VT_I4: return v.lVal;
    case VT_UI1: return v.bVal;
    case VT_BOOL: return v.boolVal;
    case VT_ERROR: return v.scode;
    default: return -999999;
  }
}

TEST(VariantChangeType, ConvertsWhatInvokeAndDispatchMapsNeed) {
  ConversionRow rows[] = {
      {"i2 widens to i4", MakeI2(-7), VT_I4, S_OK, -7, nullptr},
      {"i4 narrows to i2", MakeI4(128), VT_I2, S_OK, 128, nullptr},
      {"i4 too big for i2", MakeI4(40000), VT_I2, DISP_E_OVERFLOW, 0, nullptr},
      {"negative to ui1", MakeI4(-1), VT_UI1, DISP_E_OVERFLOW, 0, nullptr},
      {"true is -1", MakeBool(true), VT_I4, S_OK, -1, nullptr},
      {"nonzero is VARIANT_TRUE", MakeI4(5), VT_BOOL, S_OK, VARIANT_TRUE, nullptr},
      {"zero is VARIANT_FALSE", MakeI4(0), VT_BOOL, S_OK, VARIANT_FALSE, nullptr},
      {"empty is zero", MakeEmpty(), VT_I4, S_OK, 0, nullptr},
      {"empty is false", MakeEmpty(), VT_BOOL, S_OK, VARIANT_FALSE, nullptr},
      {"null converts to nothing", MakeNull(), VT_I4, DISP_E_TYPEMISMATCH, 0, nullptr},
      {"half rounds to even", MakeR8(2.5), VT_I4, S_OK, 2, nullptr},
      {"other half rounds to even", MakeR8(3.5), VT_I4, S_OK, 4, nullptr},
      {"huge real overflows", MakeR8(1e12), VT_I4, DISP_E_OVERFLOW, 0, nullptr},
      {"decimal text", MakeBstr(" -123 "), VT_I4, S_OK, -123, nullptr},
      {"text that is no number", MakeBstr("12abc"), VT_I4, DISP_E_TYPEMISMATCH, 0, nullptr},
      {"True text", MakeBstr("true"), VT_BOOL, S_OK, VARIANT_TRUE, nullptr},
      {"numeric text to bool", MakeBstr("0"), VT_BOOL, S_OK, VARIANT_FALSE, nullptr},
      {"i4 to text", MakeI4(-42), VT_BSTR, S_OK, 0, "-42"},
      {"bool to text", MakeBool(false), VT_BSTR, S_OK, 0, "False"},
      {"real to text", MakeR8(0.5), VT_BSTR, S_OK, 0, "0.5"},
      {"empty to text", MakeEmpty(), VT_BSTR, S_OK, 0, ""},
      {"error stays error", MakeError(DISP_E_PARAMNOTFOUND), VT_ERROR, S_OK, DISP_E_PARAMNOTFOUND, nullptr},
      {"error is no number", MakeError(E_FAIL), VT_I4, DISP_E_TYPEMISMATCH, 0, nullptr},
  };
  for (ConversionRow& row : rows) {
    VARIANT out;
    VariantInit(&out);
    HRESULT hr = VariantChangeType(&out, &row.source, 0, row.target);
    EXPECT_EQ(hr, row.expected) << row.what;
    if (SUCCEEDED(hr)) {
      EXPECT_EQ(out.vt, row.target) << row.what;
      if (row.asText != nullptr)
        EXPECT_EQ(Text(out), row.asText) << row.what;
      else
        EXPECT_EQ(IntegerOf(out), row.asInteger) << row.what;
    } else {
      EXPECT_EQ(out.vt, VT_EMPTY) << row.what << ": a failed conversion leaves the destination alone";
    }
    VariantClear(&out);
    VariantClear(&row.source);
  }
}

TEST(VariantChangeType, ConvertsInPlaceAndFreesTheOldValue) {
  VARIANT v = MakeBstr("77");
  ASSERT_EQ(VariantChangeType(&v, &v, 0, VT_I2), S_OK);
  EXPECT_EQ(v.vt, VT_I2);
  EXPECT_EQ(v.iVal, 77);
  // A failed conversion in place keeps the value.
  VARIANT w = MakeBstr("seven");
  EXPECT_EQ(VariantChangeType(&w, &w, 0, VT_I4), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(w.vt, VT_BSTR);
  EXPECT_EQ(Text(w), "seven");
  VariantClear(&w);
}

TEST(VariantChangeType, ReadsADispatchObjectsDefaultValue) {
  Counted object;
  VARIANT d;
  VariantInit(&d);
  d.vt = VT_DISPATCH;
  d.pdispVal = &object;
  VARIANT out;
  VariantInit(&out);
  ASSERT_EQ(VariantChangeType(&out, &d, 0, VT_I4), S_OK);
  EXPECT_EQ(out.lVal, 42);
  EXPECT_EQ(VariantChangeType(&out, &d, VARIANT_NOVALUEPROP, VT_I4), DISP_E_TYPEMISMATCH);
  ASSERT_EQ(VariantChangeType(&out, &d, 0, VT_UNKNOWN), S_OK);
  EXPECT_EQ(object.References(), 2u);
  VariantClear(&out);
  EXPECT_EQ(object.References(), 1u);
}
}  // namespace
