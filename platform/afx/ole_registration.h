#pragma once
// Self-registration of OLE classes and type libraries under
// HKEY_CLASSES_ROOT: what a control module's DllRegisterServer and
// DllUnregisterServer (through its factories' UpdateRegistry) call. Paths
// written are the module's absolute path. Each call returns FALSE at the
// first write the registry refuses; entries already written stay.

#include "platform/base/guid.h"
#include "platform/base/handles.h"
#include "platform/com/unknown.h"

// Registration flags.
constexpr int afxRegDefault = 0x0000;
constexpr int afxRegInsertable = 0x0001;
constexpr int afxRegApartmentThreading = 0x0002;

// A control class. Writes, with the type name taken from the module's
// string idTypeName (the class id's text when there is none):
//   <progID>                     (default) type name
//   <progID>\CLSID               (default) {clsid}
//   CLSID\{clsid}                (default) type name
//   CLSID\{clsid}\ProgID         (default) progID
//   CLSID\{clsid}\InprocServer32 (default) module path;
//                                ThreadingModel "Apartment" with afxRegApartmentThreading
//   CLSID\{clsid}\ToolboxBitmap32 (default) "<module path>, <idBitmap>"
//   CLSID\{clsid}\MiscStatus     (default) "0"
//   CLSID\{clsid}\MiscStatus\1   (default) dwMiscStatus in decimal
//   CLSID\{clsid}\Control        (default) ""
//   CLSID\{clsid}\TypeLib        (default) {tlid}
//   CLSID\{clsid}\Version        (default) "<major>.<minor>"
// and, with afxRegInsertable, the keys <progID>\Insertable and
// CLSID\{clsid}\Insertable. Registering again writes the same entries.
BOOL AfxOleRegisterControlClass(HINSTANCE hInstance, REFCLSID clsid, LPCTSTR pszProgID, UINT idTypeName, UINT idBitmap,
                                int nRegFlags, DWORD dwMiscStatus, REFGUID tlid, WORD wVerMajor, WORD wVerMinor);

// A property page class:
//   CLSID\{clsid}                (default) type name
//   CLSID\{clsid}\InprocServer32 (default) module path; ThreadingModel
//                                "Apartment" only with afxRegApartmentThreading
BOOL AfxOleRegisterPropertyPageClass(HINSTANCE hInstance, REFCLSID clsid, UINT idTypeName,
                                     int nRegFlags = afxRegDefault);

// Removes CLSID\{clsid} with everything below it and the ProgID key (when
// given). When the class key also carries a 16-bit "InprocServer" entry,
// only its InprocServer32 and ToolboxBitmap32 subkeys go. Keys already
// absent count as removed.
BOOL AfxOleUnregisterClass(REFCLSID clsid, LPCTSTR pszProgID);

// Loads the type library of the module (or of the file pszFileName beside
// it), checks that its library id is tlid, and registers it with that path.
BOOL AfxOleRegisterTypeLib(HINSTANCE hInstance, REFGUID tlid, LPCTSTR pszFileName = nullptr,
                           LPCTSTR pszHelpDir = nullptr);
BOOL AfxOleUnregisterTypeLib(REFGUID tlid, WORD wVerMajor = 0, WORD wVerMinor = 0, LCID lcid = 0);

// The local-server entries of a program's automation class, as a
// factory's default UpdateRegistry writes them:
//   <progID> (default) progID; <progID>\CLSID (default) {clsid}
//   CLSID\{clsid} (default) progID; \ProgID (default) progID;
//   \LocalServer32 (default) the program's absolute path
BOOL AfxOleRegisterServerClass(REFCLSID clsid, LPCTSTR pszProgID, HINSTANCE hProgram);
