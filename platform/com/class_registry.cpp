#include "platform/com/class_registry.h"

#include "platform/com/bstr.h"
#include "platform/com/com_error_codes.h"
#include "platform/com/com_runtime.h"
#include "platform/registry/registry_helpers.h"

namespace kp::com {
namespace {
HRESULT ReadClassValue(REFCLSID clsid, const char* subkey, std::string* value) {
  LONG result = registry::GetStringValue(HKEY_CLASSES_ROOT, "CLSID\\" + GuidToString(clsid) + "\\" + subkey, "", value);
  if (result == ERROR_SUCCESS) return S_OK;
  if (result == ERROR_FILE_NOT_FOUND || result == ERROR_INVALID_DATA) return REGDB_E_CLASSNOTREG;
  return REGDB_E_READREGDB;
}
}  // namespace

HRESULT ReadInprocServerPath(REFCLSID clsid, std::string* path) {
  return ReadClassValue(clsid, "InprocServer32", path);
}

}  // namespace kp::com

HRESULT CLSIDFromProgID(LPCOLESTR lpszProgID, LPCLSID lpclsid) {
  if (lpszProgID == nullptr || lpclsid == nullptr) return E_INVALIDARG;
  std::string text;
  LONG result = kp::registry::GetStringValue(HKEY_CLASSES_ROOT, std::string(lpszProgID) + "\\CLSID", "", &text);
  if (result != ERROR_SUCCESS) return result == ERROR_FILE_NOT_FOUND ? CO_E_CLASSSTRING : REGDB_E_READREGDB;
  auto clsid = GuidFromString(text);
  if (!clsid) return CO_E_CLASSSTRING;
  *lpclsid = *clsid;
  return S_OK;
}
