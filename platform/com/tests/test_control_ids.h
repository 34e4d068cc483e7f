#pragma once
// The class, interface and library ids of the test control module, shared
// by the module and the tests that create it by class id.

#include "platform/base/guid.h"

namespace kp::com::testing {
inline constexpr CLSID CLSID_TestControl = {0x3C5D1A70, 0x9E21, 0x4B7F, {0x8A, 0x11, 0x52, 0x6E, 0x0C, 0x43, 0xD9, 0x01}};
inline constexpr IID DIID_DTestControl = {0x3C5D1A71, 0x9E21, 0x4B7F, {0x8A, 0x11, 0x52, 0x6E, 0x0C, 0x43, 0xD9, 0x01}};
inline constexpr IID DIID_DTestControlEvents = {0x3C5D1A72, 0x9E21, 0x4B7F, {0x8A, 0x11, 0x52, 0x6E, 0x0C, 0x43, 0xD9, 0x01}};
inline constexpr GUID LIBID_TestControlLib = {0x3C5D1A73, 0x9E21, 0x4B7F, {0x8A, 0x11, 0x52, 0x6E, 0x0C, 0x43, 0xD9, 0x01}};
// Registered to the module in some tests, but not one of its classes.
inline constexpr CLSID CLSID_NotInModule = {0x3C5D1A74, 0x9E21, 0x4B7F, {0x8A, 0x11, 0x52, 0x6E, 0x0C, 0x43, 0xD9, 0x01}};
// The local server test program's class.
inline constexpr CLSID CLSID_TestServer = {0x3C5D1A75, 0x9E21, 0x4B7F, {0x8A, 0x11, 0x52, 0x6E, 0x0C, 0x43, 0xD9, 0x01}};

inline constexpr char kTestControlProgId[] = "KestrowTest.TestControl.1";

// Dispids of _DTestControl and _DTestControlEvents.
enum TestControlDispid : int {
  DispFlagDefault = 0,
  DispFlag = 1,
  DispSumPixels = 2,
  DispDescribe = 3,
  DispGetHandle = 4,
  DispInspect = 5,
  DispOptional = 6,
  EventChanged = 1,
};
}  // namespace kp::com::testing
