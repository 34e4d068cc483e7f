#pragma once
// What the runtime's parts tell one another; not for use outside
// platform/com.

#include "platform/com/com_runtime.h"

namespace kp::com::detail {

// True once CoInitialize has run on this thread and not been undone.
bool IsInitialized();

// Drops every class registration this process made (local_server_host.cpp),
// at the last CoUninitialize.
void RevokeAllClassObjects();

}  // namespace kp::com::detail
