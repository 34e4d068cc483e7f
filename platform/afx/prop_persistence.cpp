#include "platform/afx/prop_persistence.h"

#include "platform/afx/bag_prop_exchange.h"
#include "platform/afx/reset_prop_exchange.h"
#include "platform/afx/stream_prop_exchange.h"

namespace kp::afx {

HRESULT LoadPropsFromStream(ISequentialStream* pStream, const PropExchangeFn& doExchange) {
  if (pStream == nullptr) return E_POINTER;
  CStreamPropExchange px(pStream, TRUE);
  doExchange(&px);
  if (SUCCEEDED(px.GetResult())) return S_OK;
  // Half a load is no state at all: the control goes back to its defaults.
  ResetProps(doExchange);
  return E_FAIL;
}

HRESULT SavePropsToStream(ISequentialStream* pStream, const PropExchangeFn& doExchange) {
  if (pStream == nullptr) return E_POINTER;
  CStreamPropExchange px(pStream, FALSE);
  doExchange(&px);
  return px.GetResult();
}

ULONG PropsStreamSize(const PropExchangeFn& doExchange) {
  CStreamPropExchange px(nullptr, FALSE);
  doExchange(&px);
  return px.GetByteCount();
}

HRESULT LoadPropsFromBag(IPropertyBag* pPropBag, IErrorLog* pErrorLog, const PropExchangeFn& doExchange) {
  if (pPropBag == nullptr) return E_POINTER;
  CPropBagPropExchange px(pPropBag, pErrorLog, TRUE);
  doExchange(&px);
  if (SUCCEEDED(px.GetResult())) return S_OK;
  ResetProps(doExchange);
  return E_FAIL;
}

HRESULT SavePropsToBag(IPropertyBag* pPropBag, const PropExchangeFn& doExchange) {
  if (pPropBag == nullptr) return E_POINTER;
  CPropBagPropExchange px(pPropBag, nullptr, FALSE);
  doExchange(&px);
  return px.GetResult();
}

void ResetProps(const PropExchangeFn& doExchange) {
  CResetPropExchange px;
  doExchange(&px);
}

}  // namespace kp::afx
