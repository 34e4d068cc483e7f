#include "editor/ui/editor_resources.h"

#include "editor/ui/about_dlg.h"
#include "editor/ui/art/editor_art.h"
#include "editor/ui/editor_ids.h"
#include "editor/ui/image_finder_dlg.h"
#include "editor/ui/main_dialog_template.h"
#include "kestrow_version.h"

namespace {
using kp::resources::ResourceTable;
using kp::resources::VersionInfo;

const VersionInfo kVersion = {
    {KESTROW_VERSION_MAJOR, KESTROW_VERSION_MINOR, KESTROW_VERSION_PATCH, KESTROW_VERSION_TWEAK},
    {KESTROW_VERSION_MAJOR, KESTROW_VERSION_MINOR, KESTROW_VERSION_PATCH, KESTROW_VERSION_TWEAK},
    0x0409,
    0x04B0,
    {
        {"FileDescription", "Kestrow MFC Application"},
        {"FileVersion", KESTROW_VERSION_RESOURCE},
        {"InternalName", "Kestrow"},
        {"OriginalFilename", "Kestrow.EXE"},
        {"ProductName", "Kestrow Application"},
        {"ProductVersion", KESTROW_VERSION_RESOURCE},
    },
};

ResourceTable MakeTable() {
  ResourceTable table;
  table.strings = {
      {IDP_OLE_INIT_FAILED, "OLE initialization failed.  Make sure that the OLE libraries are the correct version."},
      {IDS_ABOUTBOX, "&About Kestrow..."},
      {IDS_UNDO_LAST_PATCH, "&Undo Last Patch"},
      {IDS_APPLY_PATCH_FILE, "A&pply Patch File..."},
      {IDS_SAVE_CHANGES_AS_PATCH_FILE, "Sa&ve Changes as Patch File..."},
      {IDS_LANDSCAPE_DROP_HINT, "Drop landscape bitmap below ( recommended texture is 512 x 270 )"},
      {IDS_TEXTURE_DROP_HINT, "Drop texture bitmaps below ( recommended texture is 128 x 128 )"},
  };
  table.icons = {{IDR_MAINFRAME, {ProgramIconImage(32), ProgramIconImage(16)}}};
  table.version = &kVersion;
  AddMainDialogResources(table);
  AddAboutBoxResources(table);
  AddImageFinderResources(table);
  return table;
}

const ResourceTable kTable = MakeTable();
}  // namespace

const kp::resources::ResourceTable& EditorResources() { return kTable; }

KP_MODULE_RESOURCES(kTable)
