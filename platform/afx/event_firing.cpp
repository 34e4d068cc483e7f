#include "platform/afx/event_firing.h"

#include "platform/afx/vts_pack.h"

HRESULT AfxFireEventV(kp::com::ConnectionPoint& point, DISPID dispid, const BYTE* pbParams, va_list args) {
  kp::afx::CVarArgPack pack;
  HRESULT hr = pack.Pack(pbParams, args);
  if (FAILED(hr)) return hr;
  return point.FireDispatch(dispid, pack.Params());
}

HRESULT AfxFireEvent(kp::com::ConnectionPoint& point, DISPID dispid, const BYTE* pbParams, ...) {
  va_list args;
  va_start(args, pbParams);
  HRESULT hr = AfxFireEventV(point, dispid, pbParams, args);
  va_end(args);
  return hr;
}
