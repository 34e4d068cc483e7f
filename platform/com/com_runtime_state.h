#pragma once
// What the runtime's parts tell one another; not for use outside
// platform/com.

#include "platform/com/com_runtime.h"

namespace kp::com::detail {

// True once CoInitialize has run on this thread and not been undone.
bool IsInitialized();

// The class object of a local server class: a factory whose CreateInstance
// starts the registered program (local_server_client.cpp).
HRESULT GetLocalServerClassObject(REFCLSID clsid, REFIID riid, void** ppv);

// Drops every class registration this process made (local_server_host.cpp),
// at the last CoUninitialize.
void RevokeAllClassObjects();

}  // namespace kp::com::detail
