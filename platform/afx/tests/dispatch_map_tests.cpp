#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/afx/cmd_target.h"
#include "platform/afx/ole_dispatch_exception.h"
#include "platform/afx/tests/dispatch_test_support.h"

// Named, not anonymous: run-time classes are registered globally by name.
namespace dispatch_map_tests {

using namespace afx_test;

// An object shaped like a bitmap control's automation face.
class CAutoObject : public CCmdTarget {
  DECLARE_DYNCREATE(CAutoObject)
 public:
  CAutoObject() { EnableAutomation(); }

  BOOL m_bDroppable = TRUE;
  int m_nChanged = 0;
  const LONG* m_pPixels = nullptr;
  LONG m_lPixelSum = 0;
  SHORT m_sx = 0, m_sy = 0;
  std::string m_path;
  LONG m_lHandle = 0;
  double m_dScale = 0;
  BOOL m_bScaleFlag = FALSE;
  VARTYPE m_vtTaken = VT_EMPTY;

 protected:
  void OnDroppableChanged() { ++m_nChanged; }
  BOOL RecreateBitmap(LONG* rgb, SHORT sx, SHORT sy) {
    m_pPixels = rgb;
    m_sx = sx;
    m_sy = sy;
    m_lPixelSum = 0;
    for (int i = 0; i < sx * sy; ++i) m_lPixelSum += rgb[i];
    return sx > 0 && sy > 0;
  }
  BOOL RecreateBitmapFromFile(LPCTSTR pathname) {
    m_path = pathname;
    return !m_path.empty();
  }
  LONG GetBitmapHandle() { return 0x1234; }
  BOOL SetBitmapHandle(LONG hbm) {
    m_lHandle = hbm;
    return hbm != 0;
  }
  void Scale(double factor, BOOL flag) {
    m_dScale = factor;
    m_bScaleFlag = flag;
  }
  BSTR Describe(SHORT* counter) {
    ++*counter;
    return SysAllocString("described");
  }
  void TakeVariant(const VARIANT& v) { m_vtTaken = v.vt; }
  BOOL Fail() { AfxThrowOleDispatchException(42, "no bitmap to save"); }

  DECLARE_DISPATCH_MAP()
};

IMPLEMENT_DYNCREATE(CAutoObject, CCmdTarget)

BEGIN_DISPATCH_MAP(CAutoObject, CCmdTarget)
DISP_PROPERTY_NOTIFY(CAutoObject, "InitiallyDroppable", m_bDroppable, OnDroppableChanged, VT_BOOL)
DISP_FUNCTION(CAutoObject, "RecreateBitmap", RecreateBitmap, VT_BOOL, VTS_PI4 VTS_I2 VTS_I2)
DISP_FUNCTION(CAutoObject, "RecreateBitmapFromFile", RecreateBitmapFromFile, VT_BOOL, VTS_BSTR)
DISP_FUNCTION(CAutoObject, "GetBitmapHandle", GetBitmapHandle, VT_I4, VTS_NONE)
DISP_FUNCTION(CAutoObject, "SetBitmapHandle", SetBitmapHandle, VT_BOOL, VTS_I4)
DISP_FUNCTION(CAutoObject, "Scale", Scale, VT_EMPTY, VTS_R8 VTS_BOOL)
DISP_FUNCTION(CAutoObject, "Describe", Describe, VT_BSTR, VTS_PI2)
DISP_FUNCTION_ID(CAutoObject, "TakeVariant", 100, TakeVariant, VT_EMPTY, VTS_VARIANT)
DISP_FUNCTION_ID(CAutoObject, "Fail", 101, Fail, VT_BOOL, VTS_NONE)
DISP_DEFVALUE(CAutoObject, "InitiallyDroppable")
END_DISPATCH_MAP()

// A derived class's own entries count from 1; the base's move to depth 1.
class CAutoDerived : public CAutoObject {
  DECLARE_DYNCREATE(CAutoDerived)
 protected:
  LONG Extra() { return 7; }
  DECLARE_DISPATCH_MAP()
};
IMPLEMENT_DYNCREATE(CAutoDerived, CAutoObject)
BEGIN_DISPATCH_MAP(CAutoDerived, CAutoObject)
DISP_FUNCTION(CAutoDerived, "Extra", Extra, VT_I4, VTS_NONE)
END_DISPATCH_MAP()

DISPID IdOf(IDispatch* d, const char* name) {
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  DISPID id = 12345;
  EXPECT_EQ(d->GetIDsOfNames(IID_NULL, names, 1, 0, &id), S_OK) << name;
  return id;
}

// A fresh automation object for each test, its IDispatch, and no arguments.
class DispatchMap : public ::testing::Test {
 protected:
  CAutoObject object;
  IDispatch* d = object.GetIDispatch(FALSE);
  Args none{};
};

TEST_F(DispatchMap, MembersGetTheirPositionAsDispidAndNamesMatchWithoutCase) {
  struct Row {
    const char* name;
    DISPID id;
  } rows[] = {{"InitiallyDroppable", 1},     {"initiallydroppable", 1}, {"RECREATEBITMAP", 2},
              {"RecreateBitmapFromFile", 3}, {"GetBitmapHandle", 4},    {"SetBitmapHandle", 5},
              {"TakeVariant", 100}};
  for (const Row& row : rows) EXPECT_EQ(IdOf(d, row.name), row.id) << row.name;
}

TEST_F(DispatchMap, UnknownNamesAndParameterNamesAreReportedPerSlot) {
  LPOLESTR unknown[] = {const_cast<LPOLESTR>("NoSuchMember")};
  DISPID id = 0;
  EXPECT_EQ(d->GetIDsOfNames(IID_NULL, unknown, 1, 0, &id), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(id, DISPID_UNKNOWN);

  LPOLESTR withParam[] = {const_cast<LPOLESTR>("RecreateBitmap"), const_cast<LPOLESTR>("sx")};
  DISPID ids[2] = {0, 0};
  EXPECT_EQ(d->GetIDsOfNames(IID_NULL, withParam, 2, 0, ids), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(ids[0], 2);
  EXPECT_EQ(ids[1], DISPID_UNKNOWN);

  EXPECT_EQ(d->GetIDsOfNames(IID_IDispatch, unknown, 1, 0, &id), DISP_E_UNKNOWNINTERFACE);
}

TEST_F(DispatchMap, ByReferencePixelsArriveAsThePointerIntoTheCallersArray) {
  LONG pixels[6] = {1, 2, 3, 4, 5, 6};
  Args args{MakeRefI4(pixels), MakeI2(3), MakeI2(2)};
  Result result;
  ASSERT_EQ(Call(object.GetIDispatch(FALSE), 2, DISPATCH_METHOD, args.get(), &result.v), S_OK);
  EXPECT_EQ(object.m_pPixels, pixels);
  EXPECT_EQ(object.m_lPixelSum, 21);
  EXPECT_EQ(result.v.vt, VT_BOOL);
  EXPECT_EQ(result.v.boolVal, VARIANT_TRUE);
}

TEST_F(DispatchMap, ByValueArgumentsAreCoercedToTheirVtsType) {
  LONG pixel = 9;
  // Widths as a 32-bit integer and as text both reach the SHORT parameter.
  Args args{MakeRefI4(&pixel), MakeI4(1), MakeBstr("1")};
  Result result;
  ASSERT_EQ(Call(object.GetIDispatch(FALSE), 2, DISPATCH_METHOD, args.get(), &result.v), S_OK);
  EXPECT_EQ(object.m_sx, 1);
  EXPECT_EQ(object.m_sy, 1);

  Args scale{MakeBstr("2.5"), MakeI4(5)};
  ASSERT_EQ(Call(object.GetIDispatch(FALSE), 6, DISPATCH_METHOD, scale.get()), S_OK);
  EXPECT_DOUBLE_EQ(object.m_dScale, 2.5);
  EXPECT_EQ(object.m_bScaleFlag, TRUE);
}

TEST_F(DispatchMap, WrongArgumentsFailWithTheIndexOfTheCulprit) {
  LONG pixel = 0;
  SHORT shortValue = 1;
  struct Row {
    const char* what;
    std::vector<VARIANT> args;
    HRESULT expected;
    UINT argErr;  // index in rgvarg: the last argument is 0
  };
  std::vector<Row> rows;
  rows.push_back({"pixels by value", {MakeI4(5), MakeI2(1), MakeI2(1)}, DISP_E_TYPEMISMATCH, 2});
  rows.push_back(
      {"pixels as a short reference", {MakeRefI2(&shortValue), MakeI2(1), MakeI2(1)}, DISP_E_TYPEMISMATCH, 2});
  rows.push_back({"width as text", {MakeRefI4(&pixel), MakeBstr("wide"), MakeI2(1)}, DISP_E_TYPEMISMATCH, 1});
  rows.push_back({"height too big for a short", {MakeRefI4(&pixel), MakeI2(1), MakeI4(70000)}, DISP_E_OVERFLOW, 0});
  rows.push_back({"height left out", {MakeRefI4(&pixel), MakeI2(1), MakeMissing()}, DISP_E_PARAMNOTOPTIONAL, 0});
  for (Row& row : rows) {
    std::vector<VARIANT> reversed(row.args.rbegin(), row.args.rend());
    DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    UINT argErr = 99;
    EXPECT_EQ(Call(object.GetIDispatch(FALSE), 2, DISPATCH_METHOD, &params, nullptr, &argErr), row.expected)
        << row.what;
    EXPECT_EQ(argErr, row.argErr) << row.what;
    for (VARIANT& v : row.args) VariantClear(&v);
  }
  EXPECT_EQ(object.m_pPixels, nullptr) << "no failed call reached the handler";
}

TEST_F(DispatchMap, WrongArgumentCountsAndNamedArgumentsFail) {
  Args one{MakeI4(1)};
  Args two{MakeI4(1), MakeI4(2)};
  EXPECT_EQ(Call(d, 5, DISPATCH_METHOD, none.get()), DISP_E_PARAMNOTOPTIONAL);
  EXPECT_EQ(Call(d, 5, DISPATCH_METHOD, two.get()), DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(Call(d, 4, DISPATCH_METHOD, one.get()), DISP_E_BADPARAMCOUNT);
  Args named{MakeI4(3)};
  named.AsPut();
  EXPECT_EQ(Call(d, 5, DISPATCH_METHOD, named.get()), DISP_E_NONAMEDARGS);
  EXPECT_EQ(object.m_lHandle, 0);
  EXPECT_EQ(Call(d, 5, DISPATCH_METHOD, one.get()), S_OK);
  EXPECT_EQ(object.m_lHandle, 1);
}

TEST_F(DispatchMap, ResultsArePackedAsTheirDeclaredType) {
  Result handle;
  ASSERT_EQ(Call(d, 4, DISPATCH_METHOD | DISPATCH_PROPERTYGET, none.get(), &handle.v), S_OK);
  EXPECT_EQ(handle.v.vt, VT_I4);
  EXPECT_EQ(handle.v.lVal, 0x1234);
  EXPECT_EQ(Call(d, 4, DISPATCH_METHOD, none.get(), nullptr), S_OK) << "a caller may ignore the result";

  SHORT counter = 4;
  Args ref{MakeRefI2(&counter)};
  Result text;
  ASSERT_EQ(Call(d, 7, DISPATCH_METHOD, ref.get(), &text.v), S_OK);
  EXPECT_EQ(counter, 5) << "the handler wrote through the caller's reference";
  ASSERT_EQ(text.v.vt, VT_BSTR);
  EXPECT_STREQ(text.v.bstrVal, "described");

  Result nothing;
  nothing.v.vt = VT_I4;
  Args scale{MakeR8(1.0), MakeBool(false)};
  ASSERT_EQ(Call(d, 6, DISPATCH_METHOD, scale.get(), &nothing.v), S_OK);
  EXPECT_EQ(nothing.v.vt, VT_EMPTY);
}

TEST_F(DispatchMap, StringArgumentsArriveAsTextAndANullStringAsEmpty) {
  Args path{MakeBstr("/tmp/f\xC3\xBCr.bmp")};
  Result ok;
  ASSERT_EQ(Call(d, 3, DISPATCH_METHOD, path.get(), &ok.v), S_OK);
  EXPECT_EQ(object.m_path, "/tmp/f\xC3\xBCr.bmp");
  EXPECT_EQ(ok.v.boolVal, VARIANT_TRUE);

  VARIANT nullText;
  VariantInit(&nullText);
  nullText.vt = VT_BSTR;
  nullText.bstrVal = nullptr;
  Args empty{nullText};
  Result failed;
  ASSERT_EQ(Call(d, 3, DISPATCH_METHOD, empty.get(), &failed.v), S_OK);
  EXPECT_EQ(object.m_path, "");
  EXPECT_EQ(failed.v.boolVal, VARIANT_FALSE);
}

TEST_F(DispatchMap, VariantParametersReceiveTheArgumentAsGiven) {
  LONG value = 3;
  Args byRef{MakeRefI4(&value)};
  ASSERT_EQ(Call(object.GetIDispatch(FALSE), 100, DISPATCH_METHOD, byRef.get()), S_OK);
  EXPECT_EQ(object.m_vtTaken, VT_I4 | VT_BYREF);
}

TEST_F(DispatchMap, PropertyGetAndPutReachTheMemberAndNotifyAfterEachPut) {
  Result value;
  ASSERT_EQ(Call(d, 1, DISPATCH_PROPERTYGET, none.get(), &value.v), S_OK);
  EXPECT_EQ(value.v.vt, VT_BOOL);
  EXPECT_EQ(value.v.boolVal, VARIANT_TRUE);

  Args putFalse{MakeI4(0)};
  putFalse.AsPut();
  ASSERT_EQ(Call(d, 1, DISPATCH_PROPERTYPUT, putFalse.get()), S_OK);
  EXPECT_EQ(object.m_bDroppable, FALSE);
  EXPECT_EQ(object.m_nChanged, 1);

  Args putTrue{MakeBool(true)};  // without the named DISPID_PROPERTYPUT
  ASSERT_EQ(Call(d, 1, DISPATCH_PROPERTYPUT, putTrue.get()), S_OK);
  EXPECT_EQ(object.m_bDroppable, TRUE);
  EXPECT_EQ(object.m_nChanged, 2);
}

TEST_F(DispatchMap, PropertyAccessOfTheWrongShapeFails) {
  Args one{MakeI4(1)};
  Args two{MakeI4(1), MakeI4(2)};
  Args text{MakeBstr("maybe")};
  UINT argErr = 9;
  EXPECT_EQ(Call(d, 1, DISPATCH_PROPERTYGET, one.get()), DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(Call(d, 1, DISPATCH_PROPERTYPUT, two.get()), DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(Call(d, 1, DISPATCH_PROPERTYPUT, text.get(), nullptr, &argErr), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(argErr, 0u);
  EXPECT_EQ(Call(d, 1, DISPATCH_METHOD, none.get()), DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(Call(d, 4, DISPATCH_PROPERTYPUT, one.get()), DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(Call(d, 99, DISPATCH_METHOD, none.get()), DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(d->Invoke(1, IID_IDispatch, 0, DISPATCH_PROPERTYGET, none.get(), nullptr, nullptr, nullptr),
            DISP_E_UNKNOWNINTERFACE);
  EXPECT_EQ(object.m_nChanged, 0);
}

TEST_F(DispatchMap, DispidZeroIsTheDefaultValueProperty) {
  for (BOOL stored : {TRUE, FALSE}) {
    object.m_bDroppable = stored;
    Result byZero, byOne;
    ASSERT_EQ(Call(d, DISPID_VALUE, DISPATCH_PROPERTYGET, none.get(), &byZero.v), S_OK);
    ASSERT_EQ(Call(d, 1, DISPATCH_PROPERTYGET, none.get(), &byOne.v), S_OK);
    EXPECT_EQ(byZero.v.vt, VT_BOOL);
    EXPECT_EQ(byZero.v.boolVal, byOne.v.boolVal);
  }
  Args put{MakeBool(true)};
  put.AsPut();
  ASSERT_EQ(Call(d, DISPID_VALUE, DISPATCH_PROPERTYPUT, put.get()), S_OK);
  EXPECT_EQ(object.m_bDroppable, TRUE);
  EXPECT_EQ(object.m_nChanged, 1);
}

TEST_F(DispatchMap, AHandlersDispatchExceptionBecomesDispEException) {
  EXCEPINFO info{};
  Result result;
  EXPECT_EQ(
      object.GetIDispatch(FALSE)->Invoke(101, IID_NULL, 0, DISPATCH_METHOD, none.get(), &result.v, &info, nullptr),
      DISP_E_EXCEPTION);
  EXPECT_EQ(info.wCode, 42);
  EXPECT_STREQ(info.bstrDescription, "no bitmap to save");
  SysFreeString(info.bstrDescription);
  SysFreeString(info.bstrSource);
  SysFreeString(info.bstrHelpFile);
}

TEST_F(DispatchMap, ABaseClassesEntriesMoveToTheNextDepth) {
  CAutoDerived derived;
  IDispatch* extended = derived.GetIDispatch(FALSE);
  EXPECT_EQ(IdOf(extended, "Extra"), 1);
  EXPECT_EQ(IdOf(extended, "GetBitmapHandle"), 0x00010004);
  Result extra, handle;
  ASSERT_EQ(Call(extended, 1, DISPATCH_METHOD, none.get(), &extra.v), S_OK);
  EXPECT_EQ(extra.v.lVal, 7);
  ASSERT_EQ(Call(extended, 0x00010004, DISPATCH_METHOD, none.get(), &handle.v), S_OK);
  EXPECT_EQ(handle.v.lVal, 0x1234);
  Result value;
  ASSERT_EQ(Call(extended, DISPID_VALUE, DISPATCH_PROPERTYGET, none.get(), &value.v), S_OK)
      << "the base's default value is inherited";
  EXPECT_EQ(value.v.boolVal, VARIANT_TRUE);
}

}  // namespace dispatch_map_tests
