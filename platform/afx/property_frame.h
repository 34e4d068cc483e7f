#pragma once
// The platform's property frame: a modal dialog titled "<caption>
// Properties" holding the pages of the given classes, each editing the
// given objects, with OK, Cancel and Apply. OK applies the pages that hold
// changes and closes; Apply applies them and stays (it is enabled while a
// page holds changes); Cancel and the close box close without applying.

#include "platform/base/handles.h"
#include "platform/com/unknown.h"

// Pages that cannot be created are left out; E_FAIL when none could be.
// Returns once the frame is closed.
HRESULT OleCreatePropertyFrame(HWND hwndOwner, UINT x, UINT y, LPCOLESTR lpszCaption, ULONG cObjects, LPUNKNOWN* ppUnk,
                               ULONG cPages, LPCLSID pPageClsID, LCID lcid, DWORD dwReserved, LPVOID pvReserved);

// The framework's command id of a property frame's Apply button.
constexpr UINT ID_APPLY_NOW = 0x3021;
