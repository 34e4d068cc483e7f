#include <string>
#include <vector>

#include "platform/com/ole_control.h"
#include "platform/com/property_page.h"
#include "platform/file/file.h"
#include "platform/testing/bmp_writer.h"
#include "platform/testing/memory_property_bag.h"
#include "platform/testing/temp_environment.h"
#include "tests/control/tavlet_fixture.h"

namespace tavlet_host {
namespace {

using kp::com::ComPtr;
using namespace tavlet;
using kp::testing::BitmapFile24;

using TavletHosting = TavletTest;

BOOL ReadDroppable(IDispatch* dispatch, DISPID dispid) {
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  VARIANT value;
  VariantInit(&value);
  EXPECT_EQ(dispatch->Invoke(dispid, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &value, nullptr, nullptr), S_OK);
  EXPECT_EQ(value.vt, VT_BOOL);
  return value.boolVal != VARIANT_FALSE;
}

std::string ValidBitmapFile() {
  return WriteTemporaryFile("drop.bmp", BitmapFile24(6, 4, [](int x, int y) { return DWORD(0x102030 * (x + y)); }));
}

TEST_F(TavletHosting, EachCreationRecordGivesInitiallyDroppableThroughDispidsZeroAndOne) {
  WithHost([](CHostDlg& dlg) {
    struct Row {
      int id;
      BOOL droppable;
    } rows[] = {{IDC_SLOT, TRUE}, {IDC_PREVIEW, FALSE}, {IDC_LANDSCAPE, TRUE}, {IDC_FINDER, TRUE}};
    for (const Row& row : rows) {
      CHostedTavlet& control = dlg.Control(row.id);
      EXPECT_EQ(dlg.GetDlgItem(row.id), &control) << "bound by DDX_Control";
      EXPECT_EQ(control.GetInitiallyDroppable(DispidInitiallyDroppable), row.droppable) << row.id;
      EXPECT_EQ(control.GetInitiallyDroppable(DispidDefaultValue), row.droppable) << row.id << ": dispid 0";
    }
  });
}

TEST_F(TavletHosting, EachControlWritesItsRecordStreamBackByteForByte) {
  WithHost([](CHostDlg& dlg) {
    for (int id : kControlIds) {
      ComPtr<IPersistStreamInit> persist =
          ControlInterface<IPersistStreamInit>(dlg.Control(id), IID_IPersistStreamInit);
      ASSERT_TRUE(persist);
      EXPECT_EQ(persist->IsDirty(), S_FALSE) << id;
      EXPECT_EQ(SavedStream(dlg.Control(id)), RecordStream(id)) << id << ": 0x70 stays 0x70, 0x01 stays 0x01";
    }
  });
}

TEST_F(TavletHosting, FilesDroppedFromAFileManagerReachOnlyControlsWhoseRecordAcceptsThem) {
  const std::string path = ValidBitmapFile();
  WithHost([&](CHostDlg& dlg) {
    struct Row {
      int id;
      bool accepts;
    } rows[] = {{IDC_SLOT, true}, {IDC_PREVIEW, false}, {IDC_LANDSCAPE, true}, {IDC_FINDER, true}};
    for (const Row& row : rows) {
      CHostedTavlet& control = dlg.Control(row.id);
      EXPECT_EQ(kp::testing::DropFiles(control.m_hWnd, POINT{5, 5}, {path}), row.accepts) << row.id;
      kp::testing::ProcessEvents();
      EXPECT_EQ(control.GetBitmapHandle() != 0, row.accepts) << row.id;
      EXPECT_EQ(dlg.ChangesOf(row.id), row.accepts ? 1 : 0) << row.id;
    }
  });
}

TEST_F(TavletHosting, PuttingThePropertyMarksTheControlAndChangesOnlyItsSavedByteNotTheWindow) {
  const std::string path = ValidBitmapFile();
  const std::string persisted = kp::testing::TemporaryRoot() + "/slot.stream";
  WithHost([&](CHostDlg& dlg) {
    ComPtr<IPersistStreamInit> persist = ControlInterface<IPersistStreamInit>(dlg.m_slot, IID_IPersistStreamInit);
    ASSERT_TRUE(persist);
    dlg.m_slot.SetInitiallyDroppable(FALSE);
    EXPECT_EQ(persist->IsDirty(), S_OK) << "the put marks the control modified";
    EXPECT_FALSE(dlg.m_slot.GetInitiallyDroppable());
    EXPECT_TRUE(kp::testing::DropFiles(dlg.m_slot.m_hWnd, POINT{5, 5}, {path})) << "the window still accepts drops";

    dlg.m_preview.SetInitiallyDroppable(TRUE);
    EXPECT_FALSE(kp::testing::DropFiles(dlg.m_preview.m_hWnd, POINT{5, 5}, {path})) << "and this one still refuses";

    std::vector<BYTE> expected = RecordStream(IDC_SLOT);
    expected[kStreamInitiallyDroppableOffset] = 0x00;
    std::vector<BYTE> saved = SavedStream(dlg.m_slot);
    EXPECT_EQ(saved, expected);
    std::vector<BYTE> preview = RecordStream(IDC_PREVIEW);
    preview[kStreamInitiallyDroppableOffset] = 0x01;
    EXPECT_EQ(SavedStream(dlg.m_preview), preview);
    WriteTemporaryFile("slot.stream", saved);
  });

  // A control made from the saved stream refuses drops from the start.
  CDialog empty(IDD_EMPTY);
  kp::testing::RunModalWith(empty, [&] {
    CFile file(persisted.c_str(), CFile::modeRead | CFile::shareDenyWrite);
    CHostedTavlet loaded;
    ASSERT_TRUE(loaded.CreateControl(CLSID_Tavlet, nullptr, WS_VISIBLE, RECT{10, 10, 60, 60}, &empty, 2000, &file));
    EXPECT_FALSE(loaded.GetInitiallyDroppable());
    EXPECT_FALSE(kp::testing::DropFiles(loaded.m_hWnd, POINT{5, 5}, {path}));
    CHostedTavlet fresh;
    ASSERT_TRUE(fresh.CreateControl(CLSID_Tavlet, nullptr, WS_VISIBLE, RECT{70, 10, 120, 60}, &empty, 2001));
    EXPECT_TRUE(fresh.GetInitiallyDroppable()) << "a new control is reset to the default";
    EXPECT_TRUE(kp::testing::DropFiles(fresh.m_hWnd, POINT{5, 5}, {path}));
    empty.EndDialog(IDOK);
  });
}

TEST_F(TavletHosting, TheControlShowsItsVerbExtentsStatusAndTypeToItsContainer) {
  WithHost([](CHostDlg& dlg) {
    struct Row {
      int id;
      LONG cx, cy;
    } rows[] = {
        {IDC_SLOT, 1323, 1376}, {IDC_PREVIEW, 4815, 4604}, {IDC_LANDSCAPE, 10398, 5159}, {IDC_FINDER, 7911, 7435}};
    for (const Row& row : rows) {
      ComPtr<IOleObject> object = ControlInterface<IOleObject>(dlg.Control(row.id), IID_IOleObject);
      ASSERT_TRUE(object);
      SIZEL extent{};
      ASSERT_EQ(object->GetExtent(DVASPECT_CONTENT, &extent), S_OK);
      EXPECT_EQ(extent.cx, row.cx) << row.id;
      EXPECT_EQ(extent.cy, row.cy) << row.id;
    }
    ComPtr<IOleObject> object = ControlInterface<IOleObject>(dlg.m_slot, IID_IOleObject);
    ComPtr<IEnumOLEVERB> verbs;
    ASSERT_EQ(object->EnumVerbs(verbs.put()), S_OK);
    OLEVERB verb{};
    ULONG fetched = 0;
    ASSERT_EQ(verbs->Next(1, &verb, &fetched), S_OK);
    EXPECT_EQ(verb.lVerb, 0);
    EXPECT_STREQ(verb.lpszVerbName, "<unknown verb>");
    CoTaskMemFree(verb.lpszVerbName);
    EXPECT_EQ(verbs->Next(1, &verb, &fetched), S_FALSE) << "one verb only";

    DWORD misc = 0;
    ASSERT_EQ(object->GetMiscStatus(DVASPECT_CONTENT, &misc), S_OK);
    EXPECT_EQ(misc, 0x20091u);
    LPOLESTR type = nullptr;
    ASSERT_EQ(object->GetUserType(USERCLASSTYPE_FULL, &type), S_OK);
    EXPECT_STREQ(type, "Tavlet Control");
    CoTaskMemFree(type);
    CLSID clsid{};
    ASSERT_EQ(object->GetUserClassID(&clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_Tavlet);
  });
}

// The control made by class id without a window, as a container makes it
// before it asks for one.
class TavletObject : public TavletTest {
 protected:
  void SetUp() override {
    TavletTest::SetUp();
    ASSERT_EQ(CoCreateInstance(CLSID_Tavlet, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, m_control.put_void()), S_OK);
    ASSERT_EQ(m_control.As(IID_IDispatch, m_dispatch), S_OK);
  }
  ComPtr<IUnknown> m_control;
  ComPtr<IDispatch> m_dispatch;
};

TEST_F(TavletObject, ATruncatedStreamFailsTheLoadAndLeavesEveryPropertyAtItsDefault) {
  ComPtr<IPersistStreamInit> persist;
  ASSERT_EQ(m_control.As(IID_IPersistStreamInit, persist), S_OK);
  ComPtr<IStream> whole;
  ASSERT_EQ(kp::com::CreateStreamOnBytes(RecordStream(IDC_PREVIEW), whole.put()), S_OK);
  ASSERT_EQ(persist->Load(whole.get()), S_OK);
  EXPECT_FALSE(ReadDroppable(m_dispatch.get(), DispidInitiallyDroppable));

  std::vector<BYTE> cut = RecordStream(IDC_PREVIEW);
  cut.pop_back();
  ComPtr<IStream> truncated;
  ASSERT_EQ(kp::com::CreateStreamOnBytes(cut, truncated.put()), S_OK);
  EXPECT_EQ(persist->Load(truncated.get()), E_FAIL);
  EXPECT_TRUE(ReadDroppable(m_dispatch.get(), DispidInitiallyDroppable)) << "reset to TRUE";
  ULARGE_INTEGER size{};
  ASSERT_EQ(persist->GetSizeMax(&size), S_OK);
  EXPECT_EQ(size.QuadPart, kStreamSize);
}

TEST_F(TavletObject, APropertyBagHoldsTheSamePropertiesByName) {
  ComPtr<IPersistStreamInit> stream;
  ASSERT_EQ(m_control.As(IID_IPersistStreamInit, stream), S_OK);
  ComPtr<IStream> bytes;
  ASSERT_EQ(kp::com::CreateStreamOnBytes(RecordStream(IDC_PREVIEW), bytes.put()), S_OK);
  ASSERT_EQ(stream->Load(bytes.get()), S_OK);

  ComPtr<IPersistPropertyBag> persist;
  ASSERT_EQ(m_control.As(IID_IPersistPropertyBag, persist), S_OK);
  ComPtr<IPropertyBag> bag;
  ASSERT_EQ(kp::com::CreateMemoryPropertyBag(bag.put()), S_OK);
  ASSERT_EQ(persist->Save(bag.get(), TRUE, TRUE), S_OK);
  EXPECT_EQ(kp::com::PropertyBagNames(bag.get()),
            (std::vector<std::string>{"_Version", "_ExtentX", "_ExtentY", "_StockProps", "InitiallyDroppable"}));

  ASSERT_EQ(persist->InitNew(), S_OK);
  EXPECT_TRUE(ReadDroppable(m_dispatch.get(), DispidInitiallyDroppable)) << "a new control";
  ASSERT_EQ(persist->Load(bag.get(), nullptr), S_OK);
  EXPECT_FALSE(ReadDroppable(m_dispatch.get(), DispidInitiallyDroppable));
  EXPECT_FALSE(ReadDroppable(m_dispatch.get(), DispidDefaultValue));
  ComPtr<IOleObject> object;
  ASSERT_EQ(m_control.As(IID_IOleObject, object), S_OK);
  SIZEL extent{};
  ASSERT_EQ(object->GetExtent(DVASPECT_CONTENT, &extent), S_OK);
  EXPECT_EQ(extent.cx, 4815);
  EXPECT_EQ(extent.cy, 4604);
}

TEST_F(TavletObject, ItsClassInfoNamesTheEventInterfaceAndItHasOnePropertyPage) {
  ComPtr<IProvideClassInfo2> info;
  ASSERT_EQ(m_control.As(IID_IProvideClassInfo2, info), S_OK);
  GUID events{};
  ASSERT_EQ(info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &events), S_OK);
  EXPECT_EQ(events, DIID__DTavletEvents);
  ComPtr<IDispatch> primary;
  EXPECT_EQ(m_control.As(DIID__DTavlet, primary), S_OK) << "the dispatch interface answers by its own id";

  ComPtr<ISpecifyPropertyPages> pages;
  ASSERT_EQ(m_control.As(IID_ISpecifyPropertyPages, pages), S_OK);
  CAUUID ids{};
  ASSERT_EQ(pages->GetPages(&ids), S_OK);
  ASSERT_EQ(ids.cElems, 1u);
  EXPECT_EQ(ids.pElems[0], CLSID_TavletPropPage);
  CoTaskMemFree(ids.pElems);

  struct Row {
    const char* name;
    DISPID id;
  } rows[] = {{"InitiallyDroppable", DispidInitiallyDroppable},
              {"RecreateBitmap", DispidRecreateBitmap},
              {"RecreateBitmapFromFile", DispidRecreateBitmapFromFile},
              {"GetBitmapHandle", DispidGetBitmapHandle},
              {"SetBitmapHandle", DispidSetBitmapHandle},
              {"_InitiallyDroppable", DispidDefaultValue}};
  for (const Row& row : rows) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(row.name)};
    DISPID id = DISPID_UNKNOWN;
    EXPECT_EQ(m_dispatch->GetIDsOfNames(IID_NULL, names, 1, 0, &id), S_OK) << row.name;
    EXPECT_EQ(id, row.id) << row.name;
  }
  UINT count = 0;
  ASSERT_EQ(m_dispatch->GetTypeInfoCount(&count), S_OK);
  EXPECT_EQ(count, 1u);
}

}  // namespace
}  // namespace tavlet_host
