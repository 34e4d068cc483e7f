#pragma once
// A property bag in memory: named VARIANTs, the other form a control saves
// itself in (IPersistPropertyBag), e.g. "_Version", "_ExtentX", "_ExtentY",
// "_StockProps" and "InitiallyDroppable".

#include <string>
#include <vector>

#include "platform/com/persist.h"

namespace kp::com {
// A new, empty bag. Names compare without regard to ASCII case. Read gives
// the stored value converted to the type the caller set in *pVar (as it is
// when *pVar is VT_EMPTY), and E_INVALIDARG for a name never written.
HRESULT CreateMemoryPropertyBag(IPropertyBag** ppBag);
// The names in a bag made by CreateMemoryPropertyBag, in the order first
// written; empty for any other bag.
std::vector<std::string> PropertyBagNames(IPropertyBag* bag);
}  // namespace kp::com
