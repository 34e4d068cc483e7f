#pragma once
// The COM runtime: initialisation, creating objects by class id (in
// process from a registered module, or in a new local server process), and
// the class registrations a server program makes.
//
// In process: CLSID\{clsid}\InprocServer32 (default) holds the module's
// absolute path. The module is loaded with dlopen(RTLD_NOW | RTLD_LOCAL) and
// kept loaded for good; its DllGetClassObject hands out the class factory.
//
// Local server: CLSID\{clsid}\LocalServer32 (default) holds the program's
// absolute path, optionally in double quotes and followed by arguments.
// Each object made starts a new process of that program with the argument
// "-Embedding" (see local_server.h).

#include "platform/com/class_factory.h"
#include "platform/com/com_error_codes.h"
#include "platform/com/dispatch.h"

enum CLSCTX : DWORD {
  CLSCTX_INPROC_SERVER = 0x1,
  CLSCTX_INPROC_HANDLER = 0x2,
  CLSCTX_LOCAL_SERVER = 0x4,
  CLSCTX_REMOTE_SERVER = 0x10,
  CLSCTX_SERVER = CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER,
  CLSCTX_ALL = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER,
};

enum REGCLS : DWORD {
  REGCLS_SINGLEUSE = 0,
  REGCLS_MULTIPLEUSE = 1,
  REGCLS_MULTI_SEPARATE = 2,
  REGCLS_SUSPENDED = 4,
};

enum COINIT : DWORD {
  COINIT_APARTMENTTHREADED = 0x2,
  COINIT_MULTITHREADED = 0x0,
};

// Per thread, counted: S_OK the first time, S_FALSE after, and
// RPC_E_CHANGED_MODE (nothing counted) when the thread is already in the
// other kind of apartment: OLE (OleInitialize) needs a single-threaded one.
// Object creation
// and class registration fail with CO_E_NOTINITIALIZED on a thread that
// has not initialised. The last CoUninitialize revokes the class
// registrations the thread still holds.
HRESULT CoInitialize(LPVOID pvReserved);
HRESULT CoInitializeEx(LPVOID pvReserved, DWORD dwCoInit);
void CoUninitialize();
HRESULT OleInitialize(LPVOID pvReserved);
void OleUninitialize();

// Makes one object of class `rclsid`. With both CLSCTX_INPROC_SERVER and
// CLSCTX_LOCAL_SERVER, a registered module is preferred. Errors:
// REGDB_E_CLASSNOTREG (no registration for the contexts asked),
// CO_E_DLLNOTFOUND / CO_E_ERRORINDLL (module missing or not loadable, or
// without DllGetClassObject), the module's own CLASS_E_CLASSNOTAVAILABLE,
// CO_E_SERVER_EXEC_FAILURE (the server program could not start, ended, or
// did not answer within 30 seconds).
HRESULT CoCreateInstance(REFCLSID rclsid, LPUNKNOWN pUnkOuter, DWORD dwClsContext, REFIID riid, LPVOID* ppv);
// The class object: the module's factory in process; for a local server, a
// factory whose every CreateInstance starts a new server process.
HRESULT CoGetClassObject(REFCLSID rclsid, DWORD dwClsContext, LPVOID pvReserved, REFIID riid, LPVOID* ppv);

// A server program offers `pUnk` (its IClassFactory) for `rclsid`.
// dwClsContext must include CLSCTX_LOCAL_SERVER. When the program was
// started by a client, the client's request is served later, from the
// program's event loop (kp::WatchFd), never inside this call: the factory
// makes one object, which lives until the client releases it. With
// REGCLS_SINGLEUSE the registration makes at most one object.
HRESULT CoRegisterClassObject(REFCLSID rclsid, LPUNKNOWN pUnk, DWORD dwClsContext, DWORD flags, LPDWORD lpdwRegister);
// CO_E_OBJNOTREG for a cookie that names no registration. An object
// already made stays with its client.
HRESULT CoRevokeClassObject(DWORD dwRegister);

// ProgID\CLSID (default) as a class id; CO_E_CLASSSTRING when absent.
HRESULT CLSIDFromProgID(LPCOLESTR lpszProgID, LPCLSID lpclsid);
