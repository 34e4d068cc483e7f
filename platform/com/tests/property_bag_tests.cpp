#include <gtest/gtest.h>

#include "platform/com/com_ptr.h"
#include "platform/testing/memory_property_bag.h"
#include "platform/testing/variant_values.h"

namespace kp::com {
namespace {
using kp::testing::MakeBool;
using kp::testing::MakeI4;

TEST(MemoryPropertyBag, StoresNamedValuesAndConvertsOnRead) {
  ComPtr<IPropertyBag> bag;
  ASSERT_EQ(CreateMemoryPropertyBag(bag.put()), S_OK);
  VARIANT version = MakeI4(0x00010000);
  VARIANT droppable = MakeBool(true);
  ASSERT_EQ(bag->Write("_Version", &version), S_OK);
  ASSERT_EQ(bag->Write("InitiallyDroppable", &droppable), S_OK);
  EXPECT_EQ(PropertyBagNames(bag.get()), (std::vector<std::string>{"_Version", "InitiallyDroppable"}));

  VARIANT out;
  VariantInit(&out);
  ASSERT_EQ(bag->Read("_version", &out, nullptr), S_OK);  // names ignore case
  EXPECT_EQ(out.vt, VT_I4);
  EXPECT_EQ(out.lVal, 0x00010000);
  VariantInit(&out);
  out.vt = VT_I4;  // the type the reader wants
  ASSERT_EQ(bag->Read("InitiallyDroppable", &out, nullptr), S_OK);
  EXPECT_EQ(out.vt, VT_I4);
  EXPECT_EQ(out.lVal, -1);
  VariantInit(&out);
  EXPECT_EQ(bag->Read("_ExtentX", &out, nullptr), E_INVALIDARG);
}

TEST(MemoryPropertyBag, KeepsValuesNotReferences) {
  ComPtr<IPropertyBag> bag;
  ASSERT_EQ(CreateMemoryPropertyBag(bag.put()), S_OK);
  LONG extent = 1323;
  VARIANT byRef;
  VariantInit(&byRef);
  byRef.vt = VT_BYREF | VT_I4;
  byRef.plVal = &extent;
  ASSERT_EQ(bag->Write("_ExtentX", &byRef), S_OK);
  extent = 0;
  VARIANT out;
  VariantInit(&out);
  ASSERT_EQ(bag->Read("_ExtentX", &out, nullptr), S_OK);
  EXPECT_EQ(out.vt, VT_I4);
  EXPECT_EQ(out.lVal, 1323);
  // Writing again replaces the value.
  VARIANT text;
  VariantInit(&text);
  text.vt = VT_BSTR;
  text.bstrVal = SysAllocString("4815");
  ASSERT_EQ(bag->Write("_EXTENTX", &text), S_OK);
  VariantClear(&text);
  VariantInit(&out);
  out.vt = VT_I4;
  ASSERT_EQ(bag->Read("_ExtentX", &out, nullptr), S_OK);
  EXPECT_EQ(out.lVal, 4815);
  EXPECT_EQ(PropertyBagNames(bag.get()).size(), 1u);
}
}  // namespace
}  // namespace kp::com
