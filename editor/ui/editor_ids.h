#pragma once
// The editor's resource numbers, command ids and the control ids of the
// main dialog. Templates, string table and code all speak in these.

#include "platform/base/win_types.h"
#include "platform/base/win_user.h"

// Strings.
inline constexpr UINT IDP_OLE_INIT_FAILED = 100;
inline constexpr UINT IDS_ABOUTBOX = 101;
inline constexpr UINT IDS_UNDO_LAST_PATCH = 103;
inline constexpr UINT IDS_APPLY_PATCH_FILE = 104;
inline constexpr UINT IDS_SAVE_CHANGES_AS_PATCH_FILE = 105;
inline constexpr UINT IDS_LANDSCAPE_DROP_HINT = 57665;
inline constexpr UINT IDS_TEXTURE_DROP_HINT = 57666;

// Dialog template and icon.
inline constexpr UINT IDD_KESTROW_DIALOG = 102;
inline constexpr UINT IDR_MAINFRAME = 128;

// Commands: the window menu's About, Undo Last Patch and patch-file entries
// (system command ids; the low four bits are the window system's own), the
// framework's About and Help.
inline constexpr UINT IDM_ABOUTBOX = 0x0010;
inline constexpr UINT IDM_UNDO_LAST_PATCH = 0x0040;
inline constexpr UINT IDM_APPLY_PATCH_FILE = 0x0050;
inline constexpr UINT IDM_SAVE_CHANGES_AS_PATCH_FILE = 0x0060;
// The recent shapes files of the window menu: kRecentFileCount ids from
// here, 0x10 apart (0x1000 to 0x1070).
inline constexpr UINT IDM_RECENT_FILE_FIRST = 0x1000;
inline constexpr int kRecentFileCount = 8;
inline constexpr UINT ID_APP_ABOUT = 57664;
inline constexpr UINT ID_HELP = 57670;

// Window messages of the main dialog's own, from the application's range
// (WM_USER and up mean something to dialogs already): shows why the shapes
// file named on the command line cannot be used, once the window is up.
inline constexpr UINT WM_SHOW_START_PROBLEM = WM_APP + 1;

// Controls of the main dialog. The thirty texture slots are SlotControlIds
// (editor/shapes/slot_layout.h).
inline constexpr int IDC_LANDSCAPE = 1007;
inline constexpr int IDC_SET_LIST = 1008;
inline constexpr int IDC_PATCH_SHAPES_FILE = 1009;
inline constexpr int IDC_LOAD_SET = 1010;
inline constexpr int IDC_PREVIEW = 1011;
inline constexpr int IDC_SELECT_SHAPES_FILE = 1012;
inline constexpr int IDC_SHAPES_FILE_PATH = 1013;
inline constexpr int IDC_DISABLE_GAMMA = 1046;
inline constexpr int IDC_IMAGE_FINDER = 1052;
inline constexpr int IDC_DROP_HINT = 1060;
inline constexpr int IDC_GENERATE_PALETTE_BITMAP = 1061;
