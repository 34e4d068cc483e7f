#include <gtest/gtest.h>

#include <dlfcn.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

#include "platform/afx/ole_control_site.h"
#include "platform/afx/ole_dispatch_exception.h"
#include "platform/afx/ole_init.h"
#include "platform/afx/ole_lock.h"
#include "platform/afx/tests/control_host_dialog.h"
#include "platform/afx/win_app.h"
#include "platform/com/com_ptr.h"
#include "platform/com/com_runtime.h"
#include "platform/com/memory_stream.h"
#include "platform/com/ole_object.h"
#include "platform/com/persist.h"
#include "platform/file/file.h"
#include "platform/qt/modal_windows.h"
#include "platform/qt/window_system.h"
#include "platform/testing/hosted_control.h"
#include "platform/testing/temp_environment.h"
#include "platform/testing/temp_registry.h"
#include "platform/testing/ui_driver.h"
#include "platform/user/window_functions.h"

namespace control_host {
namespace {

using kp::com::ComPtr;
using kp::testing::ControlInterface;
using kp::testing::SavedStream;
using namespace drop_test;

void* ModuleExport(const char* name) {
  void* handle = dlopen(DROP_TEST_MODULE, RTLD_NOW | RTLD_LOCAL);
  return handle != nullptr ? dlsym(handle, name) : nullptr;
}

HRESULT CallExport(const char* name) {
  auto entry = reinterpret_cast<HRESULT (*)()>(ModuleExport(name));
  return entry != nullptr ? entry() : E_FAIL;
}

// A fresh registry with the drop test module registered in it, OLE
// initialised and dialogs able to host controls.
class ControlHost : public ::testing::Test {
 protected:
  void SetUp() override {
    kp::testing::UseFreshRegistry();
    ASSERT_TRUE(AfxOleInit());
    AfxEnableControlContainer();
    ASSERT_EQ(CallExport("DllRegisterServer"), S_OK);
  }
};

TEST_F(ControlHost, ControlsAreCreatedByClassIdLoadedFromTheirRecordsAndBoundToTheirMembers) {
  CHostDlg dlg;
  INT_PTR result = kp::testing::RunModalWith(dlg, [&] {
    for (auto [id, member] : {std::pair{IDC_SLOT_A, &dlg.m_slotA}, std::pair{IDC_PREVIEW, &dlg.m_preview},
                              std::pair{IDC_FINDER, &dlg.m_finder}, std::pair{IDC_FRESH, &dlg.m_fresh}}) {
      EXPECT_NE(member->m_hWnd, nullptr) << id;
      EXPECT_EQ(dlg.GetDlgItem(id), member) << "GetDlgItem yields the bound member";
      EXPECT_EQ(member->GetDlgCtrlID(), id);
    }
    struct Row {
      CDropTest* control;
      BOOL droppable;
    } rows[] = {{&dlg.m_slotA, TRUE}, {&dlg.m_preview, FALSE}, {&dlg.m_finder, TRUE}, {&dlg.m_fresh, TRUE}};
    for (const Row& row : rows) {
      EXPECT_EQ(row.control->GetDroppable(DispDroppable), row.droppable) << row.control->GetDlgCtrlID();
      EXPECT_EQ(row.control->GetDroppable(DispDroppableDefault), row.droppable) << "dispid 0 reads dispid 1";
    }
    // The window has the template's size, whatever the extents say.
    RECT slot{};
    dlg.m_slotA.GetClientRect(&slot);
    SIZE base = kp::qt::GetDialogBaseUnits("MS Sans Serif", 8);
    RECT expected = kp::afx::MapDialogUnits(RECT{7, 7, 57, 57}, base);
    EXPECT_EQ(slot.right, expected.right - expected.left);
    EXPECT_EQ(slot.bottom, expected.bottom - expected.top);
    // The template's list strings still reach their combo box.
    EXPECT_EQ(::SendMessage(::GetDlgItem(dlg.m_hWnd, IDC_LIST), CB_GETCOUNT), 1);
    dlg.EndDialog(IDOK);
  });
  EXPECT_EQ(result, IDOK);
}

TEST_F(ControlHost, TheControlPaintsItsWindowThroughOnDraw) {
  CHostDlg dlg;
  kp::testing::RunModalWith(dlg, [&] {
    kp::testing::ProcessEvents();
    kp::testing::Pixels pixels = kp::testing::GrabWindow(dlg.m_finder.m_hWnd);
    ASSERT_GT(pixels.width, 2);
    ASSERT_GT(pixels.height, 2);
    EXPECT_EQ(pixels.At(0, 0) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(pixels.At(pixels.width - 1, pixels.height - 1) & 0xFFFFFF, 0xFF0000u);
    dlg.EndDialog(IDOK);
  });
}

TEST_F(ControlHost, InvokeHelperCallsByDispidAndPassesThePixelArrayByReference) {
  CHostDlg dlg;
  kp::testing::RunModalWith(dlg, [&] {
    dlg.m_events.clear();
    LONG pixels[6] = {1, 2, 3, 4, 5, 600};
    EXPECT_TRUE(dlg.m_slotA.RecreateBitmap(pixels, 3, 2));
    EXPECT_EQ(dlg.m_slotA.GetBitmapHandle(), 615) << "the control read the whole array from the caller's memory";
    EXPECT_FALSE(dlg.m_slotA.RecreateBitmap(pixels, 0, 5));
    EXPECT_TRUE(dlg.m_preview.SetBitmapHandle(77));
    EXPECT_EQ(dlg.m_preview.GetBitmapHandle(), 77);
    EXPECT_EQ(dlg.m_events, (std::vector<std::string>{"change 1005", "change 1011"}))
        << "each event is routed by the control id of the control that raised it";

    try {
      LONG ignored = 0;
      dlg.m_slotA.InvokeHelper(99, DISPATCH_METHOD, VT_I4, &ignored, nullptr);
      ADD_FAILURE() << "a failed call throws";
    } catch (const COleDispatchException& e) {
      EXPECT_EQ(e.m_scError, DISP_E_MEMBERNOTFOUND);
    }
    try {
      static BYTE parms[] = VTS_I4 VTS_I4;
      BOOL ignored = FALSE;
      dlg.m_slotA.InvokeHelper(DispSetHandle, DISPATCH_METHOD, VT_BOOL, &ignored, parms, LONG{1}, LONG{2});
      ADD_FAILURE() << "a failed call throws";
    } catch (const COleDispatchException& e) {
      EXPECT_EQ(e.m_scError, DISP_E_BADPARAMCOUNT);
    }
    dlg.EndDialog(IDOK);
  });
}

TEST_F(ControlHost, FocusArrivingByClickRaisesTheEventEachTime) {
  CHostDlg dlg;
  kp::testing::RunModalWith(dlg, [&] {
    dlg.m_events.clear();
    kp::testing::Click(dlg.m_preview.m_hWnd);
    EXPECT_EQ(kp::qt::GetFocus(), dlg.m_preview.m_hWnd) << "the click reached the control's own window";
    kp::testing::Click(::GetDlgItem(dlg.m_hWnd, IDC_OTHER));
    kp::testing::Click(dlg.m_preview.m_hWnd);
    EXPECT_EQ(dlg.m_preview.GetFocusCount(), 2);
    EXPECT_EQ(dlg.m_events, (std::vector<std::string>{"change 1011", "change 1011"}));
    dlg.EndDialog(IDOK);
  });
}

TEST_F(ControlHost, DroppedFilesReachOnlyControlsThatAcceptedDropsAtCreation) {
  const std::string path = kp::testing::TemporaryRoot() + "/dropped.bmp";
  std::ofstream(path) << "BM";
  CHostDlg dlg;
  kp::testing::RunModalWith(dlg, [&] {
    dlg.m_events.clear();
    // Clearing the property later does not change what the window accepts.
    dlg.m_slotA.SetDroppable(FALSE);
    EXPECT_TRUE(kp::testing::DropFiles(dlg.m_slotA.m_hWnd, POINT{5, 5}, {path}));
    EXPECT_FALSE(kp::testing::DropFiles(dlg.m_preview.m_hWnd, POINT{5, 5}, {path}));
    kp::testing::ProcessEvents();
    std::vector<std::string> dropped;
    for (const std::string& e : dlg.m_events)
      if (e.rfind("dropped", 0) == 0) dropped.push_back(e);
    EXPECT_EQ(dropped, std::vector<std::string>{"dropped 1005 " + path});
    dlg.EndDialog(IDOK);
  });
}

TEST_F(ControlHost, AControlSavesBackItsRecordByteForByteAndAPutChangesOnlyItsByte) {
  CHostDlg dlg;
  kp::testing::RunModalWith(dlg, [&] {
    ComPtr<IPersistStreamInit> persist = ControlInterface<IPersistStreamInit>(dlg.m_slotA, IID_IPersistStreamInit);
    ASSERT_TRUE(persist);
    EXPECT_EQ(persist->IsDirty(), S_FALSE);
    for (auto [id, member] : {std::pair{IDC_SLOT_A, &dlg.m_slotA}, std::pair{IDC_PREVIEW, &dlg.m_preview},
                              std::pair{IDC_FINDER, &dlg.m_finder}})
      EXPECT_EQ(SavedStream(*member), RecordStream(id)) << id;

    dlg.m_slotA.SetDroppable(FALSE);
    EXPECT_EQ(persist->IsDirty(), S_OK) << "a put marks the control modified";
    std::vector<BYTE> expected = RecordStream(IDC_SLOT_A);
    expected[16] = 0x00;
    EXPECT_EQ(SavedStream(dlg.m_slotA), expected);
    EXPECT_EQ(persist->IsDirty(), S_FALSE) << "saving with fClearDirty clears it";
    dlg.EndDialog(IDOK);
  });
}

TEST_F(ControlHost, TheControlShowsItsVerbsExtentStatusAndTypeToItsContainer) {
  CHostDlg dlg;
  kp::testing::RunModalWith(dlg, [&] {
    ComPtr<IOleObject> object = ControlInterface<IOleObject>(dlg.m_slotA, IID_IOleObject);
    ASSERT_TRUE(object);
    ComPtr<IEnumOLEVERB> verbs;
    ASSERT_EQ(object->EnumVerbs(verbs.put()), S_OK);
    OLEVERB verb{};
    ULONG fetched = 0;
    ASSERT_EQ(verbs->Next(1, &verb, &fetched), S_OK);
    EXPECT_EQ(verb.lVerb, 0);
    EXPECT_STREQ(verb.lpszVerbName, "<unknown verb>") << "the module has no string for the Properties verb";
    EXPECT_EQ(verb.grfAttribs, OLEVERBATTRIB_ONCONTAINERMENU);
    CoTaskMemFree(verb.lpszVerbName);
    EXPECT_EQ(verbs->Next(1, &verb, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 0u);

    SIZEL extent{};
    ASSERT_EQ(object->GetExtent(DVASPECT_CONTENT, &extent), S_OK);
    EXPECT_EQ(extent.cx, 1323);
    EXPECT_EQ(extent.cy, 1376);
    DWORD misc = 0;
    ASSERT_EQ(object->GetMiscStatus(DVASPECT_CONTENT, &misc), S_OK);
    EXPECT_EQ(misc, kMiscStatus);
    LPOLESTR type = nullptr;
    ASSERT_EQ(object->GetUserType(USERCLASSTYPE_FULL, &type), S_OK);
    EXPECT_STREQ(type, "Drop Test Control");
    CoTaskMemFree(type);
    CLSID clsid{};
    ASSERT_EQ(object->GetUserClassID(&clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_DropTestCtrl);
    dlg.EndDialog(IDOK);
  });
}

TEST_F(ControlHost, ThePropertiesVerbAppliesInitiallyDroppableThroughThePage) {
  CHostDlg dlg;
  kp::testing::RunModalWith(dlg, [&] {
    ComPtr<IOleObject> object = ControlInterface<IOleObject>(dlg.m_slotA, IID_IOleObject);
    ComPtr<IPersistStreamInit> persist = ControlInterface<IPersistStreamInit>(dlg.m_slotA, IID_IPersistStreamInit);
    ASSERT_TRUE(object && persist);
    std::string caption;
    BOOL checkedWhenShown = FALSE, applyEnabledBefore = TRUE, applyEnabledAfterClick = FALSE;
    BOOL droppableAfterApply = TRUE;
    kp::testing::RunSoon([&] {
      HWND frame = kp::qt::ActiveModalWindow();
      ASSERT_NE(frame, dlg.m_hWnd);
      caption = kp::qt::GetWindowText(frame);
      HWND check = nullptr;
      for (HWND child : kp::qt::GetChildren(frame))
        if (HWND found = kp::qt::GetDlgItem(child, IDC_INITIALLY_DROPPABLE)) check = found;
      ASSERT_NE(check, nullptr);
      HWND apply = kp::qt::GetDlgItem(frame, 0x3021);
      checkedWhenShown = static_cast<BOOL>(::SendMessage(check, BM_GETCHECK));
      applyEnabledBefore = kp::qt::IsWindowEnabled(apply);
      kp::testing::Click(check);
      applyEnabledAfterClick = kp::qt::IsWindowEnabled(apply);
      kp::testing::Click(apply);
      droppableAfterApply = dlg.m_slotA.GetDroppable();
      kp::testing::Click(kp::qt::GetDlgItem(frame, IDOK));
    });
    EXPECT_EQ(object->DoVerb(OLEIVERB_PROPERTIES, nullptr, nullptr, 0, dlg.m_hWnd, nullptr), S_OK);
    EXPECT_EQ(caption, "Drop Test Control Properties");
    EXPECT_TRUE(checkedWhenShown) << "the page read the property through DDP_Check";
    EXPECT_FALSE(applyEnabledBefore);
    EXPECT_TRUE(applyEnabledAfterClick);
    EXPECT_FALSE(droppableAfterApply) << "Apply wrote the unchecked box to the property";
    EXPECT_EQ(persist->IsDirty(), S_OK) << "and the control is marked modified";
    dlg.EndDialog(IDOK);
  });
}

TEST_F(ControlHost, AClassThatCannotBeMadeOrLoadedFailsTheDialogBeforeItsInitialisation) {
  for (UINT id : {UINT{IDD_UNREGISTERED}, UINT{IDD_TRUNCATED}}) {
    CHostDlg dlg(id);
    EXPECT_EQ(dlg.DoModal(), -1) << id;
    EXPECT_TRUE(dlg.m_events.empty()) << "OnInitDialog never ran for " << id;
  }
  // The control made before the failing one was let go with the dialog.
  auto canUnload = reinterpret_cast<HRESULT (*)()>(ModuleExport("DllCanUnloadNow"));
  ASSERT_NE(canUnload, nullptr);
  EXPECT_EQ(canUnload(), S_OK);
}

TEST_F(ControlHost, AnUnregisteredModuleMakesNoDialog) {
  ASSERT_EQ(CallExport("DllUnregisterServer"), S_OK);
  CHostDlg dlg;
  EXPECT_EQ(dlg.DoModal(), -1);
  EXPECT_TRUE(dlg.m_events.empty());
}

TEST_F(ControlHost, CreateControlMakesAControlInAnyWindowNewOrFromAFile) {
  const std::string path = kp::testing::TemporaryRoot() + "/persisted.bin";
  {
    std::vector<BYTE> stream = RecordStream(IDC_PREVIEW);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(stream.data()), static_cast<std::streamsize>(stream.size()));
  }
  CDialog dlg(IDD_EMPTY);
  INT_PTR result = kp::testing::RunModalWith(dlg, [&] {
    CDropTest fresh;
    ASSERT_TRUE(
        fresh.CreateControl(CLSID_DropTestCtrl, nullptr, WS_VISIBLE | WS_TABSTOP, RECT{10, 10, 60, 60}, &dlg, 2000));
    EXPECT_EQ(dlg.GetDlgItem(2000), &fresh);
    EXPECT_TRUE(fresh.GetDroppable()) << "a new control takes its defaults";

    CFile file(path.c_str(), CFile::modeRead | CFile::shareDenyWrite);
    CDropTest loaded;
    ASSERT_TRUE(
        loaded.CreateControl(CLSID_DropTestCtrl, nullptr, WS_VISIBLE, RECT{70, 10, 120, 60}, &dlg, 2001, &file));
    EXPECT_FALSE(loaded.GetDroppable()) << "loaded from the file's stream";

    CDropTest missing;
    constexpr CLSID CLSID_Nothing = {0x1, 0x2, 0x3, {4, 5, 6, 7, 8, 9, 10, 11}};
    EXPECT_FALSE(missing.CreateControl(CLSID_Nothing, nullptr, WS_VISIBLE, RECT{0, 0, 5, 5}, &dlg, 2002));
    EXPECT_EQ(missing.m_hWnd, nullptr);
    dlg.EndDialog(IDOK);
  });
  EXPECT_EQ(result, IDOK);
}

TEST_F(ControlHost, NothingTheModuleMadeOutlivesTheDialog) {
  auto canUnload = reinterpret_cast<HRESULT (*)()>(ModuleExport("DllCanUnloadNow"));
  ASSERT_NE(canUnload, nullptr);
  {
    CHostDlg dlg;
    kp::testing::RunModalWith(dlg, [&] {
      EXPECT_EQ(canUnload(), S_FALSE) << "four live controls";
      dlg.EndDialog(IDOK);
    });
    EXPECT_EQ(canUnload(), S_OK) << "closing the dialog let go of every control";
  }
  IClassFactory* factory = nullptr;
  ASSERT_EQ(CoGetClassObject(CLSID_DropTestCtrl, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                             reinterpret_cast<void**>(&factory)),
            S_OK);
  ASSERT_EQ(factory->LockServer(TRUE), S_OK);
  EXPECT_EQ(canUnload(), S_FALSE);
  ASSERT_EQ(factory->LockServer(FALSE), S_OK);
  IUnknown* control = nullptr;
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&control)), S_OK);
  EXPECT_EQ(canUnload(), S_FALSE);
  control->Release();
  factory->Release();
  EXPECT_EQ(canUnload(), S_OK);
}

}  // namespace
}  // namespace control_host

namespace control_host {
namespace {

// A program started by an automation client: the last lock going closes
// its main window, unless another modal window of the program is open.
class ProgramLifetime : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(AfxOleInit()); }
  void TearDown() override { AfxOleSetUserCtrl(TRUE); }
  CWinApp m_app;
};

TEST_F(ProgramLifetime, TheLastUnlockClosesTheEnabledMainWindow) {
  CDialog main(IDD_EMPTY);
  m_app.m_pMainWnd = &main;
  HWND mainWindow = nullptr;
  INT_PTR result = kp::testing::RunModalWith(main, [&] {
    mainWindow = main.m_hWnd;
    AfxOleSetUserCtrl(FALSE);
    AfxOleLockApp();
    AfxOleUnlockApp();
  });
  m_app.m_pMainWnd = nullptr;
  EXPECT_NE(result, IDOK);
  EXPECT_FALSE(::IsWindow(mainWindow)) << "the main window was destroyed, ending its modal run";
  EXPECT_TRUE(AfxOleGetUserCtrl());
}

TEST_F(ProgramLifetime, AMainWindowUnderAnotherModalWindowStaysAndTheUserClosesIt) {
  CDialog main(IDD_EMPTY);
  m_app.m_pMainWnd = &main;
  bool stayed = false;
  INT_PTR result = kp::testing::RunModalWith(main, [&] {
    AfxOleSetUserCtrl(FALSE);
    AfxOleLockApp();
    CDialog about(IDD_EMPTY);
    kp::testing::RunSoon([&] {
      AfxOleUnlockApp();
      stayed = ::IsWindow(main.m_hWnd) && kp::qt::IsModalLoopRunning(main.m_hWnd);
      about.EndDialog(IDOK);
    });
    about.DoModal();
    EXPECT_TRUE(AfxOleGetUserCtrl()) << "the program is the user's now";
    main.EndDialog(IDOK);
  });
  m_app.m_pMainWnd = nullptr;
  EXPECT_TRUE(stayed);
  EXPECT_EQ(result, IDOK);
}

}  // namespace
}  // namespace control_host
