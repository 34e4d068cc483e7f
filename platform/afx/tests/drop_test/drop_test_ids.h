#pragma once
// What the tests know of the drop test control module: its class ids, its
// ProgID, its interfaces and member ids, and its resource ids. The module
// itself is loaded only through the registry, as a real container does.

#include "platform/base/guid.h"
#include "platform/com/dispatch.h"

namespace drop_test {

inline constexpr GUID LIBID_DropTestLib = {0x7D21A3B0, 0x5C1E, 0x4A8F, {0x91, 0x2D, 0x4E, 0x6B, 0x0C, 0x3A, 0x77, 0x10}};
inline constexpr IID DIID_DDropTest = {0x7D21A3B1, 0x5C1E, 0x4A8F, {0x91, 0x2D, 0x4E, 0x6B, 0x0C, 0x3A, 0x77, 0x10}};
inline constexpr IID DIID_DDropTestEvents = {0x7D21A3B2, 0x5C1E, 0x4A8F, {0x91, 0x2D, 0x4E, 0x6B, 0x0C, 0x3A, 0x77, 0x10}};
inline constexpr CLSID CLSID_DropTestCtrl = {0x7D21A3B3, 0x5C1E, 0x4A8F, {0x91, 0x2D, 0x4E, 0x6B, 0x0C, 0x3A, 0x77, 0x10}};
inline constexpr CLSID CLSID_DropTestPropPage = {0x7D21A3B4, 0x5C1E, 0x4A8F, {0x91, 0x2D, 0x4E, 0x6B, 0x0C, 0x3A, 0x77, 0x10}};

inline constexpr const char* kCtrlProgId = "DROPTEST.DropTestCtrl.1";
inline constexpr const char* kPageProgId = "DROPTEST.DropTestPropPage.1";

// Dispatch members, in dispatch-map order.
enum : DISPID {
  DispDroppableDefault = 0,
  DispDroppable = 1,
  DispRecreateBitmap = 2,     // BOOL (LONG* rgb, SHORT sx, SHORT sy): sums the pixels
  DispFromFile = 3,           // BOOL (LPCTSTR path)
  DispGetHandle = 4,          // LONG ()
  DispSetHandle = 5,          // BOOL (LONG)
  DispGetFocusCount = 6,      // LONG (): how often the window got the focus
};

// Events.
enum : DISPID {
  EventChange = 1,   // no parameters: after every change, and on focus
  EventDropped = 2,  // (BSTR path): a file dropped on the window
};

// Resources.
enum : unsigned {
  IDS_DROPTEST = 1,
  IDS_DROPTEST_PPG = 2,
  IDB_DROPTEST = 1,
  IDD_PROPPAGE_DROPTEST = 200,
  IDS_DROPTEST_PPG_CAPTION = 200,
  IDC_INITIALLY_DROPPABLE = 201,
};

inline constexpr DWORD kMiscStatus = 0x20091;

}  // namespace drop_test
