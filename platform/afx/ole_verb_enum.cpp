#include "platform/afx/ole_verb_enum.h"

#include <cstring>
#include <memory>
#include <new>

#include "platform/com/bstr.h"
#include "platform/com/com_object.h"

namespace kp::afx {
namespace {

class CVerbEnumerator final : public kp::com::ComObject<kp::com::Implements<IEnumOLEVERB, IID_IEnumOLEVERB>> {
 public:
  explicit CVerbEnumerator(std::shared_ptr<const std::vector<VerbDescription>> verbs, std::size_t next = 0)
      : m_verbs(std::move(verbs)), m_next(next) {}

  HRESULT Next(ULONG celt, OLEVERB* rgelt, ULONG* pceltFetched) override {
    if (rgelt == nullptr || (celt > 1 && pceltFetched == nullptr)) return E_POINTER;
    ULONG fetched = 0;
    while (fetched < celt && m_next < m_verbs->size()) {
      const VerbDescription& verb = (*m_verbs)[m_next];
      // The caller frees each name with CoTaskMemFree.
      auto* name = static_cast<LPOLESTR>(CoTaskMemAlloc(verb.name.size() + 1));
      if (name == nullptr) break;
      std::memcpy(name, verb.name.c_str(), verb.name.size() + 1);
      rgelt[fetched] = OLEVERB{verb.lVerb, name, verb.fuFlags, verb.grfAttribs};
      ++fetched;
      ++m_next;
    }
    if (pceltFetched != nullptr) *pceltFetched = fetched;
    return fetched == celt ? S_OK : S_FALSE;
  }
  HRESULT Skip(ULONG celt) override {
    std::size_t left = m_verbs->size() - m_next;
    m_next += celt < left ? celt : left;
    return celt <= left ? S_OK : S_FALSE;
  }
  HRESULT Reset() override {
    m_next = 0;
    return S_OK;
  }
  HRESULT Clone(IEnumOLEVERB** ppenum) override {
    if (ppenum == nullptr) return E_POINTER;
    *ppenum = new (std::nothrow) CVerbEnumerator(m_verbs, m_next);
    return *ppenum != nullptr ? S_OK : E_OUTOFMEMORY;
  }

 private:
  ~CVerbEnumerator() override = default;

  std::shared_ptr<const std::vector<VerbDescription>> m_verbs;
  std::size_t m_next;
};

}  // namespace

HRESULT CreateVerbEnumerator(std::vector<VerbDescription> verbs, IEnumOLEVERB** ppEnum) {
  if (ppEnum == nullptr) return E_POINTER;
  *ppEnum = nullptr;
  if (verbs.empty()) return OLEOBJ_E_NOVERBS;
  auto shared = std::make_shared<const std::vector<VerbDescription>>(std::move(verbs));
  *ppEnum = new (std::nothrow) CVerbEnumerator(std::move(shared));
  return *ppEnum != nullptr ? S_OK : E_OUTOFMEMORY;
}

}  // namespace kp::afx
