#include "platform/com/class_registry.h"

#include <cstring>

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

std::vector<std::string> SplitWords(const std::string& text) {
  std::vector<std::string> words;
  std::string word;
  for (char c : text) {
    if (c == ' ' || c == '\t') {
      if (!word.empty()) words.push_back(std::move(word));
      word.clear();
    } else {
      word += c;
    }
  }
  if (!word.empty()) words.push_back(std::move(word));
  return words;
}
}  // namespace

HRESULT ReadInprocServerPath(REFCLSID clsid, std::string* path) { return ReadClassValue(clsid, "InprocServer32", path); }

HRESULT ReadLocalServerCommand(REFCLSID clsid, std::vector<std::string>* command) {
  std::string value;
  HRESULT hr = ReadClassValue(clsid, "LocalServer32", &value);
  if (FAILED(hr)) return hr;
  command->clear();
  if (!value.empty() && value[0] == '"') {
    std::size_t close = value.find('"', 1);
    if (close == std::string::npos) return REGDB_E_CLASSNOTREG;
    command->push_back(value.substr(1, close - 1));
    for (std::string& word : SplitWords(value.substr(close + 1))) command->push_back(std::move(word));
  } else {
    command->push_back(value);
  }
  if (command->front().empty()) return REGDB_E_CLASSNOTREG;
  return S_OK;
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

HRESULT ProgIDFromCLSID(REFCLSID clsid, LPOLESTR* lplpszProgID) {
  if (lplpszProgID == nullptr) return E_INVALIDARG;
  *lplpszProgID = nullptr;
  std::string text;
  LONG result = kp::registry::GetStringValue(HKEY_CLASSES_ROOT, "CLSID\\" + GuidToString(clsid) + "\\ProgID", "", &text);
  if (result != ERROR_SUCCESS) return result == ERROR_FILE_NOT_FOUND ? REGDB_E_CLASSNOTREG : REGDB_E_READREGDB;
  auto* copy = static_cast<LPOLESTR>(CoTaskMemAlloc(text.size() + 1));
  if (copy == nullptr) return E_OUTOFMEMORY;
  std::memcpy(copy, text.c_str(), text.size() + 1);
  *lplpszProgID = copy;
  return S_OK;
}

HRESULT CLSIDFromString(LPCOLESTR lpsz, LPCLSID pclsid) {
  if (lpsz == nullptr || pclsid == nullptr) return E_INVALIDARG;
  auto clsid = GuidFromString(lpsz);
  if (!clsid) return CO_E_CLASSSTRING;
  *pclsid = *clsid;
  return S_OK;
}

int StringFromGUID2(REFGUID rguid, LPOLESTR lpsz, int cchMax) {
  std::string text = GuidToString(rguid);
  if (lpsz == nullptr || cchMax < static_cast<int>(text.size()) + 1) return 0;
  std::memcpy(lpsz, text.c_str(), text.size() + 1);
  return static_cast<int>(text.size()) + 1;
}
