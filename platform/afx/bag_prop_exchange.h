#pragma once
// The property-bag form of a property exchange: each property is stored
// under its name (IPropertyBag), so order does not matter. A property the
// bag lacks, or holds in a form that does not convert, loads as its
// default.

#include "platform/afx/prop_exchange.h"
#include "platform/com/persist.h"

class CPropBagPropExchange : public CPropExchange {
 public:
  CPropBagPropExchange(IPropertyBag* pPropBag, IErrorLog* pErrorLog, BOOL bLoading);

  BOOL ExchangeProp(LPCTSTR pszPropName, VARTYPE vtProp, void* pvProp, const void* pvDefault) override;

 private:
  IPropertyBag* m_pPropBag;
  IErrorLog* m_pErrorLog;
};
