#include "platform/com/connection_points.h"

#include <algorithm>

namespace kp::com {

ConnectionPoint::ConnectionPoint(IConnectionPointContainer* owner, REFIID iid) : m_owner(owner), m_iid(iid) {}

ConnectionPoint::~ConnectionPoint() { DisconnectAll(); }

HRESULT ConnectionPoint::QueryInterface(REFIID riid, void** ppv) {
  if (ppv == nullptr) return E_POINTER;
  if (riid == IID_IUnknown || riid == IID_IConnectionPoint) {
    *ppv = static_cast<IConnectionPoint*>(this);
    AddRef();
    return S_OK;
  }
  *ppv = nullptr;
  return E_NOINTERFACE;
}

ULONG ConnectionPoint::AddRef() { return m_owner->AddRef(); }

ULONG ConnectionPoint::Release() { return m_owner->Release(); }

HRESULT ConnectionPoint::GetConnectionInterface(IID* pIID) {
  if (pIID == nullptr) return E_POINTER;
  *pIID = m_iid;
  return S_OK;
}

HRESULT ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** ppCPC) {
  if (ppCPC == nullptr) return E_POINTER;
  m_owner->AddRef();
  *ppCPC = m_owner;
  return S_OK;
}

HRESULT ConnectionPoint::Advise(IUnknown* pUnkSink, DWORD* pdwCookie) {
  if (pdwCookie == nullptr) return E_POINTER;
  *pdwCookie = 0;
  if (pUnkSink == nullptr) return E_POINTER;
  IUnknown* sink = nullptr;
  if (FAILED(pUnkSink->QueryInterface(m_iid, reinterpret_cast<void**>(&sink))) || sink == nullptr)
    return CONNECT_E_CANNOTCONNECT;
  *pdwCookie = m_nextCookie++;
  m_sinks.push_back(Sink{*pdwCookie, sink});
  return S_OK;
}

HRESULT ConnectionPoint::Unadvise(DWORD dwCookie) {
  auto it = std::find_if(m_sinks.begin(), m_sinks.end(), [&](const Sink& s) { return s.cookie == dwCookie; });
  if (it == m_sinks.end()) return CONNECT_E_NOCONNECTION;
  IUnknown* sink = it->sink;
  m_sinks.erase(it);
  sink->Release();
  return S_OK;
}

HRESULT ConnectionPoint::EnumConnections(IEnumConnections** ppEnum) {
  if (ppEnum != nullptr) *ppEnum = nullptr;
  return E_NOTIMPL;
}

HRESULT ConnectionPoint::ForEachSink(const std::function<HRESULT(IUnknown* sink)>& call) {
  // The list may change while sinks run (a handler may disconnect itself or
  // another sink), so walk a copy and hold each sink while it is called.
  std::vector<Sink> snapshot = m_sinks;
  for (const Sink& s : snapshot) s.sink->AddRef();
  HRESULT first = S_OK;
  for (const Sink& s : snapshot) {
    bool connected = std::any_of(m_sinks.begin(), m_sinks.end(), [&](const Sink& c) { return c.cookie == s.cookie; });
    if (!connected) continue;
    HRESULT hr = E_FAIL;
    try {
      hr = call(s.sink);
    } catch (...) {
      hr = E_UNEXPECTED;
    }
    if (FAILED(hr) && SUCCEEDED(first)) first = hr;
  }
  for (const Sink& s : snapshot) s.sink->Release();
  return first;
}

HRESULT ConnectionPoint::FireDispatch(DISPID dispid, DISPPARAMS* params) {
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  DISPPARAMS* args = params != nullptr ? params : &none;
  return ForEachSink([&](IUnknown* sink) {
    EXCEPINFO exception{};
    UINT argError = 0;
    HRESULT hr = static_cast<IDispatch*>(sink)->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, args,
                                                       nullptr, &exception, &argError);
    // A sink that raised an automation error hands over strings to free.
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    return hr;
  });
}

void ConnectionPoint::DisconnectAll() {
  std::vector<Sink> sinks;
  sinks.swap(m_sinks);
  for (const Sink& s : sinks) s.sink->Release();
}

HRESULT FindConnectionPointIn(std::span<ConnectionPoint* const> points, REFIID riid, IConnectionPoint** ppCP) {
  if (ppCP == nullptr) return E_POINTER;
  *ppCP = nullptr;
  for (ConnectionPoint* point : points) {
    if (point != nullptr && point->Interface() == riid) {
      point->AddRef();
      *ppCP = point;
      return S_OK;
    }
  }
  return CONNECT_E_NOCONNECTION;
}

}  // namespace kp::com
