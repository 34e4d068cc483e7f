#pragma once
// CCmdTarget: the base of every object that receives messages and commands.
//
// A message map is a static table of entries in each class, chained to its
// base class's table. One function here, CCmdTarget::FindMessageEntry, walks
// the chain; nothing else reads a table. Each entry holds a captureless
// lambda, written by the ON_ macros inside the class's own BEGIN_MESSAGE_MAP,
// that casts the target to the class and unpacks wParam/lParam into the
// handler's arguments; being defined in the class's member function it can
// reach protected handlers.
//
// Other maps (dispatch, event, event-sink, interface) follow the same shape:
// a struct with pfnGetBaseMap, lpEntries and nEntries, a virtual Get...Map()
// beside GetMessageMap(), and AfxFindMapEntry to walk it (disp_map.h,
// event_map.h, event_sink_map.h, interface_map.h).

#include <cstddef>
#include <iterator>

#include "platform/afx/disp_map.h"
#include "platform/afx/dispatch_part.h"
#include "platform/afx/event_sink_map.h"
#include "platform/afx/interface_map.h"
#include "platform/afx/module_lock.h"
#include "platform/afx/object.h"
#include "platform/base/win_user.h"

class CCmdTarget;
class CCmdUI;

// Every entry's thunk: the target, the message's parameters, and the extra
// pointer a command carries (the CCmdUI of an update request).
using AFX_PMSG = LRESULT (*)(CCmdTarget* pTarget, WPARAM wParam, LPARAM lParam, void* pExtra);

struct AFX_MSGMAP_ENTRY {
  UINT nMessage;  // WM_ message; WM_COMMAND for commands and notifications
  UINT nCode;     // notification or command code (BN_CLICKED, CN_UPDATE_COMMAND_UI...)
  UINT nID;       // first control or command id
  UINT nLastID;   // last id of a range; equal to nID otherwise
  AFX_PMSG pfn;
};

struct AFX_MSGMAP {
  const AFX_MSGMAP* (*pfnGetBaseMap)();
  const AFX_MSGMAP_ENTRY* lpEntries;
  std::size_t nEntries;
};

// Command codes of OnCmdMsg: a command proper, and the request to update the
// command's user-interface item (pExtra is then the CCmdUI).
constexpr int CN_COMMAND = 0;
constexpr int CN_UPDATE_COMMAND_UI = -1;

// Walks a chain of maps of any kind (message, dispatch, event...), most
// derived first, and returns the first entry `match` accepts, or null.
template <typename Map, typename Match>
auto AfxFindMapEntry(const Map* pMap, Match&& match) -> decltype(pMap->lpEntries) {
  for (; pMap != nullptr; pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr)
    for (std::size_t i = 0; i < pMap->nEntries; ++i)
      if (match(pMap->lpEntries[i])) return &pMap->lpEntries[i];
  return nullptr;
}

class CCmdTarget : public CObject {
  DECLARE_DYNAMIC(CCmdTarget)
 public:
  CCmdTarget();
  ~CCmdTarget() override;

  // Routes a command (CN_COMMAND) or an update request (CN_UPDATE_COMMAND_UI)
  // to this object's map; TRUE when an entry handled it.
  virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra);

  // The one walker of message maps: the entry for a message (and, for
  // WM_COMMAND, its code and id) in this object's map or a base's, or null.
  const AFX_MSGMAP_ENTRY* FindMessageEntry(UINT nMessage, UINT nCode, UINT nID) const;

  // COM identity and automation (cmd_target_automation.cpp). The object
  // starts with one reference, its creator's; the release of the last one
  // calls OnFinalRelease, which deletes the object.
  void EnableAutomation();
  BOOL IsAutomationEnabled() const { return m_bAutomationEnabled; }
  // The object's IDispatch, null unless automation is enabled.
  LPDISPATCH GetIDispatch(BOOL bAddRef);
  // The object behind an IDispatch that GetIDispatch gave, or null.
  static CCmdTarget* FromIDispatch(LPDISPATCH lpDispatch);
  // The IUnknown that identifies the object.
  LPUNKNOWN GetControllingUnknown();
  ULONG ExternalAddRef();
  ULONG ExternalRelease();
  HRESULT ExternalQueryInterface(const void* iid, void** ppvObj);
  ULONG InternalAddRef();
  ULONG InternalRelease();
  HRESULT InternalQueryInterface(const void* iid, void** ppvObj);
  virtual void OnFinalRelease();
  // Interfaces whose ids are known only at run time (a control's own
  // dispatch interface, a container's event sink): asked before the
  // interface map; null by default.
  virtual LPUNKNOWN GetInterfaceHook(const void* iid);

  // Type information for IDispatch::GetTypeInfo: none unless a class
  // names its type library and dispatch interface.
  virtual UINT GetTypeInfoCount();
  virtual HRESULT GetTypeLib(LCID lcid, LPTYPELIB* ppTypeLib);
  virtual BOOL GetDispatchIID(IID* pIID);

  // Routes event `dispid` of the hosted control `idCtrl` through the
  // event-sink map; TRUE when a handler handled it. *phr (when given) gets
  // the failure to unpack the event's arguments, S_OK otherwise.
  BOOL OnEvent(UINT idCtrl, DISPID dispid, DISPPARAMS* pDispParams, HRESULT* phr = nullptr);

 protected:
  static const AFX_MSGMAP* GetThisMessageMap();
  virtual const AFX_MSGMAP* GetMessageMap() const;
  static const AFX_DISPMAP* GetThisDispatchMap();
  virtual const AFX_DISPMAP* GetDispatchMap() const;
  static const AFX_INTERFACEMAP* GetThisInterfaceMap();
  virtual const AFX_INTERFACEMAP* GetInterfaceMap() const;
  static const AFX_EVENTSINKMAP* GetThisEventSinkMap();
  virtual const AFX_EVENTSINKMAP* GetEventSinkMap() const;

  ULONG m_dwRef = 1;
  BOOL m_bAutomationEnabled = FALSE;
  CDispatchPart m_xDispatch{this};
  CModuleLock m_moduleLock;  // set by the class factory that made the object

  friend class CDispatchPart;
  friend class COleObjectFactory;
};

#define DECLARE_MESSAGE_MAP()                   \
 protected:                                     \
  static const AFX_MSGMAP* GetThisMessageMap(); \
  const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                      \
  const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
  const AFX_MSGMAP* theClass::GetThisMessageMap() {                                 \
    using ThisClass [[maybe_unused]] = theClass;                                    \
    using TheBaseClass = baseClass;                                                 \
    static const AFX_MSGMAP_ENTRY _messageEntries[] = {
// The closing entry keeps the array non-empty; it is not counted.
#define END_MESSAGE_MAP()                                                                  \
  { 0, 0, 0, 0, nullptr }                                                                  \
  }                                                                                        \
  ;                                                                                        \
  static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, _messageEntries, \
                                        std::size(_messageEntries) - 1};                   \
  return &messageMap;                                                                      \
  }

// Commands and notifications. Handlers take no arguments (void OnX()), except
// update handlers (void OnUpdateX(CCmdUI*)) and range handlers (void OnX(UINT id)).
#define KP_COMMAND_ENTRY(code, id, memberFxn)                                         \
  {WM_COMMAND, static_cast<UINT>(code), static_cast<UINT>(id), static_cast<UINT>(id), \
   [](CCmdTarget* pTarget, WPARAM, LPARAM, void*) -> LRESULT {                        \
     static_cast<ThisClass*>(pTarget)->memberFxn();                                   \
     return 0;                                                                        \
   }},

#define ON_COMMAND(id, memberFxn) KP_COMMAND_ENTRY(CN_COMMAND, id, memberFxn)
#define ON_CONTROL(code, id, memberFxn) KP_COMMAND_ENTRY(code, id, memberFxn)
#define ON_BN_CLICKED(id, memberFxn) KP_COMMAND_ENTRY(BN_CLICKED, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) KP_COMMAND_ENTRY(CBN_SELCHANGE, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) KP_COMMAND_ENTRY(EN_CHANGE, id, memberFxn)

#define ON_COMMAND_RANGE(id, idLast, memberFxn)                                                 \
  {WM_COMMAND, static_cast<UINT>(CN_COMMAND), static_cast<UINT>(id), static_cast<UINT>(idLast), \
   [](CCmdTarget* pTarget, WPARAM wParam, LPARAM, void*) -> LRESULT {                           \
     static_cast<ThisClass*>(pTarget)->memberFxn(static_cast<UINT>(wParam));                    \
     return 0;                                                                                  \
   }},

#define ON_UPDATE_COMMAND_UI(id, memberFxn)                                                           \
  {WM_COMMAND, static_cast<UINT>(CN_UPDATE_COMMAND_UI), static_cast<UINT>(id), static_cast<UINT>(id), \
   [](CCmdTarget* pTarget, WPARAM, LPARAM, void* pExtra) -> LRESULT {                                 \
     static_cast<ThisClass*>(pTarget)->memberFxn(static_cast<CCmdUI*>(pExtra));                       \
     return 0;                                                                                        \
   }},

// Any message, with the handler LRESULT OnX(WPARAM, LPARAM).
#define ON_MESSAGE(message, memberFxn)                                                                            \
  {static_cast<UINT>(message), 0, 0, 0, [](CCmdTarget* pTarget, WPARAM wParam, LPARAM lParam, void*) -> LRESULT { \
     return static_cast<ThisClass*>(pTarget)->memberFxn(wParam, lParam);                                          \
   }},
