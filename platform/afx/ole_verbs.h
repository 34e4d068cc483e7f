#pragma once
// OLE verbs in a control's message map:
//
//   ON_OLEVERB(AFX_IDS_VERB_PROPERTIES, OnProperties)   // verb 0, 1, ... in map order
//   ON_STDOLEVERB(OLEIVERB_HIDE, OnHide)                 // a standard (negative) verb
//
// A verb handler is `BOOL OnX(LPMSG lpMsg, HWND hWndParent, LPCRECT lpRect)`.
// The entries sit in the message map under a message no window sends; only
// COleControl's verb lookup reads them.

#include "platform/afx/cmd_target.h"
#include "platform/com/ole_object.h"

// The map entries' message, and their code: custom or standard.
constexpr UINT AFX_OLEVERB_MESSAGE = 0xC002;
constexpr UINT AFX_OLEVERB_CUSTOM = 0;
constexpr UINT AFX_OLEVERB_STANDARD = 1;

// What a verb entry's thunk gets in its extra pointer.
struct AFX_OLEVERB_CALL {
  LPMSG lpMsg;
  HWND hWndParent;
  LPCRECT lpRect;
};

#define KP_OLEVERB_ENTRY(code, id, memberFxn)                                                         \
  {AFX_OLEVERB_MESSAGE, code, static_cast<UINT>(id), static_cast<UINT>(id),                           \
   [](CCmdTarget* pTarget, WPARAM, LPARAM, void* pExtra) -> LRESULT {                                 \
     auto* call = static_cast<AFX_OLEVERB_CALL*>(pExtra);                                             \
     return static_cast<ThisClass*>(pTarget)->memberFxn(call->lpMsg, call->hWndParent, call->lpRect); \
   }},

#define ON_OLEVERB(idsVerbName, memberFxn) KP_OLEVERB_ENTRY(AFX_OLEVERB_CUSTOM, idsVerbName, memberFxn)
#define ON_STDOLEVERB(iVerb, memberFxn) KP_OLEVERB_ENTRY(AFX_OLEVERB_STANDARD, iVerb, memberFxn)
