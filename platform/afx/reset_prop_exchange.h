#pragma once
// The reset form of a property exchange: every property takes its default
// (a new control, OnResetState, a failed load).

#include "platform/afx/prop_exchange.h"

class CResetPropExchange : public CPropExchange {
 public:
  CResetPropExchange() : CPropExchange(TRUE) {}
  BOOL ExchangeProp(LPCTSTR pszPropName, VARTYPE vtProp, void* pvProp, const void* pvDefault) override;
};
