// Registering type libraries in HKEY_CLASSES_ROOT, finding them there, and
// removing them again.

#include <cstdio>
#include <string>
#include <vector>

#include "platform/base/ascii.h"
#include "platform/com/com_error_codes.h"
#include "platform/com/com_ptr.h"
#include "platform/com/type_library.h"
#include "platform/registry/registry_helpers.h"
#include "platform/registry/registry_tree.h"

namespace kp::com {
namespace {
std::string Hex(unsigned value) {
  char text[16];
  std::snprintf(text, sizeof text, "%x", value);
  return text;
}

std::string VersionKey(WORD major, WORD minor) { return Hex(major) + "." + Hex(minor); }

std::string LibraryKey(REFGUID libid) { return "TypeLib\\" + GuidToString(libid); }

// Parses a "major.minor" key name written in hex.
bool ParseVersion(const std::string& text, unsigned& major, unsigned& minor) {
  std::size_t dot = text.find('.');
  if (dot == std::string::npos || dot == 0 || dot + 1 >= text.size()) return false;
  auto hex = [](const std::string& part, unsigned& out) {
    if (part.size() > 4) return false;
    out = 0;
    for (char c : part) {
      int d = kp::base::HexDigit(c);
      if (d < 0) return false;
      out = out * 16 + static_cast<unsigned>(d);
    }
    return true;
  };
  return hex(text.substr(0, dot), major) && hex(text.substr(dot + 1), minor);
}

std::string Folder(const std::string& path) {
  std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash == 0 ? 1 : slash);
}

std::string Text(BSTR s) { return s != nullptr ? std::string(s, SysStringLen(s)) : std::string(); }

bool IsEmptyKey(const std::string& key) {
  std::vector<std::string> names;
  return registry::EnumerateSubkeys(HKEY_CLASSES_ROOT, key, &names) == ERROR_SUCCESS && names.empty();
}
}  // namespace
}  // namespace kp::com

using namespace kp::com;
using kp::registry::SetStringValue;

HRESULT LoadRegTypeLib(REFGUID rguid, WORD wVerMajor, WORD wVerMinor, LCID lcid, ITypeLib** pptlib) {
  if (pptlib == nullptr) return E_INVALIDARG;
  *pptlib = nullptr;
  std::string library = LibraryKey(rguid);
  std::vector<std::string> versions;
  if (kp::registry::EnumerateSubkeys(HKEY_CLASSES_ROOT, library, &versions) != ERROR_SUCCESS)
    return TYPE_E_LIBNOTREGISTERED;
  // The same major version, and the highest minor at least as high as asked.
  std::string best;
  unsigned bestMinor = 0;
  for (const std::string& v : versions) {
    unsigned major = 0, minor = 0;
    if (!ParseVersion(v, major, minor) || major != wVerMajor || minor < wVerMinor) continue;
    if (best.empty() || minor > bestMinor) {
      best = v;
      bestMinor = minor;
    }
  }
  if (best.empty()) return TYPE_E_LIBNOTREGISTERED;
  std::string path;
  bool found = false;
  for (LCID candidate : {lcid, static_cast<LCID>(lcid & 0x3FF), LCID{0}}) {
    std::string key = library + "\\" + best + "\\" + Hex(candidate) + "\\" + TypeLibPlatformKey();
    if (kp::registry::GetStringValue(HKEY_CLASSES_ROOT, key, "", &path) == ERROR_SUCCESS && !path.empty()) {
      found = true;
      break;
    }
  }
  if (!found) return TYPE_E_LIBNOTREGISTERED;
  ComPtr<ITypeLib> loaded;
  HRESULT hr = LoadTypeLib(path.c_str(), loaded.put());
  if (FAILED(hr)) return hr;
  // The file registered must hold the library asked for.
  TLIBATTR* attr = nullptr;
  if (FAILED(loaded->GetLibAttr(&attr))) return TYPE_E_CANTLOADLIBRARY;
  bool same = attr->guid == rguid;
  loaded->ReleaseTLibAttr(attr);
  if (!same) return TYPE_E_CANTLOADLIBRARY;
  *pptlib = loaded.Detach();
  return S_OK;
}

HRESULT RegisterTypeLib(ITypeLib* ptlib, LPCOLESTR szFullPath, LPCOLESTR szHelpDir) {
  if (ptlib == nullptr || szFullPath == nullptr || szFullPath[0] != '/') return E_INVALIDARG;
  TLIBATTR* attr = nullptr;
  HRESULT hr = ptlib->GetLibAttr(&attr);
  if (FAILED(hr)) return hr;
  TLIBATTR lib = *attr;
  ptlib->ReleaseTLibAttr(attr);

  BSTR name = nullptr, doc = nullptr;
  ptlib->GetDocumentation(-1, &name, &doc, nullptr, nullptr);
  std::string title = Text(doc).empty() ? Text(name) : Text(doc);
  SysFreeString(name);
  SysFreeString(doc);

  std::string version = VersionKey(lib.wMajorVerNum, lib.wMinorVerNum);
  std::string key = LibraryKey(lib.guid) + "\\" + version;
  std::string helpDir = szHelpDir != nullptr ? std::string(szHelpDir) : Folder(szFullPath);
  bool ok = SetStringValue(HKEY_CLASSES_ROOT, key, "", title) == ERROR_SUCCESS &&
            SetStringValue(HKEY_CLASSES_ROOT, key + "\\FLAGS", "", std::to_string(lib.wLibFlags)) == ERROR_SUCCESS &&
            SetStringValue(HKEY_CLASSES_ROOT, key + "\\HELPDIR", "", helpDir) == ERROR_SUCCESS &&
            SetStringValue(HKEY_CLASSES_ROOT, key + "\\" + Hex(lib.lcid) + "\\" + TypeLibPlatformKey(), "",
                           szFullPath) == ERROR_SUCCESS;
  if (!ok) return TYPE_E_REGISTRYACCESS;

  // Every dispatch interface is described by this library and marshalled
  // the standard way.
  std::string proxyStub = GuidToString(CLSID_PSDispatch);
  for (UINT i = 0; i < ptlib->GetTypeInfoCount(); ++i) {
    TYPEKIND kind{};
    if (FAILED(ptlib->GetTypeInfoType(i, &kind)) || kind != TKIND_DISPATCH) continue;
    ComPtr<ITypeInfo> info;
    if (FAILED(ptlib->GetTypeInfo(i, info.put()))) return TYPE_E_REGISTRYACCESS;
    TYPEATTR* type = nullptr;
    if (FAILED(info->GetTypeAttr(&type))) return TYPE_E_REGISTRYACCESS;
    std::string interfaceKey = "Interface\\" + GuidToString(type->guid);
    info->ReleaseTypeAttr(type);
    BSTR typeName = nullptr;
    ptlib->GetDocumentation(static_cast<INT>(i), &typeName, nullptr, nullptr, nullptr);
    std::string nameText = Text(typeName);
    SysFreeString(typeName);
    ok = SetStringValue(HKEY_CLASSES_ROOT, interfaceKey, "", nameText) == ERROR_SUCCESS &&
         SetStringValue(HKEY_CLASSES_ROOT, interfaceKey + "\\ProxyStubClsid", "", proxyStub) == ERROR_SUCCESS &&
         SetStringValue(HKEY_CLASSES_ROOT, interfaceKey + "\\ProxyStubClsid32", "", proxyStub) == ERROR_SUCCESS &&
         SetStringValue(HKEY_CLASSES_ROOT, interfaceKey + "\\TypeLib", "", GuidToString(lib.guid)) == ERROR_SUCCESS &&
         SetStringValue(HKEY_CLASSES_ROOT, interfaceKey + "\\TypeLib", "Version", version) == ERROR_SUCCESS;
    if (!ok) return TYPE_E_REGISTRYACCESS;
  }
  return S_OK;
}

HRESULT UnRegisterTypeLib(REFGUID libID, WORD wVerMajor, WORD wVerMinor, LCID lcid, SYSKIND) {
  using kp::registry::DeleteKeyTree;
  std::string library = LibraryKey(libID);
  std::string version = VersionKey(wVerMajor, wVerMinor);
  std::string versionKey = library + "\\" + version;
  std::string localeKey = versionKey + "\\" + Hex(lcid);
  if (DeleteKeyTree(HKEY_CLASSES_ROOT, localeKey + "\\" + TypeLibPlatformKey()) != ERROR_SUCCESS)
    return TYPE_E_REGISTRYACCESS;
  // Whatever is left empty goes too; FLAGS and HELPDIR belong to the
  // version and go with its last locale.
  if (IsEmptyKey(localeKey) && DeleteKeyTree(HKEY_CLASSES_ROOT, localeKey) != ERROR_SUCCESS)
    return TYPE_E_REGISTRYACCESS;
  std::vector<std::string> left;
  LONG listed = kp::registry::EnumerateSubkeys(HKEY_CLASSES_ROOT, versionKey, &left);
  if (listed == ERROR_SUCCESS) {
    bool otherLocales = false;
    for (const std::string& name : left)
      if (!kp::base::EqualNoCase(name, "FLAGS") && !kp::base::EqualNoCase(name, "HELPDIR")) otherLocales = true;
    if (!otherLocales && DeleteKeyTree(HKEY_CLASSES_ROOT, versionKey) != ERROR_SUCCESS) return TYPE_E_REGISTRYACCESS;
  } else if (listed != ERROR_FILE_NOT_FOUND) {
    return TYPE_E_REGISTRYACCESS;
  }
  if (IsEmptyKey(library) && DeleteKeyTree(HKEY_CLASSES_ROOT, library) != ERROR_SUCCESS) return TYPE_E_REGISTRYACCESS;

  // The interfaces this library and version described.
  std::vector<std::string> interfaces;
  listed = kp::registry::EnumerateSubkeys(HKEY_CLASSES_ROOT, "Interface", &interfaces);
  if (listed != ERROR_SUCCESS && listed != ERROR_FILE_NOT_FOUND) return TYPE_E_REGISTRYACCESS;
  std::string libText = GuidToString(libID);
  for (const std::string& iid : interfaces) {
    std::string key = "Interface\\" + iid + "\\TypeLib";
    std::string owner, ownerVersion;
    if (kp::registry::GetStringValue(HKEY_CLASSES_ROOT, key, "", &owner) != ERROR_SUCCESS) continue;
    if (kp::registry::GetStringValue(HKEY_CLASSES_ROOT, key, "Version", &ownerVersion) != ERROR_SUCCESS) continue;
    if (!kp::base::EqualNoCase(owner, libText) || ownerVersion != version) continue;
    if (DeleteKeyTree(HKEY_CLASSES_ROOT, "Interface\\" + iid) != ERROR_SUCCESS) return TYPE_E_REGISTRYACCESS;
  }
  return S_OK;
}
