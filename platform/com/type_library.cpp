#include "platform/com/type_library.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <limits>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/base/ascii.h"
#include "platform/base/win_user.h"
#include "platform/com/com_error_codes.h"
#include "platform/com/com_object.h"
#include "platform/com/com_ptr.h"
#include "platform/com/module_loader.h"
#include "platform/com/type_library_format.h"
#include "platform/resources/resources.h"

namespace kp::com {
namespace {
constexpr std::string_view kTextMagic = "kestrow-typelib";
// Type references of a class point at library types by index from here.
constexpr HREFTYPE kRefTypeBase = 0x1000;

void SetBstr(BSTR* out, const std::string& text) {
  if (out != nullptr) *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

bool IsFunction(const TypeLibMember& m) { return m.kind != MemberKind::Property; }

INVOKEKIND InvokeKindOf(MemberKind kind) {
  switch (kind) {
    case MemberKind::PropertyGet: return INVOKE_PROPERTYGET;
    case MemberKind::PropertyPut: return INVOKE_PROPERTYPUT;
    default: return INVOKE_FUNC;
  }
}

class TypeLib;

// What a FUNCDESC or VARDESC handed out points into; kept until released.
struct DescriptionStorage {
  FUNCDESC func{};
  VARDESC var{};
  std::vector<ELEMDESC> params;
  std::deque<TYPEDESC> pointed;  // the targets of VT_PTR chains
};

class TypeInfo final : public ComObject<Implements<ITypeInfo, IID_ITypeInfo>> {
 public:
  TypeInfo(TypeLib* library, std::size_t index);

  HRESULT GetTypeAttr(TYPEATTR** ppTypeAttr) override;
  HRESULT GetFuncDesc(UINT index, FUNCDESC** ppFuncDesc) override;
  HRESULT GetVarDesc(UINT index, VARDESC** ppVarDesc) override;
  HRESULT GetNames(MEMBERID memid, BSTR* rgBstrNames, UINT cMaxNames, UINT* pcNames) override;
  HRESULT GetRefTypeOfImplType(UINT index, HREFTYPE* pRefType) override;
  HRESULT GetImplTypeFlags(UINT index, INT* pImplTypeFlags) override;
  HRESULT GetIDsOfNames(LPOLESTR* rgszNames, UINT cNames, MEMBERID* pMemId) override;
  HRESULT GetDocumentation(MEMBERID memid, BSTR* pBstrName, BSTR* pBstrDocString, DWORD* pdwHelpContext,
                           BSTR* pBstrHelpFile) override;
  HRESULT GetRefTypeInfo(HREFTYPE hRefType, ITypeInfo** ppTInfo) override;
  HRESULT GetContainingTypeLib(ITypeLib** ppTLib, UINT* pIndex) override;
  void ReleaseTypeAttr(TYPEATTR* pTypeAttr) override { delete pTypeAttr; }
  void ReleaseFuncDesc(FUNCDESC* pFuncDesc) override;
  void ReleaseVarDesc(VARDESC* pVarDesc) override;

 private:
  ~TypeInfo() override;
  const TypeLibType& Type() const;
  const TypeLibrary& Library() const;
  // The index-th member that is (or is not) a property.
  const TypeLibMember* NthMember(UINT index, bool property) const;
  void Describe(const TypeRef& type, TYPEDESC& desc, DescriptionStorage& storage);

  TypeLib* m_library;
  std::size_t m_index;
  std::map<const void*, std::unique_ptr<DescriptionStorage>> m_handedOut;
};

class TypeLib final : public ComObject<Implements<ITypeLib, IID_ITypeLib>> {
 public:
  explicit TypeLib(TypeLibrary library) : m_library(std::move(library)) {}

  UINT GetTypeInfoCount() override { return static_cast<UINT>(m_library.types.size()); }

  HRESULT GetTypeInfo(UINT index, ITypeInfo** ppTInfo) override {
    if (ppTInfo == nullptr) return E_INVALIDARG;
    *ppTInfo = nullptr;
    if (index >= m_library.types.size()) return TYPE_E_ELEMENTNOTFOUND;
    *ppTInfo = new TypeInfo(this, index);
    return S_OK;
  }

  HRESULT GetTypeInfoType(UINT index, TYPEKIND* pTKind) override {
    if (pTKind == nullptr) return E_INVALIDARG;
    if (index >= m_library.types.size()) return TYPE_E_ELEMENTNOTFOUND;
    *pTKind = m_library.types[index].kind;
    return S_OK;
  }

  HRESULT GetTypeInfoOfGuid(REFGUID guid, ITypeInfo** ppTinfo) override {
    if (ppTinfo == nullptr) return E_INVALIDARG;
    *ppTinfo = nullptr;
    for (std::size_t i = 0; i < m_library.types.size(); ++i)
      if (m_library.types[i].guid == guid) return GetTypeInfo(static_cast<UINT>(i), ppTinfo);
    return TYPE_E_ELEMENTNOTFOUND;
  }

  HRESULT GetLibAttr(TLIBATTR** ppTLibAttr) override {
    if (ppTLibAttr == nullptr) return E_INVALIDARG;
    auto* attr = new TLIBATTR{};
    attr->guid = m_library.libid;
    attr->lcid = m_library.lcid;
    attr->syskind = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;
    attr->wMajorVerNum = m_library.majorVersion;
    attr->wMinorVerNum = m_library.minorVersion;
    attr->wLibFlags = m_library.flags;
    *ppTLibAttr = attr;
    return S_OK;
  }

  HRESULT GetDocumentation(INT index, BSTR* pBstrName, BSTR* pBstrDocString, DWORD* pdwHelpContext,
                           BSTR* pBstrHelpFile) override {
    if (index == -1) {
      SetBstr(pBstrName, m_library.name);
      SetBstr(pBstrDocString, m_library.helpString);
      if (pdwHelpContext) *pdwHelpContext = m_library.helpContext;
      SetBstr(pBstrHelpFile, m_library.helpFile);
      return S_OK;
    }
    if (index < 0 || static_cast<std::size_t>(index) >= m_library.types.size()) return TYPE_E_ELEMENTNOTFOUND;
    const TypeLibType& type = m_library.types[static_cast<std::size_t>(index)];
    SetBstr(pBstrName, type.name);
    SetBstr(pBstrDocString, type.helpString);
    if (pdwHelpContext) *pdwHelpContext = type.helpContext;
    SetBstr(pBstrHelpFile, m_library.helpFile);
    return S_OK;
  }

  void ReleaseTLibAttr(TLIBATTR* pTLibAttr) override { delete pTLibAttr; }

  const TypeLibrary& Library() const { return m_library; }

 private:
  ~TypeLib() override = default;

  TypeLibrary m_library;
};

TypeInfo::TypeInfo(TypeLib* library, std::size_t index) : m_library(library), m_index(index) { m_library->AddRef(); }

TypeInfo::~TypeInfo() { m_library->Release(); }

const TypeLibrary& TypeInfo::Library() const { return m_library->Library(); }
const TypeLibType& TypeInfo::Type() const { return Library().types[m_index]; }

const TypeLibMember* TypeInfo::NthMember(UINT index, bool property) const {
  for (const TypeLibMember& m : Type().members) {
    if (IsFunction(m) == property) continue;
    if (index-- == 0) return &m;
  }
  return nullptr;
}

void TypeInfo::Describe(const TypeRef& type, TYPEDESC& desc, DescriptionStorage& storage) {
  TYPEDESC* current = &desc;
  for (int level = 0; level < type.pointers; ++level) {
    current->vt = VT_PTR;
    current->lptdesc = &storage.pointed.emplace_back();
    current = current->lptdesc;
  }
  current->vt = type.vt;
  current->lptdesc = nullptr;
}

HRESULT TypeInfo::GetTypeAttr(TYPEATTR** ppTypeAttr) {
  if (ppTypeAttr == nullptr) return E_INVALIDARG;
  const TypeLibType& type = Type();
  auto* attr = new TYPEATTR{};
  attr->guid = type.guid;
  attr->lcid = Library().lcid;
  attr->memidConstructor = MEMBERID_NIL;
  attr->memidDestructor = MEMBERID_NIL;
  attr->typekind = type.kind;
  for (const TypeLibMember& m : type.members) ++(IsFunction(m) ? attr->cFuncs : attr->cVars);
  attr->cImplTypes = static_cast<WORD>(type.interfaces.size());
  attr->cbAlignment = alignof(void*);
  attr->wTypeFlags = static_cast<WORD>(type.flags | (type.kind == TKIND_DISPATCH ? TYPEFLAG_FDISPATCHABLE : 0));
  attr->wMajorVerNum = Library().majorVersion;
  attr->wMinorVerNum = Library().minorVersion;
  attr->tdescAlias.vt = VT_EMPTY;
  *ppTypeAttr = attr;
  return S_OK;
}

HRESULT TypeInfo::GetFuncDesc(UINT index, FUNCDESC** ppFuncDesc) {
  if (ppFuncDesc == nullptr) return E_INVALIDARG;
  const TypeLibMember* m = NthMember(index, false);
  if (m == nullptr) return TYPE_E_ELEMENTNOTFOUND;
  auto storage = std::make_unique<DescriptionStorage>();
  FUNCDESC& f = storage->func;
  f.memid = m->dispid;
  f.funckind = FUNC_DISPATCH;
  f.invkind = InvokeKindOf(m->kind);
  f.callconv = CC_STDCALL;
  f.cParams = static_cast<SHORT>(m->params.size());
  storage->params.resize(m->params.size());
  for (std::size_t i = 0; i < m->params.size(); ++i) {
    Describe(m->params[i].type, storage->params[i].tdesc, *storage);
    storage->params[i].paramdesc.wParamFlags = PARAMFLAG_FIN;
  }
  f.lprgelemdescParam = storage->params.empty() ? nullptr : storage->params.data();
  Describe(m->result, f.elemdescFunc.tdesc, *storage);
  *ppFuncDesc = &f;
  m_handedOut[&f] = std::move(storage);
  return S_OK;
}

HRESULT TypeInfo::GetVarDesc(UINT index, VARDESC** ppVarDesc) {
  if (ppVarDesc == nullptr) return E_INVALIDARG;
  const TypeLibMember* m = NthMember(index, true);
  if (m == nullptr) return TYPE_E_ELEMENTNOTFOUND;
  auto storage = std::make_unique<DescriptionStorage>();
  VARDESC& v = storage->var;
  v.memid = m->dispid;
  v.varkind = VAR_DISPATCH;
  Describe(m->result, v.elemdescVar.tdesc, *storage);
  *ppVarDesc = &v;
  m_handedOut[&v] = std::move(storage);
  return S_OK;
}

void TypeInfo::ReleaseFuncDesc(FUNCDESC* pFuncDesc) { m_handedOut.erase(pFuncDesc); }

void TypeInfo::ReleaseVarDesc(VARDESC* pVarDesc) { m_handedOut.erase(pVarDesc); }

HRESULT TypeInfo::GetNames(MEMBERID memid, BSTR* rgBstrNames, UINT cMaxNames, UINT* pcNames) {
  if (rgBstrNames == nullptr || pcNames == nullptr) return E_INVALIDARG;
  *pcNames = 0;
  for (const TypeLibMember& m : Type().members) {
    if (m.dispid != memid) continue;
    std::vector<const std::string*> names{&m.name};
    for (const TypeLibParameter& p : m.params) names.push_back(&p.name);
    for (std::size_t i = 0; i < names.size() && *pcNames < cMaxNames; ++i)
      SetBstr(&rgBstrNames[(*pcNames)++], *names[i]);
    return S_OK;
  }
  return TYPE_E_ELEMENTNOTFOUND;
}

HRESULT TypeInfo::GetRefTypeOfImplType(UINT index, HREFTYPE* pRefType) {
  if (pRefType == nullptr) return E_INVALIDARG;
  const TypeLibType& type = Type();
  if (index >= type.interfaces.size()) return TYPE_E_ELEMENTNOTFOUND;
  *pRefType = kRefTypeBase + static_cast<HREFTYPE>(type.interfaces[index].type);
  return S_OK;
}

HRESULT TypeInfo::GetImplTypeFlags(UINT index, INT* pImplTypeFlags) {
  if (pImplTypeFlags == nullptr) return E_INVALIDARG;
  const TypeLibType& type = Type();
  if (index >= type.interfaces.size()) return TYPE_E_ELEMENTNOTFOUND;
  *pImplTypeFlags = type.interfaces[index].flags;
  return S_OK;
}

HRESULT TypeInfo::GetIDsOfNames(LPOLESTR* rgszNames, UINT cNames, MEMBERID* pMemId) {
  if (rgszNames == nullptr || pMemId == nullptr) return E_INVALIDARG;
  if (cNames == 0) return E_INVALIDARG;
  for (UINT i = 0; i < cNames; ++i) pMemId[i] = MEMBERID_NIL;
  if (rgszNames[0] == nullptr) return DISP_E_UNKNOWNNAME;
  // A get and a put share a name; the put's last parameter is its value,
  // so names are looked up among the parameters of every member so named.
  std::vector<const TypeLibMember*> named;
  for (const TypeLibMember& m : Type().members)
    if (base::EqualNoCase(m.name, rgszNames[0])) named.push_back(&m);
  if (named.empty()) return DISP_E_UNKNOWNNAME;
  pMemId[0] = named.front()->dispid;
  HRESULT result = S_OK;
  for (UINT i = 1; i < cNames; ++i) {
    bool found = false;
    for (const TypeLibMember* m : named) {
      for (std::size_t p = 0; p < m->params.size() && !found; ++p) {
        if (rgszNames[i] != nullptr && base::EqualNoCase(m->params[p].name, rgszNames[i])) {
          pMemId[i] = static_cast<MEMBERID>(p);
          found = true;
        }
      }
    }
    if (!found) result = DISP_E_UNKNOWNNAME;
  }
  return result;
}

HRESULT TypeInfo::GetDocumentation(MEMBERID memid, BSTR* pBstrName, BSTR* pBstrDocString, DWORD* pdwHelpContext,
                                   BSTR* pBstrHelpFile) {
  const TypeLibType& type = Type();
  if (memid == MEMBERID_NIL) {
    SetBstr(pBstrName, type.name);
    SetBstr(pBstrDocString, type.helpString);
    if (pdwHelpContext) *pdwHelpContext = type.helpContext;
    SetBstr(pBstrHelpFile, Library().helpFile);
    return S_OK;
  }
  for (const TypeLibMember& m : type.members) {
    if (m.dispid != memid) continue;
    SetBstr(pBstrName, m.name);
    SetBstr(pBstrDocString, m.helpString);
    if (pdwHelpContext) *pdwHelpContext = 0;
    SetBstr(pBstrHelpFile, Library().helpFile);
    return S_OK;
  }
  return TYPE_E_ELEMENTNOTFOUND;
}

HRESULT TypeInfo::GetRefTypeInfo(HREFTYPE hRefType, ITypeInfo** ppTInfo) {
  if (ppTInfo == nullptr) return E_INVALIDARG;
  *ppTInfo = nullptr;
  if (hRefType < kRefTypeBase) return TYPE_E_ELEMENTNOTFOUND;
  return m_library->GetTypeInfo(hRefType - kRefTypeBase, ppTInfo);
}

HRESULT TypeInfo::GetContainingTypeLib(ITypeLib** ppTLib, UINT* pIndex) {
  if (ppTLib != nullptr) {
    m_library->AddRef();
    *ppTLib = m_library;
  }
  if (pIndex != nullptr) *pIndex = static_cast<UINT>(m_index);
  return S_OK;
}

// Reads at most `limit` bytes of the file at `path`.
bool ReadFile(const std::string& path, std::size_t limit, std::vector<BYTE>& bytes) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  BYTE buffer[8192];
  ssize_t n = 0;
  while (bytes.size() < limit && (n = ::read(fd, buffer, std::min(sizeof buffer, limit - bytes.size()))) > 0)
    bytes.insert(bytes.end(), buffer, buffer + n);
  ::close(fd);
  return n >= 0;
}
}  // namespace

HRESULT LoadTypeLibFromBytes(std::span<const BYTE> bytes, ITypeLib** pptlib) {
  if (pptlib == nullptr) return E_INVALIDARG;
  *pptlib = nullptr;
  TypeLibrary library;
  if (!ParseTypeLibrary(bytes, library, nullptr)) return TYPE_E_INVDATAREAD;
  *pptlib = new TypeLib(std::move(library));
  return S_OK;
}

HRESULT LoadTypeLibFromModule(HINSTANCE module, ITypeLib** pptlib) {
  if (pptlib == nullptr) return E_INVALIDARG;
  *pptlib = nullptr;
  auto bytes = resources::FindResourceBytes(module, MAKEINTRESOURCE(1), "TYPELIB");
  if (!bytes) return TYPE_E_CANTLOADLIBRARY;
  return LoadTypeLibFromBytes(*bytes, pptlib);
}

const char* TypeLibPlatformKey() { return sizeof(void*) == 8 ? "linux64" : "linux32"; }

}  // namespace kp::com

HRESULT LoadTypeLib(LPCOLESTR szFile, ITypeLib** pptlib) {
  using namespace kp::com;
  if (pptlib == nullptr || szFile == nullptr) return E_INVALIDARG;
  *pptlib = nullptr;
  std::vector<BYTE> start;
  if (!ReadFile(szFile, kTextMagic.size(), start)) return TYPE_E_CANTLOADLIBRARY;
  // A library text file is read as it is; anything else is a module.
  if (start.size() == kTextMagic.size() && std::memcmp(start.data(), kTextMagic.data(), kTextMagic.size()) == 0) {
    std::vector<BYTE> bytes;
    if (!ReadFile(szFile, std::numeric_limits<std::size_t>::max(), bytes)) return TYPE_E_CANTLOADLIBRARY;
    return LoadTypeLibFromBytes(bytes, pptlib);
  }
  LoadedModule module;
  if (FAILED(LoadModule(szFile, &module))) return TYPE_E_CANTLOADLIBRARY;
  return LoadTypeLibFromModule(module.instance, pptlib);
}
