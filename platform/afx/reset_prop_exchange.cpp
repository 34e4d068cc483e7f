#include "platform/afx/reset_prop_exchange.h"

BOOL CResetPropExchange::ExchangeProp(LPCTSTR, VARTYPE vtProp, void* pvProp, const void* pvDefault) {
  AssignDefault(vtProp, pvProp, pvDefault);
  return TRUE;
}
