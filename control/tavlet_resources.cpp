// The control module's resources: strings, the property page and
// Properties dialog templates, the context menu, the toolbox bitmap, the
// version information and the type library.

#include "control/art/control_art.h"
#include "control/tavlet_resource_ids.h"
#include "platform/afx/wnd.h"
#include "platform/resources/resource_table.h"
#include "tavlet_version.h"

using namespace tavlet;

namespace {

using kp::resources::DialogItem;
using Class = DialogItem::Class;
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

// clang-format off
const kp::resources::DialogTemplate kPropPage = {
    "", WS_CHILD | DS_SETFONT | DS_CONTROL, 0, 0, 0, 250, 62, "MS Sans Serif", 8,
    {
        {Class::Button, IDC_INITIALLY_DROPPABLE, "Initially Droppable", 7, 7, 71, 10,
         kChild | WS_TABSTOP | BS_AUTOCHECKBOX},
    },
};
// clang-format on

// clang-format off
const kp::resources::DialogTemplate kBitmapProperties = {
    "Properties...", WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT, 0, 0, 0, 130, 95,
    "MS Sans Serif", 8,
    {
        {Class::Static, IDC_STATIC, "Width:", 7, 15, 26, 8, kChild | SS_LEFT},
        {Class::Static, IDC_STATIC, "Height:", 7, 30, 26, 8, kChild | SS_LEFT},
        {Class::Edit, IDC_WIDTH, "", 35, 15, 40, 14, kChild | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL | ES_READONLY},
        {Class::Edit, IDC_HEIGHT, "", 35, 30, 40, 14, kChild | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL | ES_READONLY},
        {Class::Button, IDOK, "OK", 39, 74, 50, 14, kChild | WS_TABSTOP | BS_DEFPUSHBUTTON},
    },
};
// clang-format on

// clang-format off
const kp::resources::MenuTemplate kBitmapMenu = {{
    {"Bitmap", 0, MF_POPUP,
     {
         {"Save &As...", ID_FILE_SAVE_AS, MF_STRING, {}},
         {"Clear Contents", ID_CLEAR_CONTENTS, MF_STRING, {}},
         {"&Properties...", ID_BITMAP_PROPERTIES, MF_STRING, {}},
         {nullptr, 0, MF_SEPARATOR, {}},
         {"Copy", ID_EDIT_COPY, MF_STRING, {}},
         {"Paste", ID_EDIT_PASTE, MF_STRING, {}},
     }},
}};
// clang-format on

const kp::resources::VersionInfo kVersion = {
    {TAVLET_VERSION_MAJOR, TAVLET_VERSION_MINOR, TAVLET_VERSION_PATCH, TAVLET_VERSION_TWEAK},
    {TAVLET_VERSION_MAJOR, TAVLET_VERSION_MINOR, TAVLET_VERSION_PATCH, TAVLET_VERSION_TWEAK},
    0x0409,
    0x04B0,
    {
        {"CompanyName", ""},
        {"FileDescription", "Tavlet ActiveX Control Module"},
        {"FileVersion", TAVLET_VERSION_RESOURCE},
        {"InternalName", "Tavlet"},
        {"LegalTrademarks", ""},
        {"OriginalFilename", "Tavlet.OCX"},
        {"ProductName", "Tavlet ActiveX Control Module"},
        {"ProductVersion", TAVLET_VERSION_RESOURCE},
        // Marks the module as registering itself.
        {"OLESelfRegister", ""},
    },
};

// The identities here are the ones of interfaces/tavlet_ids.h;
// registration refuses a library whose id differs.
constexpr char kTypeLibrary[] =
    "kestrow-typelib 1\n"
    "library TAVLETLib {B1150BE0-CE87-46E1-BB14-B42F6F38F0F8} 1.0\n"
    "  flags control\n"
    "  helpstring \"Tavlet ActiveX Control module\"\n"
    "  helpfile \"Tavlet.hlp\"\n"
    "dispinterface _DTavlet {0AD5F664-87A8-4310-94D0-409EDDF7FE44}\n"
    "  flags hidden\n"
    "  helpstring \"Dispatch interface for Tavlet Control\"\n"
    "  property 1 InitiallyDroppable bool\n"
    "  property 0 _InitiallyDroppable bool\n"
    "  method 2 RecreateBitmap bool rgb:i4* sx:i2 sy:i2\n"
    "  method 3 RecreateBitmapFromFile bool pathname:bstr\n"
    "  method 4 GetBitmapHandle i4\n"
    "  method 5 SetBitmapHandle bool hbm:i4\n"
    "dispinterface _DTavletEvents {BC184BC7-D685-4CB8-9414-B32854751220}\n"
    "  helpstring \"Event interface for Tavlet Control\"\n"
    "  method 1 BmpChange void\n"
    "coclass Tavlet {F835337E-9A8B-4D93-9DBC-810DEB6740BA}\n"
    "  flags cancreate control\n"
    "  helpstring \"Tavlet Control\"\n"
    "  interface _DTavlet default\n"
    "  interface _DTavletEvents default source\n"
    "end\n";

// No string for the Properties verb's name (65089) and none for the Clear
// Contents item's status text (32771), on purpose.
const kp::resources::ResourceTable kResources = [] {
  kp::resources::ResourceTable table;
  table.strings = {
      {IDS_TAVLET, "Tavlet Control"},
      {IDS_TAVLET_PPG, "Tavlet Property Page"},
      {IDS_TAVLET_PPG_CAPTION, "General"},
      {ID_FILE_SAVE_AS, "Save the displayed bitmap with a new name\nSave As"},
      {ID_BITMAP_PROPERTIES, "Show properties of the displayed bitmap\nProperties"},
      {ID_EDIT_COPY, "Copy the displayed bitmap to the Clipboard\nCopy"},
      {ID_EDIT_PASTE, "Replace the displayed bitmap with the picture or file on the Clipboard\nPaste"},
  };
  table.dialogs = {{IDD_PROPPAGE_TAVLET, &kPropPage}, {IDD_BITMAP_PROPERTIES, &kBitmapProperties}};
  table.menus = {{IDR_BITMAP_MENU, &kBitmapMenu}};
  table.bitmaps = {{IDB_TAVLET, ToolboxBitmapDib()}};
  table.version = &kVersion;
  table.custom = {{"TYPELIB", 1, {reinterpret_cast<const BYTE*>(kTypeLibrary), sizeof kTypeLibrary - 1}}};
  return table;
}();

}  // namespace

KP_MODULE_RESOURCES(kResources)
