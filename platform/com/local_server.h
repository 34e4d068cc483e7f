#pragma once
// Local servers: objects made in a program of their own.
//
// The client side (CoCreateInstance with CLSCTX_LOCAL_SERVER), which only
// tests need and so lives in platform/testing (local_server_client.h) and
// reaches the runtime through SetLocalServerActivator:
// 1. makes a private folder (mode 0700) in $XDG_RUNTIME_DIR, or in /tmp
//    when that is unset or too long a path for a socket, and listens there
//    on a Unix socket of mode 0600;
// 2. starts the class's LocalServer32 program with its arguments and
//    "-Embedding", passing the socket's path in the environment variable
//    KESTROW_COM_ACTIVATION_SOCKET;
// 3. waits (30 seconds at most, and no longer than the program lives) for
//    the program to connect, asks it for the object, and waits for the
//    answer; the socket file and its folder are removed once connected;
// 4. hands out a proxy (IUnknown and IDispatch) that forwards
//    GetIDsOfNames and Invoke with by-value arguments. The proxy owns the
//    connection: its last Release closes it, and the server releases the
//    object. The client reaps the server process when it ends.
//
// The server side (CoRegisterClassObject in the started program) reads and
// clears KESTROW_COM_ACTIVATION_SOCKET, connects, and serves the request
// from the program's event loop (kp::WatchFd): the factory makes the
// object, which the server holds until the client hangs up.

#include "platform/com/com_runtime.h"
#include "platform/com/local_server_protocol.h"

namespace kp::com {
// Makes the class object of a class registered as a local server, for
// CoGetClassObject with CLSCTX_LOCAL_SERVER. Without one such requests
// find no class (REGDB_E_CLASSNOTREG).
using LocalServerActivator = HRESULT (*)(REFCLSID clsid, REFIID riid, void** ppv);
void SetLocalServerActivator(LocalServerActivator activator);
}  // namespace kp::com
