#pragma once
// CKestrowDlg: the editor's main window, a modal dialog on template 102
// that lays out the thirty texture slots, the landscape slot and the
// preview, the set list, the shapes file's path and the command buttons,
// and routes every command. The shapes-file commands live in files of
// their own (load_set_command.cpp, patch_command.cpp, slot_preview.cpp,
// palette_bitmap_command.cpp, select_shapes_file.cpp,
// undo_patch_command.cpp, patch_file_commands.cpp).

#include <memory>
#include <span>
#include <vector>

#include "editor/shapes/set_kinds.h"
#include "editor/ui/start_shapes_file.h"
#include "editor/ui/tavlet.h"
#include "editor/ui/window_menu.h"
#include "platform/afx/data_exchange.h"
#include "platform/afx/dialog.h"
#include "platform/afx/recent_file_list.h"

class CImageFinderDlg;
class CKestrowDlgAutoProxy;

class CKestrowDlg : public CDialog {
  DECLARE_DYNAMIC(CKestrowDlg)
  friend class CKestrowDlgAutoProxy;

 public:
  explicit CKestrowDlg(CWnd* pParent = nullptr);
  // Clears the automation object's pointer back to this dialog.
  ~CKestrowDlg() override;

  // The workspace: the set index, the path box's text, the thirty slots,
  // the preview, the gamma flag (nonzero: palettes are read without the
  // curve) and the landscape slot, bound to their controls by data exchange.
  int m_nSet = 0;
  CString m_strPathText;
  CTavlet m_slot[kTextureSlotCount];
  CTavlet m_wndPreview;
  BOOL m_bDisableGamma = FALSE;
  CTavlet m_wndLandscape;

  // The shapes file the dialog opens with, as if chosen through Select
  // Shapes File... ("kestrow SHAPES"), or why the one named cannot be used,
  // which the dialog shows once its window is up; set before the dialog is
  // made.
  void StartWithShapesFile(const StartShapesFile& start) { m_start = start; }
  // Whether the dialog was made and initialised: a modal run that ends
  // with -1 may have opened it (an automation client let go of it) or not.
  BOOL WasOpened() const { return m_bOpened; }

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  // While an automation client holds the editor, closing only hides it.
  void OnOK() override;
  void OnCancel() override;

  // The window menu's items (window_menu.cpp).
  static std::span<const WindowMenuItem> WindowMenuItems();
  void AppendWindowMenuItems();
  void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu);
  void OnSysCommand(UINT nID, LPARAM lParam);
  void OnDestroy();
  void OnPaint();
  HCURSOR OnQueryDragIcon();
  void OnClose();

  void OnSelectShapesFile();
  LRESULT OnShowStartProblem(WPARAM, LPARAM);
  // Makes `path` the shapes file: shown in the path box, with the three
  // commands that need one enabled when it is not empty.
  void UseShapesFile(const CString& path);
  // Makes `path` the shapes file as the user chose it (the file dialog, the
  // command line, a recent file): it also goes to the front of the recent
  // files, and its folder is where the file dialog opens next
  // (recent_files.cpp).
  void ChooseShapesFile(const CString& path);
  // Lists the recent files in the window menu, in place of the ones listed
  // when it opened before; `firstId` is the first one's command.
  void ListRecentFiles(CMenu* pMenu, UINT firstId);
  // The recent file listed at `index` when the menu opened last: chosen as
  // Select Shapes File... would choose it, or, when it cannot be used any
  // more, said so and taken off the list.
  void OnRecentFile(int index);
  void OnLoadSet();
  void OnPatchShapesFile();
  void OnGeneratePaletteBitmap();
  void OnImageFinder();
  void OnSelchangeSet();
  void OnAppAbout();
  // The window menu's Undo Last Patch (undo_patch_command.cpp), enabled
  // while the chosen shapes file has patches in its history.
  void OnUndoLastPatch();
  bool HasPatchHistory() const;
  // The window menu's Apply Patch File..., enabled while a shapes file is
  // chosen, and Save Changes as Patch File..., enabled while it has
  // history (patch_file_commands.cpp).
  void OnApplyPatchFile();
  void OnSaveChangesAsPatchFile();
  bool HasShapesFile() const;

  // Shows the landscape slot or the thirty texture slots, with the drop
  // hint that goes with them.
  void ShowSetView(BOOL bLandscape);
  // Puts a copy of the slot's bitmap into the preview.
  void ShowSlotPreview(CTavlet* pSlot);
  // The slot control with that id, once data exchange has bound it.
  CTavlet* FindSlotControl(int nID);

  // The BmpChange handlers of the thirty texture slots.
  template <int k>
  BOOL OnBmpChangeSlot() {
    ShowSlotPreview(m_pSlotWnd[k]);
    return TRUE;
  }

  // Set and cleared only by the automation object.
  CKestrowDlgAutoProxy* m_pAutoProxy = nullptr;
  HICON m_hIcon = nullptr;
  // Entries 0 to 29: the texture slots in slot order; entry 30: the landscape.
  CTavlet* m_pSlotWnd[kTextureSlotCount + 1];
  CString m_strShapesFile;
  // Whether Load Set has shown a set of the chosen file, which Apply Patch
  // File... then offers to load again.
  bool m_bSetLoaded = false;
  StartShapesFile m_start;
  // The recent shapes files, newest first, as the registry holds them; the
  // ones the window menu lists, from position m_nRecentFilesAt on, in
  // m_nRecentFilesShown entries (the files and the separator after them).
  CRecentFileList m_recentFiles;
  std::vector<CString> m_listedRecentFiles;
  int m_nRecentFilesAt = 0;
  int m_nRecentFilesShown = 0;
  BOOL m_bOpened = FALSE;
  // The Image Finder, made at its first opening and kept for the rest of
  // the program, so its fields keep their values between openings.
  std::unique_ptr<CImageFinderDlg> m_pImageFinder;

  DECLARE_MESSAGE_MAP()
  DECLARE_EVENTSINK_MAP()
};
