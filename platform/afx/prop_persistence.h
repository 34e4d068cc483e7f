#pragma once
// Running a DoPropExchange against each persistence form, with the
// framework's rules for failure. COleControl's IPersistStreamInit and
// IPersistPropertyBag are built on these.

#include <functional>

#include "platform/afx/prop_exchange.h"
#include "platform/com/persist.h"

namespace kp::afx {

using PropExchangeFn = std::function<void(CPropExchange*)>;

// Loads every property from the stream. When the stream ends early or a
// read fails, every property is reset to its default and E_FAIL returned.
HRESULT LoadPropsFromStream(ISequentialStream* pStream, const PropExchangeFn& doExchange);
// Saves every property; the stream write's failure when one fails.
HRESULT SavePropsToStream(ISequentialStream* pStream, const PropExchangeFn& doExchange);
// The number of bytes SavePropsToStream writes.
ULONG PropsStreamSize(const PropExchangeFn& doExchange);
// Loads by name; properties the bag lacks take their defaults.
HRESULT LoadPropsFromBag(IPropertyBag* pPropBag, IErrorLog* pErrorLog, const PropExchangeFn& doExchange);
HRESULT SavePropsToBag(IPropertyBag* pPropBag, const PropExchangeFn& doExchange);
// Every property to its default.
void ResetProps(const PropExchangeFn& doExchange);

}  // namespace kp::afx
