#pragma once
// A ready connection point for objects that raise events: it keeps the
// sinks a container connects and fires an event to each of them in turn.
// The framework's event firing and the test objects use it.

#include <functional>
#include <span>
#include <vector>

#include "platform/com/connection_point.h"
#include "platform/com/dispatch.h"

namespace kp::com {

// One outgoing interface of an object. It is meant to live inside the
// object that owns it: its reference count is the owner's, and the owner is
// what GetConnectionPointContainer answers.
class ConnectionPoint final : public IConnectionPoint {
 public:
  ConnectionPoint(IConnectionPointContainer* owner, REFIID iid);
  ~ConnectionPoint() override;
  ConnectionPoint(const ConnectionPoint&) = delete;
  ConnectionPoint& operator=(const ConnectionPoint&) = delete;

  // IUnknown: this point answers IUnknown and IConnectionPoint; counting is
  // the owner's.
  HRESULT QueryInterface(REFIID riid, void** ppv) override;
  ULONG AddRef() override;
  ULONG Release() override;

  HRESULT GetConnectionInterface(IID* pIID) override;
  HRESULT GetConnectionPointContainer(IConnectionPointContainer** ppCPC) override;
  // Keeps the sink's answer to the connection interface, which for a
  // dispatch interface is an IDispatch.
  HRESULT Advise(IUnknown* pUnkSink, DWORD* pdwCookie) override;
  HRESULT Unadvise(DWORD dwCookie) override;
  // E_NOTIMPL: connections are not listed.
  HRESULT EnumConnections(IEnumConnections** ppEnum) override;

  REFIID Interface() const { return m_iid; }
  std::size_t ConnectionCount() const { return m_sinks.size(); }

  // Calls Invoke(dispid, DISPATCH_METHOD, params) on every connected sink in
  // the order they connected, on this thread, before returning. A sink that
  // fails (an error result or a C++ exception) does not keep the event from
  // the sinks after it; a sink disconnected by an earlier sink's handler is
  // skipped. Returns S_OK, or the first failure after all were called.
  HRESULT FireDispatch(DISPID dispid, DISPPARAMS* params);
  // The same walk with a call of the caller's choosing on each sink.
  HRESULT ForEachSink(const std::function<HRESULT(IUnknown* sink)>& call);
  // Releases every sink (the owner's teardown).
  void DisconnectAll();

 private:
  struct Sink {
    DWORD cookie;
    IUnknown* sink;  // the sink's connection interface, one reference held
  };

  IConnectionPointContainer* m_owner;
  IID m_iid;
  std::vector<Sink> m_sinks;
  DWORD m_nextCookie = 1;
};

// For an owner's FindConnectionPoint: the point among `points` for `riid`,
// with a reference, or CONNECT_E_NOCONNECTION.
HRESULT FindConnectionPointIn(std::span<ConnectionPoint* const> points, REFIID riid, IConnectionPoint** ppCP);

}  // namespace kp::com
