#include <gtest/gtest.h>

#include <dlfcn.h>

#include <vector>

#include "platform/afx/ole_init.h"
#include "platform/afx/tests/drop_test/drop_test_ids.h"
#include "platform/com/com_ptr.h"
#include "platform/com/com_runtime.h"
#include "platform/com/connection_point.h"
#include "platform/testing/memory_property_bag.h"
#include "platform/com/memory_stream.h"
#include "platform/com/ole_control.h"
#include "platform/com/ole_inplace.h"
#include "platform/com/ole_object.h"
#include "platform/com/persist.h"
#include "platform/com/property_page.h"
#include "platform/testing/temp_registry.h"

namespace ole_control_tests {
namespace {

using kp::com::ComPtr;
using namespace drop_test;

// A drop test control made by class id, as a container makes it, but never
// given a window: its COM faces work without one.
class OleControlObject : public ::testing::Test {
 protected:
  void SetUp() override {
    kp::testing::UseFreshRegistry();
    ASSERT_TRUE(AfxOleInit());
    void* module = dlopen(DROP_TEST_MODULE, RTLD_NOW | RTLD_LOCAL);
    auto reg = module != nullptr ? reinterpret_cast<HRESULT (*)()>(dlsym(module, "DllRegisterServer")) : nullptr;
    ASSERT_NE(reg, nullptr);
    ASSERT_EQ(reg(), S_OK);
    ASSERT_EQ(CoCreateInstance(CLSID_DropTestCtrl, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, m_control.put_void()),
              S_OK);
  }

  template <typename I>
  ComPtr<I> As(REFIID iid) {
    ComPtr<I> result;
    EXPECT_EQ(m_control.As(iid, result), S_OK);
    return result;
  }

  BOOL Droppable() {
    ComPtr<IDispatch> dispatch = As<IDispatch>(IID_IDispatch);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    VARIANT value;
    VariantInit(&value);
    EXPECT_EQ(dispatch->Invoke(DispDroppable, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &value, nullptr, nullptr),
              S_OK);
    return value.boolVal != VARIANT_FALSE;
  }

  ComPtr<IUnknown> m_control;
};

// 17 bytes: version, extents 100 x 200, no stock properties, byte 0x00.
const std::vector<BYTE> kStream = {0x00, 0x00, 0x01, 0x00, 100, 0, 0, 0, 200, 0, 0, 0, 0, 0, 0, 0, 0x00};

TEST_F(OleControlObject, EveryInterfaceLeadsBackToOneObject) {
  ComPtr<IUnknown> identity = As<IUnknown>(IID_IUnknown);
  for (const IID* iid : {&IID_IDispatch, &DIID_DDropTest, &IID_IOleObject, &IID_IOleInPlaceObject, &IID_IPersistStreamInit,
                         &IID_IPersistPropertyBag, &IID_IConnectionPointContainer, &IID_ISpecifyPropertyPages,
                         &IID_IProvideClassInfo2}) {
    ComPtr<IUnknown> part;
    ASSERT_EQ(m_control->QueryInterface(*iid, part.put_void()), S_OK) << GuidToString(*iid);
    ComPtr<IUnknown> back;
    ASSERT_EQ(part->QueryInterface(IID_IUnknown, back.put_void()), S_OK);
    EXPECT_EQ(back.get(), identity.get()) << GuidToString(*iid);
  }
  ComPtr<IDispatch> primary = As<IDispatch>(DIID_DDropTest);
  EXPECT_EQ(primary.get(), As<IDispatch>(IID_IDispatch).get()) << "the primary dispatch IID is the control's IDispatch";
}

TEST_F(OleControlObject, ATruncatedStreamFailsTheLoadAndLeavesTheDefaults) {
  ComPtr<IPersistStreamInit> persist = As<IPersistStreamInit>(IID_IPersistStreamInit);
  ComPtr<IStream> whole;
  ASSERT_EQ(kp::com::CreateStreamOnBytes(kStream, whole.put()), S_OK);
  ASSERT_EQ(persist->Load(whole.get()), S_OK);
  EXPECT_FALSE(Droppable());

  std::vector<BYTE> cut(kStream.begin(), kStream.end() - 1);
  ComPtr<IStream> truncated;
  ASSERT_EQ(kp::com::CreateStreamOnBytes(cut, truncated.put()), S_OK);
  EXPECT_EQ(persist->Load(truncated.get()), E_FAIL);
  EXPECT_TRUE(Droppable()) << "InitiallyDroppable is back at its default";
  ULARGE_INTEGER size{};
  ASSERT_EQ(persist->GetSizeMax(&size), S_OK);
  EXPECT_EQ(size.QuadPart, 17u);
}

TEST_F(OleControlObject, APropertyBagHoldsTheSamePropertiesByName) {
  ComPtr<IPersistStreamInit> stream = As<IPersistStreamInit>(IID_IPersistStreamInit);
  ComPtr<IStream> bytes;
  ASSERT_EQ(kp::com::CreateStreamOnBytes(kStream, bytes.put()), S_OK);
  ASSERT_EQ(stream->Load(bytes.get()), S_OK);

  ComPtr<IPersistPropertyBag> persist = As<IPersistPropertyBag>(IID_IPersistPropertyBag);
  ComPtr<IPropertyBag> bag;
  ASSERT_EQ(kp::com::CreateMemoryPropertyBag(bag.put()), S_OK);
  ASSERT_EQ(persist->Save(bag.get(), TRUE, TRUE), S_OK);
  EXPECT_EQ(kp::com::PropertyBagNames(bag.get()),
            (std::vector<std::string>{"_Version", "_ExtentX", "_ExtentY", "_StockProps", "InitiallyDroppable"}));

  ASSERT_EQ(persist->InitNew(), S_OK);
  EXPECT_TRUE(Droppable());
  ASSERT_EQ(persist->Load(bag.get(), nullptr), S_OK);
  EXPECT_FALSE(Droppable());
  ComPtr<IOleObject> object = As<IOleObject>(IID_IOleObject);
  SIZEL extent{};
  ASSERT_EQ(object->GetExtent(DVASPECT_CONTENT, &extent), S_OK);
  EXPECT_EQ(extent.cx, 100);
  EXPECT_EQ(extent.cy, 200);
}

TEST_F(OleControlObject, TheEventInterfaceIsTheOnlyConnectionPointAndPagesAreListed) {
  ComPtr<IProvideClassInfo2> info = As<IProvideClassInfo2>(IID_IProvideClassInfo2);
  GUID events{};
  ASSERT_EQ(info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &events), S_OK);
  EXPECT_EQ(events, DIID_DDropTestEvents);
  ComPtr<ITypeInfo> classInfo;
  ASSERT_EQ(info->GetClassInfo(classInfo.put()), S_OK) << "from the registered type library";
  TYPEATTR* attributes = nullptr;
  ASSERT_EQ(classInfo->GetTypeAttr(&attributes), S_OK);
  EXPECT_EQ(attributes->guid, CLSID_DropTestCtrl);
  classInfo->ReleaseTypeAttr(attributes);

  ComPtr<IConnectionPointContainer> container = As<IConnectionPointContainer>(IID_IConnectionPointContainer);
  ComPtr<IConnectionPoint> point;
  EXPECT_EQ(container->FindConnectionPoint(DIID_DDropTestEvents, point.put()), S_OK);
  EXPECT_EQ(container->FindConnectionPoint(DIID_DDropTest, point.put()), CONNECT_E_NOCONNECTION);

  ComPtr<ISpecifyPropertyPages> pages = As<ISpecifyPropertyPages>(IID_ISpecifyPropertyPages);
  CAUUID ids{};
  ASSERT_EQ(pages->GetPages(&ids), S_OK);
  ASSERT_EQ(ids.cElems, 1u);
  EXPECT_EQ(ids.pElems[0], CLSID_DropTestPropPage);
  CoTaskMemFree(ids.pElems);
}

TEST_F(OleControlObject, NamesResolveThroughTheDispatchMapAndTheTypeLibrary) {
  ComPtr<IDispatch> dispatch = As<IDispatch>(IID_IDispatch);
  struct Row {
    const char* name;
    DISPID id;
  } rows[] = {{"InitiallyDroppable", DispDroppable},
              {"RecreateBitmap", DispRecreateBitmap},
              {"_InitiallyDroppable", DispDroppableDefault}};
  for (const Row& row : rows) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(row.name)};
    DISPID id = DISPID_UNKNOWN;
    EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, names, 1, 0, &id), S_OK) << row.name;
    EXPECT_EQ(id, row.id) << row.name;
  }
  LPOLESTR withParameter[] = {const_cast<LPOLESTR>("RecreateBitmap"), const_cast<LPOLESTR>("sx")};
  DISPID ids[2] = {};
  ASSERT_EQ(dispatch->GetIDsOfNames(IID_NULL, withParameter, 2, 0, ids), S_OK)
      << "parameter names come from the type library";
  EXPECT_EQ(ids[0], DispRecreateBitmap);
  EXPECT_EQ(ids[1], 1) << "sx is the second parameter";
  UINT count = 0;
  ASSERT_EQ(dispatch->GetTypeInfoCount(&count), S_OK);
  EXPECT_EQ(count, 1u);
}

}  // namespace
}  // namespace ole_control_tests
