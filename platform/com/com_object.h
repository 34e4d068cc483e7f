#pragma once
// ComObject: the one IUnknown of the COM objects our own code makes. It
// counts references, starting at one (the creator's), and the last Release
// ends the object; QueryInterface answers from a table with one row per
// interface the object implements, each row listing the ids that interface
// is handed out for:
//
//   class MemoryStream final : public ComObject<Implements<IStream, IID_ISequentialStream, IID_IStream>> {...};
//   ComPtr<IStream> stream(new MemoryStream(...));  // takes over the creator's reference
//
// IUnknown is always answered, with the first row's interface, so that
// every interface of one object gives the same IUnknown pointer, as COM's
// identity rule asks.
//
// The framework's command targets (CCmdTarget and the controls, pages and
// factories made from it) answer through their interface maps instead, as
// that framework does; their parts forward to the owner's count.

#include <tuple>

#include "platform/com/unknown.h"

namespace kp::com {

// One row of an object's interface table: the interface handed out, and
// the ids it is handed out for (its own and those of the interfaces it
// derives from, other than IUnknown).
template <typename Interface, const IID&... kIds>
struct Implements {
  using Type = Interface;
  static bool Answers(REFIID riid) { return ((riid == kIds) || ...); }
};

template <typename... Rows>
class ComObject : public Rows::Type... {
 public:
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  HRESULT QueryInterface(REFIID riid, void** ppv) override {
    if (ppv == nullptr) return E_POINTER;
    *ppv = riid == IID_IUnknown ? static_cast<IUnknown*>(static_cast<First*>(this)) : FindInterface(riid);
    if (*ppv == nullptr) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  ULONG AddRef() override { return ++m_refs; }
  ULONG Release() override {
    const ULONG left = --m_refs;
    if (left == 0) OnFinalRelease();
    return left;
  }

  // The references held now, for tests that check that what was taken is
  // given back.
  ULONG References() const { return m_refs; }

 protected:
  ComObject() = default;
  ~ComObject() override = default;

  // What the last Release does: deletes the object, which was made with
  // new. An object whose life is a scope (a static, a test's local)
  // overrides this to do nothing.
  virtual void OnFinalRelease() { delete this; }

 private:
  using First = typename std::tuple_element_t<0, std::tuple<Rows...>>::Type;

  // The first row that answers `riid`, as that row's interface; null when none does.
  void* FindInterface(REFIID riid) {
    void* found = nullptr;
    (void)((Rows::Answers(riid) && (found = static_cast<typename Rows::Type*>(this), true)) || ...);
    return found;
  }

  ULONG m_refs = 1;
};

}  // namespace kp::com
