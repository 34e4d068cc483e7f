#include "platform/testing/memory_property_bag.h"

#include <string_view>

#include "platform/base/ascii.h"
#include "platform/com/com_object.h"

namespace kp::com {
namespace {
class MemoryPropertyBag final : public ComObject<Implements<IPropertyBag, IID_IPropertyBag>> {
 public:
  HRESULT Read(LPCOLESTR pszPropName, VARIANT* pVar, IErrorLog*) override {
    if (pszPropName == nullptr || pVar == nullptr) return E_POINTER;
    Entry* entry = Find(pszPropName);
    if (entry == nullptr) return E_INVALIDARG;
    if (pVar->vt == VT_EMPTY) return VariantCopy(pVar, &entry->value);
    return VariantChangeType(pVar, &entry->value, 0, pVar->vt);
  }

  HRESULT Write(LPCOLESTR pszPropName, VARIANT* pVar) override {
    if (pszPropName == nullptr || pVar == nullptr) return E_POINTER;
    VARIANT copy;
    VariantInit(&copy);
    // A bag keeps values, never references into the writer's memory.
    HRESULT hr = VariantCopyInd(&copy, pVar);
    if (FAILED(hr)) return hr;
    Entry* entry = Find(pszPropName);
    if (entry == nullptr) {
      m_entries.push_back(Entry{pszPropName, copy});
    } else {
      VariantClear(&entry->value);
      entry->value = copy;
    }
    return S_OK;
  }

  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const Entry& e : m_entries) names.push_back(e.name);
    return names;
  }

 private:
  struct Entry {
    std::string name;
    VARIANT value;
  };

  ~MemoryPropertyBag() override {
    for (Entry& e : m_entries) VariantClear(&e.value);
  }

  Entry* Find(std::string_view name) {
    for (Entry& e : m_entries)
      if (base::EqualNoCase(e.name, name)) return &e;
    return nullptr;
  }

  std::vector<Entry> m_entries;
};

}  // namespace

HRESULT CreateMemoryPropertyBag(IPropertyBag** ppBag) {
  if (ppBag == nullptr) return E_INVALIDARG;
  *ppBag = new MemoryPropertyBag();
  return S_OK;
}

std::vector<std::string> PropertyBagNames(IPropertyBag* bag) {
  auto* memory = dynamic_cast<MemoryPropertyBag*>(bag);
  return memory != nullptr ? memory->Names() : std::vector<std::string>();
}

}  // namespace kp::com
