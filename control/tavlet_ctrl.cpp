#include "control/tavlet_ctrl.h"

#include "control/tavlet_prop_page.h"
#include "control/tavlet_resource_ids.h"
#include "interfaces/tavlet_ids.h"
#include "platform/gdi/objects.h"

using namespace tavlet;

IMPLEMENT_DYNCREATE(CTavletCtrl, COleControl)

BEGIN_MESSAGE_MAP(CTavletCtrl, COleControl)
ON_WM_CREATE()
ON_WM_SIZE()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_MOUSEMOVE()
ON_WM_KEYDOWN()
ON_WM_CONTEXTMENU()
ON_WM_SETFOCUS()
ON_WM_KILLFOCUS()
ON_WM_DROPFILES()
ON_COMMAND(ID_BITMAP_PROPERTIES, OnBitmapProperties)
ON_COMMAND(ID_FILE_SAVE_AS, OnSaveAs)
ON_COMMAND(ID_CLEAR_CONTENTS, OnClearContents)
ON_COMMAND(ID_EDIT_COPY, OnCopy)
ON_COMMAND(ID_EDIT_PASTE, OnPaste)
ON_UPDATE_COMMAND_UI(ID_FILE_SAVE_AS, OnUpdateHasBitmap)
ON_UPDATE_COMMAND_UI(ID_CLEAR_CONTENTS, OnUpdateHasBitmap)
ON_UPDATE_COMMAND_UI(ID_BITMAP_PROPERTIES, OnUpdateHasBitmap)
ON_UPDATE_COMMAND_UI(ID_EDIT_COPY, OnUpdateHasBitmap)
ON_UPDATE_COMMAND_UI(ID_EDIT_PASTE, OnUpdatePaste)
// The module carries no string for this verb's name on purpose, so
// containers list it as "<unknown verb>".
ON_OLEVERB(AFX_IDS_VERB_PROPERTIES, OnProperties)
END_MESSAGE_MAP()

// Dispids count from 1 in this order; the order is published.
BEGIN_DISPATCH_MAP(CTavletCtrl, COleControl)
DISP_PROPERTY_NOTIFY(CTavletCtrl, "InitiallyDroppable", m_initiallyDroppable, OnInitiallyDroppableChanged, VT_BOOL)
DISP_FUNCTION(CTavletCtrl, "RecreateBitmap", RecreateBitmap, VT_BOOL, VTS_PI4 VTS_I2 VTS_I2)
DISP_FUNCTION(CTavletCtrl, "RecreateBitmapFromFile", RecreateBitmapFromFile, VT_BOOL, VTS_BSTR)
DISP_FUNCTION(CTavletCtrl, "GetBitmapHandle", GetBitmapHandle, VT_I4, VTS_NONE)
DISP_FUNCTION(CTavletCtrl, "SetBitmapHandle", SetBitmapHandle, VT_BOOL, VTS_I4)
DISP_DEFVALUE(CTavletCtrl, "InitiallyDroppable")
END_DISPATCH_MAP()

BEGIN_EVENT_MAP(CTavletCtrl, COleControl)
EVENT_CUSTOM("BmpChange", FireBmpChange, VTS_NONE)
END_EVENT_MAP()

IMPLEMENT_OLETYPELIB(CTavletCtrl, LIBID_TAVLETLib, kTypeLibMajor, kTypeLibMinor)
IMPLEMENT_OLECTLTYPE(CTavletCtrl, IDS_TAVLET, kMiscStatus)

BEGIN_PROPPAGEIDS(CTavletCtrl, 1)
PROPPAGEID(CTavletPropPage::guid)
END_PROPPAGEIDS(CTavletCtrl)

CTavletCtrl::CTavletCtrl() { InitializeIIDs(&DIID__DTavlet, &DIID__DTavletEvents); }

// The bitmap goes with m_hBitmap.
CTavletCtrl::~CTavletCtrl() = default;

void CTavletCtrl::DoPropExchange(CPropExchange* pPX) {
  ExchangeVersion(pPX, kStreamVersion);
  COleControl::DoPropExchange(pPX);
  PX_Bool(pPX, "InitiallyDroppable", m_initiallyDroppable, TRUE);
}

void CTavletCtrl::OnResetState() { COleControl::OnResetState(); }

void CTavletCtrl::OnInitiallyDroppableChanged() { SetModifiedFlag(); }

void CTavletCtrl::FireBmpChange() { FireEvent(EventidBmpChange, EVENT_PARAM(VTS_NONE)); }
