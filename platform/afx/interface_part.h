#pragma once
// CInterfacePart: the base of the member objects through which a
// CCmdTarget implements COM interfaces (see interface_map.h). A part has
// no identity or reference count of its own: QueryInterface, AddRef and
// Release go to the object that holds it.

#include "platform/afx/cmd_target.h"

template <typename I>
class CInterfacePart : public I {
 public:
  explicit CInterfacePart(CCmdTarget* pOwner) : m_pOwner(pOwner) {}
  ~CInterfacePart() override = default;
  CInterfacePart(const CInterfacePart&) = delete;
  CInterfacePart& operator=(const CInterfacePart&) = delete;

  HRESULT QueryInterface(REFIID riid, void** ppvObject) override {
    return m_pOwner->ExternalQueryInterface(&riid, ppvObject);
  }
  ULONG AddRef() override { return m_pOwner->ExternalAddRef(); }
  ULONG Release() override { return m_pOwner->ExternalRelease(); }

  CCmdTarget* GetOwner() const { return m_pOwner; }

 protected:
  CCmdTarget* m_pOwner;
};
