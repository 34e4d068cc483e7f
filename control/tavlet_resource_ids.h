#pragma once
// Resource and command ids of the control module, and its misc status. The
// published identities (class ids, dispids) are in interfaces/tavlet_ids.h.

#include "platform/base/win_types.h"

namespace tavlet {

enum : UINT {
  IDS_TAVLET = 1,                // "Tavlet Control": the control's type name
  IDS_TAVLET_PPG = 2,            // "Tavlet Property Page": the page's type name
  IDB_TAVLET = 1,                // the toolbox bitmap
  IDD_PROPPAGE_TAVLET = 200,     // the property page's template
  IDS_TAVLET_PPG_CAPTION = 200,  // "General"
  IDC_INITIALLY_DROPPABLE = 201,
  IDR_BITMAP_MENU = 201,  // the context menu
  IDD_BITMAP_PROPERTIES = 202,
  IDC_WIDTH = 206,
  IDC_HEIGHT = 207,
};

// Commands of the context menu; each id is also the string id of the
// item's status text, where the module has one.
enum : UINT {
  ID_BITMAP_PROPERTIES = 32769,
  ID_CLEAR_CONTENTS = 32771,
  ID_FILE_SAVE_AS = 57604,
  ID_EDIT_COPY = 57634,
  ID_EDIT_PASTE = 57637,
};

// OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE | OLEMISC_INSIDEOUT |
// OLEMISC_SETCLIENTSITEFIRST, as registered and as the control reports it.
inline constexpr DWORD kMiscStatus = 0x20091;

}  // namespace tavlet
