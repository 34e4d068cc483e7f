#pragma once
// Connection points: how an object's events reach the sinks its container
// connects. The object answers IConnectionPointContainer; each outgoing
// interface has an IConnectionPoint that sinks Advise and Unadvise.
// connection_points.h holds a ready implementation of a connection point.

#include "platform/com/unknown.h"

class IConnectionPoint;
class IConnectionPointContainer;

inline constexpr IID IID_IConnectionPointContainer = {
    0xB196B284, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};
inline constexpr IID IID_IEnumConnectionPoints = {
    0xB196B285, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};
inline constexpr IID IID_IConnectionPoint = {
    0xB196B286, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};
inline constexpr IID IID_IEnumConnections = {
    0xB196B287, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};

struct CONNECTDATA {
  IUnknown* pUnk;
  DWORD dwCookie;
};

class IEnumConnections : public IUnknown {
 public:
  virtual HRESULT Next(ULONG cConnections, CONNECTDATA* rgcd, ULONG* pcFetched) = 0;
  virtual HRESULT Skip(ULONG cConnections) = 0;
  virtual HRESULT Reset() = 0;
  virtual HRESULT Clone(IEnumConnections** ppEnum) = 0;

 protected:
  ~IEnumConnections() override;
};

class IEnumConnectionPoints : public IUnknown {
 public:
  virtual HRESULT Next(ULONG cConnections, IConnectionPoint** ppCP, ULONG* pcFetched) = 0;
  virtual HRESULT Skip(ULONG cConnections) = 0;
  virtual HRESULT Reset() = 0;
  virtual HRESULT Clone(IEnumConnectionPoints** ppEnum) = 0;

 protected:
  ~IEnumConnectionPoints() override;
};

class IConnectionPoint : public IUnknown {
 public:
  virtual HRESULT GetConnectionInterface(IID* pIID) = 0;
  virtual HRESULT GetConnectionPointContainer(IConnectionPointContainer** ppCPC) = 0;
  // Connects `pUnkSink`, which must answer the connection interface
  // (CONNECT_E_CANNOTCONNECT otherwise); *pdwCookie names the connection.
  virtual HRESULT Advise(IUnknown* pUnkSink, DWORD* pdwCookie) = 0;
  // CONNECT_E_NOCONNECTION for a cookie that names no connection.
  virtual HRESULT Unadvise(DWORD dwCookie) = 0;
  virtual HRESULT EnumConnections(IEnumConnections** ppEnum) = 0;

 protected:
  ~IConnectionPoint() override;
};
using LPCONNECTIONPOINT = IConnectionPoint*;

class IConnectionPointContainer : public IUnknown {
 public:
  // May answer E_NOTIMPL: callers find points by interface id.
  virtual HRESULT EnumConnectionPoints(IEnumConnectionPoints** ppEnum) = 0;
  // CONNECT_E_NOCONNECTION when the object has no point for `riid`.
  virtual HRESULT FindConnectionPoint(REFIID riid, IConnectionPoint** ppCP) = 0;

 protected:
  ~IConnectionPointContainer() override;
};
using LPCONNECTIONPOINTCONTAINER = IConnectionPointContainer*;
