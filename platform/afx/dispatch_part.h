#pragma once
// The IDispatch every automation-enabled CCmdTarget answers with: it serves
// the object's dispatch map (disp_map.h). It is a member of the object
// (CCmdTarget::m_xDispatch) and shares the object's reference count.

#include "platform/com/type_info.h"

class CCmdTarget;

class CDispatchPart final : public IDispatch {
 public:
  explicit CDispatchPart(CCmdTarget* pThis) : m_pThis(pThis) {}
  ~CDispatchPart() override;
  CDispatchPart(const CDispatchPart&) = delete;
  CDispatchPart& operator=(const CDispatchPart&) = delete;

  HRESULT QueryInterface(REFIID riid, void** ppvObject) override;
  ULONG AddRef() override;
  ULONG Release() override;

  // 1 when the object names a type library and dispatch interface
  // (CCmdTarget::GetTypeInfoCount), 0 otherwise.
  HRESULT GetTypeInfoCount(UINT* pctinfo) override;
  HRESULT GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) override;
  // Names from the dispatch map, without regard to case; a name the map
  // lacks is looked up in the type information when there is some. Names
  // after the first (parameter names) are not known: DISP_E_UNKNOWNNAME.
  HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid, DISPID* rgDispId) override;
  HRESULT Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS* pDispParams, VARIANT* pVarResult,
                 EXCEPINFO* pExcepInfo, UINT* puArgErr) override;

  CCmdTarget* GetOwner() const { return m_pThis; }

 private:
  CCmdTarget* m_pThis;
};
