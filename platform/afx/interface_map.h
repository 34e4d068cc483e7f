#pragma once
// Interface maps: which COM interfaces an object answers QueryInterface
// with, beyond IUnknown and IDispatch. Each entry pairs an interface id
// with an interface part, a member object `m_x<Name>` that implements the
// interface and forwards IUnknown to the object that holds it
// (CInterfacePart in interface_part.h).
//
//   BEGIN_INTERFACE_MAP(CMyProxy, CCmdTarget)
//     INTERFACE_PART(CMyProxy, IID_IMyDispatch, Dispatch)   // the object's own IDispatch
//   END_INTERFACE_MAP()

#include <cstddef>
#include <iterator>

#include "platform/com/unknown.h"

class CCmdTarget;

struct AFX_INTERFACEMAP_ENTRY {
  const IID* piid;
  IUnknown* (*pfnGetPart)(CCmdTarget* pTarget);
};

struct AFX_INTERFACEMAP {
  const AFX_INTERFACEMAP* (*pfnGetBaseMap)();
  const AFX_INTERFACEMAP_ENTRY* lpEntries;
  std::size_t nEntries;
};

#define DECLARE_INTERFACE_MAP()                         \
 protected:                                             \
  static const AFX_INTERFACEMAP* GetThisInterfaceMap(); \
  const AFX_INTERFACEMAP* GetInterfaceMap() const override;

#define BEGIN_INTERFACE_MAP(theClass, baseClass)                                              \
  const AFX_INTERFACEMAP* theClass::GetInterfaceMap() const { return GetThisInterfaceMap(); } \
  const AFX_INTERFACEMAP* theClass::GetThisInterfaceMap() {                                   \
    using TheBaseClass = baseClass;                                                           \
    static const AFX_INTERFACEMAP_ENTRY _interfaceEntries[] = {
#define INTERFACE_PART(theClass, iid, localClass)                                      \
  {&(iid), [](CCmdTarget* pTarget) -> IUnknown* {                                      \
     return static_cast<IUnknown*>(&static_cast<theClass*>(pTarget)->m_x##localClass); \
   }},

#define END_INTERFACE_MAP()                                                                            \
  { nullptr, nullptr }                                                                                 \
  }                                                                                                    \
  ;                                                                                                    \
  static const AFX_INTERFACEMAP interfaceMap = {&TheBaseClass::GetThisInterfaceMap, _interfaceEntries, \
                                                std::size(_interfaceEntries) - 1};                     \
  return &interfaceMap;                                                                                \
  }
