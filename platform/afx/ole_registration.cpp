#include "platform/afx/ole_registration.h"

#include <string>

#include "platform/base/module.h"
#include "platform/com/com_ptr.h"
#include "platform/com/type_library.h"
#include "platform/registry/registry_helpers.h"
#include "platform/resources/resources.h"

namespace {
using kp::registry::DeleteKeyTree;
using kp::registry::SetStringValue;

// One registry entry: the key below HKEY_CLASSES_ROOT, the value's name
// ("" for the default) and its text.
struct Entry {
  std::string key;
  std::string name;
  std::string value;
};

BOOL WriteEntries(const std::vector<Entry>& entries) {
  for (const Entry& e : entries)
    if (SetStringValue(HKEY_CLASSES_ROOT, e.key, e.name, e.value) != ERROR_SUCCESS) return FALSE;
  return TRUE;
}

std::string ClassKey(REFCLSID clsid) { return "CLSID\\" + GuidToString(clsid); }

std::string TypeName(HINSTANCE hInstance, UINT idTypeName, REFCLSID clsid) {
  std::optional<std::string> name = kp::resources::FindStringResource(hInstance, idTypeName);
  return name && !name->empty() ? *name : GuidToString(clsid);
}

// The InprocServer32 key with the module's path and, only for apartment
// threading, its ThreadingModel (a model left by an earlier registration
// with other flags goes).
BOOL WriteInprocServer(const std::string& classKey, const std::string& path, int nRegFlags) {
  std::string key = classKey + "\\InprocServer32";
  if (SetStringValue(HKEY_CLASSES_ROOT, key, "", path) != ERROR_SUCCESS) return FALSE;
  if (nRegFlags & afxRegApartmentThreading)
    return SetStringValue(HKEY_CLASSES_ROOT, key, "ThreadingModel", "Apartment") == ERROR_SUCCESS;
  kp::registry::ScopedHKey open;
  LONG result = RegOpenKeyEx(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_WRITE, open.put());
  if (result != ERROR_SUCCESS) return FALSE;
  result = RegDeleteValue(open.get(), "ThreadingModel");
  return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}
}  // namespace

BOOL AfxOleRegisterControlClass(HINSTANCE hInstance, REFCLSID clsid, LPCTSTR pszProgID, UINT idTypeName, UINT idBitmap,
                                int nRegFlags, DWORD dwMiscStatus, REFGUID tlid, WORD wVerMajor, WORD wVerMinor) {
  const std::string path = GetModuleFilePath(hInstance);
  if (path.empty()) return FALSE;
  const std::string typeName = TypeName(hInstance, idTypeName, clsid);
  const std::string classKey = ClassKey(clsid);
  const std::string clsidText = GuidToString(clsid);
  std::vector<Entry> entries;
  if (pszProgID != nullptr && *pszProgID != '\0') {
    entries.push_back({pszProgID, "", typeName});
    entries.push_back({std::string(pszProgID) + "\\CLSID", "", clsidText});
    if (nRegFlags & afxRegInsertable) entries.push_back({std::string(pszProgID) + "\\Insertable", "", ""});
  }
  entries.push_back({classKey, "", typeName});
  if (pszProgID != nullptr && *pszProgID != '\0') entries.push_back({classKey + "\\ProgID", "", pszProgID});
  if (!WriteEntries(entries) || !WriteInprocServer(classKey, path, nRegFlags)) return FALSE;
  entries = {
      {classKey + "\\ToolboxBitmap32", "", path + ", " + std::to_string(idBitmap)},
      {classKey + "\\MiscStatus", "", "0"},
      {classKey + "\\MiscStatus\\1", "", std::to_string(dwMiscStatus)},
      {classKey + "\\Control", "", ""},
      {classKey + "\\TypeLib", "", GuidToString(tlid)},
      {classKey + "\\Version", "", std::to_string(wVerMajor) + "." + std::to_string(wVerMinor)},
  };
  if (nRegFlags & afxRegInsertable) entries.push_back({classKey + "\\Insertable", "", ""});
  return WriteEntries(entries);
}

BOOL AfxOleRegisterPropertyPageClass(HINSTANCE hInstance, REFCLSID clsid, UINT idTypeName, int nRegFlags) {
  const std::string path = GetModuleFilePath(hInstance);
  if (path.empty()) return FALSE;
  const std::string classKey = ClassKey(clsid);
  if (SetStringValue(HKEY_CLASSES_ROOT, classKey, "", TypeName(hInstance, idTypeName, clsid)) != ERROR_SUCCESS)
    return FALSE;
  return WriteInprocServer(classKey, path, nRegFlags);
}

BOOL AfxOleUnregisterClass(REFCLSID clsid, LPCTSTR pszProgID) {
  const std::string classKey = ClassKey(clsid);
  // A class key that also serves a 16-bit version of the class keeps what
  // that version needs.
  kp::registry::ScopedHKey sixteenBit;
  if (RegOpenKeyEx(HKEY_CLASSES_ROOT, (classKey + "\\InprocServer").c_str(), 0, KEY_READ, sixteenBit.put()) ==
      ERROR_SUCCESS) {
    return DeleteKeyTree(HKEY_CLASSES_ROOT, classKey + "\\InprocServer32") == ERROR_SUCCESS &&
                   DeleteKeyTree(HKEY_CLASSES_ROOT, classKey + "\\ToolboxBitmap32") == ERROR_SUCCESS
               ? TRUE
               : FALSE;
  }
  if (DeleteKeyTree(HKEY_CLASSES_ROOT, classKey) != ERROR_SUCCESS) return FALSE;
  if (pszProgID != nullptr && *pszProgID != '\0' && DeleteKeyTree(HKEY_CLASSES_ROOT, pszProgID) != ERROR_SUCCESS)
    return FALSE;
  return TRUE;
}

BOOL AfxOleRegisterTypeLib(HINSTANCE hInstance, REFGUID tlid, LPCTSTR pszFileName, LPCTSTR pszHelpDir) {
  std::string path = GetModuleFilePath(hInstance);
  if (path.empty()) return FALSE;
  if (pszFileName != nullptr) {
    // The file named stands beside the module, unless its path is absolute.
    if (pszFileName[0] == '/') {
      path = pszFileName;
    } else {
      std::size_t slash = path.rfind('/');
      path = path.substr(0, slash + 1) + pszFileName;
    }
  }
  kp::com::ComPtr<ITypeLib> library;
  if (FAILED(LoadTypeLib(path.c_str(), library.put()))) return FALSE;
  TLIBATTR* attributes = nullptr;
  if (FAILED(library->GetLibAttr(&attributes)) || attributes == nullptr) return FALSE;
  const bool matches = attributes->guid == tlid;
  library->ReleaseTLibAttr(attributes);
  if (!matches) return FALSE;
  return SUCCEEDED(RegisterTypeLib(library.get(), path.c_str(), pszHelpDir)) ? TRUE : FALSE;
}

BOOL AfxOleUnregisterTypeLib(REFGUID tlid, WORD wVerMajor, WORD wVerMinor, LCID lcid) {
  return SUCCEEDED(UnRegisterTypeLib(tlid, wVerMajor, wVerMinor, lcid, SYS_WIN32)) ? TRUE : FALSE;
}

BOOL AfxOleRegisterServerClass(REFCLSID clsid, LPCTSTR pszProgID, HINSTANCE hProgram) {
  const std::string path = GetModuleFilePath(hProgram);
  if (path.empty()) return FALSE;
  const std::string classKey = ClassKey(clsid);
  const std::string name = pszProgID != nullptr ? pszProgID : GuidToString(clsid);
  std::vector<Entry> entries;
  if (pszProgID != nullptr && *pszProgID != '\0') {
    entries.push_back({pszProgID, "", name});
    entries.push_back({std::string(pszProgID) + "\\CLSID", "", GuidToString(clsid)});
    entries.push_back({classKey + "\\ProgID", "", pszProgID});
  }
  entries.push_back({classKey, "", name});
  entries.push_back({classKey + "\\LocalServer32", "", path});
  return WriteEntries(entries);
}
