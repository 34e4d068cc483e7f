#pragma once
// Raising an event: the arguments are packed as the event's VTS_ list says
// (vts_pack.h) and the event goes to every sink connected to the point, in
// the order they connected, synchronously on the caller's thread. A sink
// that fails (an error result or a C++ exception) is skipped; the sinks
// after it still get the event.

#include <cstdarg>

#include "platform/com/connection_points.h"

// S_OK, or the first sink's failure once every sink was called, or the
// packing's failure (nothing is then sent).
HRESULT AfxFireEventV(kp::com::ConnectionPoint& point, DISPID dispid, const BYTE* pbParams, va_list args);
HRESULT AfxFireEvent(kp::com::ConnectionPoint& point, DISPID dispid, const BYTE* pbParams, ...);
