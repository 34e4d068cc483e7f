#pragma once
// The test automation server's class, as the tests that start it know it.

#include "platform/base/guid.h"

namespace automation_server {
inline constexpr CLSID CLSID_TestServer = {
    0x3E9B12C0, 0x44A1, 0x4D0F, {0xA7, 0x1C, 0x52, 0x08, 0x9E, 0x6D, 0x31, 0x40}};
inline constexpr const char* kProgId = "KP.TestServer.Application";
}  // namespace automation_server
