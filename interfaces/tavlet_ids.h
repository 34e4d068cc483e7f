#pragma once
// What the bitmap drop control publishes to its containers: the type
// library, the dispatch and event interfaces, the class ids and ProgIDs of
// the control and its property page, the member ids, and the layout of the
// persisted control stream. These values are fixed for good: dialog
// templates, registries and saved streams carry them. The control module
// and the editor both include this header; neither includes the other's.

#include <cstddef>

#include "platform/base/guid.h"
#include "platform/base/win_types.h"
#include "platform/com/dispatch.h"

namespace tavlet {

// Type library TAVLETLib, version 1.0.
inline constexpr GUID LIBID_TAVLETLib = {0xB1150BE0, 0xCE87, 0x46E1, {0xBB, 0x14, 0xB4, 0x2F, 0x6F, 0x38, 0xF0, 0xF8}};
inline constexpr WORD kTypeLibMajor = 1;
inline constexpr WORD kTypeLibMinor = 0;

// The control's dispatch interface and its event interface.
inline constexpr IID DIID__DTavlet = {0x0AD5F664, 0x87A8, 0x4310, {0x94, 0xD0, 0x40, 0x9E, 0xDD, 0xF7, 0xFE, 0x44}};
inline constexpr IID DIID__DTavletEvents = {0xBC184BC7, 0xD685, 0x4CB8, {0x94, 0x14, 0xB3, 0x28, 0x54, 0x75, 0x12, 0x20}};

// The control class and its property page class.
inline constexpr CLSID CLSID_Tavlet = {0xF835337E, 0x9A8B, 0x4D93, {0x9D, 0xBC, 0x81, 0x0D, 0xEB, 0x67, 0x40, 0xBA}};
inline constexpr CLSID CLSID_TavletPropPage = {0x15A15233, 0x26CD, 0x451D, {0x85, 0x88, 0x61, 0xD8, 0x9C, 0x08, 0x94, 0xA1}};
inline constexpr char kCtrlProgId[] = "TAVLET.TavletCtrl.1";
inline constexpr char kPropPageProgId[] = "TAVLET.TavletPropPage.1";

// Members of _DTavlet.
enum : DISPID {
  DispidDefaultValue = 0,          // _InitiallyDroppable: VT_BOOL, the same value as dispid 1
  DispidInitiallyDroppable = 1,    // VT_BOOL property
  DispidRecreateBitmap = 2,        // BOOL (VTS_PI4 rgb, VTS_I2 sx, VTS_I2 sy)
  DispidRecreateBitmapFromFile = 3,  // BOOL (VTS_BSTR pathname)
  DispidGetBitmapHandle = 4,       // LONG (): the control's bitmap, lent; 0 when empty
  DispidSetBitmapHandle = 5,       // BOOL (VTS_I4 hbm): the control takes the bitmap
};

// Members of _DTavletEvents.
enum : DISPID {
  EventidBmpChange = 1,  // no parameters
};

// The control stream (IPersistStreamInit), little-endian: _Version
// 0x00010000, _ExtentX, _ExtentY (HIMETRIC), _StockProps 0, then one byte
// whose being nonzero means InitiallyDroppable.
inline constexpr DWORD kStreamVersion = 0x00010000;
inline constexpr std::size_t kStreamSize = 17;
inline constexpr std::size_t kStreamInitiallyDroppableOffset = 16;

}  // namespace tavlet
