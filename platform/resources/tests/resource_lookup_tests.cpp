#include <gtest/gtest.h>

#include <dlfcn.h>
#include <link.h>

#include <string>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/resources/resource_images.h"
#include "platform/resources/resources.h"

namespace kp::resources {
namespace {
const BYTE kBitmap[] = {40, 0, 0, 0, 16, 0, 0, 0};
const BYTE kDialogInit[] = {0xED, 0x03, 0x43, 0x01, 2, 0, 0, 0, 'a', 0, 0, 0};
const BYTE kTypeLibrary[] = {'p', 'r', 'o', 'g'};

// A 2 x 2, 24-bit packed DIB: bottom row blue, green; top row red, white.
// clang-format off
const BYTE kPicture[] = {
    40, 0, 0, 0,  2, 0, 0, 0,  2, 0, 0, 0,  1, 0,  24, 0,  // size, width, height, planes, bits
    0, 0, 0, 0,   16, 0, 0, 0, 0, 0, 0, 0,  0, 0, 0, 0,     // BI_RGB, image size, resolution
    0, 0, 0, 0,   0, 0, 0, 0,                               // colours used, important
    0xFF, 0, 0,   0, 0xFF, 0,   0, 0,                       // bottom row, padded to 4
    0, 0, 0xFF,   0xFF, 0xFF, 0xFF,   0, 0,                 // top row
};
// clang-format on

// A 16 x 16 icon image, 4 bits per pixel: colour 1 (red) everywhere, with
// the AND mask making the left half transparent.
std::vector<BYTE> MakeIconImage() {
  std::vector<BYTE> dib = {40, 0, 0, 0, 16, 0, 0, 0, 32, 0, 0, 0, 1, 0, 4, 0};
  dib.resize(40, 0);
  for (int i = 0; i < 16; ++i) {
    BYTE entry[4] = {0, 0, static_cast<BYTE>(i == 1 ? 0xFF : 0), 0};
    dib.insert(dib.end(), entry, entry + 4);
  }
  for (int row = 0; row < 16; ++row) dib.insert(dib.end(), 8, 0x11);
  for (int row = 0; row < 16; ++row) {
    BYTE mask[4] = {0xFF, 0x00, 0, 0};
    dib.insert(dib.end(), mask, mask + 4);
  }
  return dib;
}
const std::vector<BYTE> kIconImage = MakeIconImage();

const DialogTemplate kDialog{"Caption", 0, 0, 0, 0, 100, 50, "MS Sans Serif", 8, {}};
const VersionInfo kVersion{
    {1, 3, 0, 0}, {1, 3, 0, 0}, 0x0409, 0x04B0, {{"FileVersion", "1, 3, 0, 0"}, {"OLESelfRegister", ""}}};

const ResourceTable kProgramTable{
    /*strings=*/{{1, "Program string one"},
                 {7, "Only in the program"},
                 {8, "Gr\xC3\xBC\xC3\x9F"},  // "Grüß": two 2-byte characters
                 {100, "OLE initialization failed.  Make sure that the OLE libraries are the correct version."}},
    /*dialogs=*/{{100, &kDialog}},
    /*dialogInit=*/{{100, kDialogInit}},
    /*menus=*/{},
    /*bitmaps=*/{{5, kBitmap}, {9, kPicture}},
    /*icons=*/{{128, {kIconImage}}},
    /*version=*/&kVersion,
    /*custom=*/{{"TYPELIB", 1, kTypeLibrary}},
};
}  // namespace
}  // namespace kp::resources

KP_MODULE_RESOURCES(kp::resources::kProgramTable)

namespace kp::resources {
namespace {
HINSTANCE LoadTestModule() {
  void* handle = dlopen(RESOURCES_TEST_MODULE, RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) return nullptr;
  link_map* map = nullptr;
  if (dlinfo(handle, RTLD_DI_LINKMAP, &map) != 0) return nullptr;
  return ModuleFromAddress(map->l_ld);
}

std::string BytesText(std::optional<std::span<const BYTE>> bytes) {
  if (!bytes) return "<none>";
  return std::string(reinterpret_cast<const char*>(bytes->data()), bytes->size());
}

TEST(ResourceLookup, FindsByteResourcesThroughTheWindowsCalls) {
  HINSTANCE self = AfxGetInstanceHandle();
  HRSRC found = FindResource(self, MAKEINTRESOURCE(5), RT_BITMAP);
  ASSERT_NE(found, nullptr);
  HGLOBAL loaded = LoadResource(self, found);
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(LockResource(loaded), static_cast<const void*>(kBitmap));
  EXPECT_EQ(SizeofResource(self, found), sizeof kBitmap);
  // The same resource found again gives the same handle.
  EXPECT_EQ(FindResource(self, "#5", RT_BITMAP), found);
}

TEST(ResourceLookup, ReadsNamesAndTypesAsWindowsDoes) {
  HINSTANCE self = AfxGetInstanceHandle();
  EXPECT_EQ(BytesText(FindResourceBytes(self, "#1", "TYPELIB")), "prog");
  EXPECT_EQ(BytesText(FindResourceBytes(self, MAKEINTRESOURCE(1), "typelib")), "prog");
  EXPECT_EQ(BytesText(FindResourceBytes(self, MAKEINTRESOURCE(100), "#240")),
            std::string("\xED\x03\x43\x01\x02\0\0\0a\0\0\0", 12));
  EXPECT_EQ(BytesText(FindResourceBytes(self, MAKEINTRESOURCE(100), RT_DLGINIT)),
            BytesText(FindResourceBytes(self, "#100", "#240")));
  for (LPCTSTR missing : {"#6", "#", "#x1", "#99999999", "NAMED"})
    EXPECT_EQ(FindResource(self, missing, RT_BITMAP), nullptr) << missing;
  EXPECT_EQ(FindResource(self, MAKEINTRESOURCE(1), "OTHERTYPE"), nullptr);
  EXPECT_EQ(FindResource(self, MAKEINTRESOURCE(5), RT_ICON), nullptr);
  EXPECT_EQ(LoadResource(self, nullptr), nullptr);
  EXPECT_EQ(LockResource(nullptr), nullptr);
  EXPECT_EQ(LockResource(reinterpret_cast<HGLOBAL>(std::uintptr_t{0x1234})), nullptr);
}

TEST(ResourceLookup, GivesStructuredResourcesAsTheirTemplates) {
  HINSTANCE self = AfxGetInstanceHandle();
  EXPECT_EQ(FindDialogTemplate(self, 100), &kDialog);
  HRSRC dialog = FindResource(self, MAKEINTRESOURCE(100), RT_DIALOG);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(LockResource(LoadResource(self, dialog)), static_cast<const void*>(&kDialog));
  EXPECT_EQ(FindVersionInfo(self), &kVersion);
  EXPECT_EQ(FindVersionString(self, "FileVersion"), "1, 3, 0, 0");
  EXPECT_EQ(FindVersionString(self, "OLESelfRegister"), "");
  EXPECT_EQ(FindVersionString(self, "ProductName"), std::nullopt);
  EXPECT_EQ(FindResource(self, MAKEINTRESOURCE(1), RT_VERSION) != nullptr, true);
  EXPECT_EQ(FindDialogTemplate(self, 101), nullptr);
}

TEST(ResourceLookup, ANullInstanceIsTheProgram) {
  EXPECT_EQ(FindStringResource(nullptr, 7), "Only in the program");
  EXPECT_NE(FindResource(nullptr, MAKEINTRESOURCE(5), RT_BITMAP), nullptr);
}

TEST(ResourceLookup, TwoModulesNeverSeeEachOthersResources) {
  HINSTANCE module = LoadTestModule();
  ASSERT_NE(module, nullptr) << dlerror();
  HINSTANCE self = AfxGetInstanceHandle();
  ASSERT_NE(module, self);
  EXPECT_EQ(LoadStringResource(module, 1), "Module string one");
  EXPECT_EQ(LoadStringResource(self, 1), "Program string one");
  EXPECT_EQ(FindStringResource(module, 7), std::nullopt);
  EXPECT_EQ(FindStringResource(self, 2), std::nullopt);
  EXPECT_EQ(BytesText(FindResourceBytes(module, MAKEINTRESOURCE(1), "TYPELIB")), "module");
  EXPECT_EQ(BytesText(FindResourceBytes(self, MAKEINTRESOURCE(1), "TYPELIB")), "prog");
  EXPECT_EQ(FindResource(module, MAKEINTRESOURCE(5), RT_BITMAP), nullptr);
  EXPECT_EQ(FindDialogTemplate(module, 100), nullptr);
  // The icon: RT_ICON gives its first image, the typed lookup all of them.
  EXPECT_EQ(BytesText(FindResourceBytes(module, MAKEINTRESOURCE(3), RT_ICON)), std::string("\1\2\3\4", 4));
  const IconEntry* icon = FindIcon(module, 3);
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(icon->images.size(), 2u);
  const MenuTemplate* menu = FindMenuTemplate(module, 201);
  ASSERT_NE(menu, nullptr);
  EXPECT_STREQ(menu->items.at(0).popup.at(0).text, "E&xit");
  EXPECT_EQ(FindModuleResources(reinterpret_cast<HINSTANCE>(std::uintptr_t{0x10})), nullptr);
}

TEST(LoadString, CopiesCutsAtCharacterBoundariesAndLendsTheText) {
  HINSTANCE self = AfxGetInstanceHandle();
  char buffer[128];
  EXPECT_EQ(LoadString(self, 100, buffer, sizeof buffer), 85);
  EXPECT_STREQ(buffer, "OLE initialization failed.  Make sure that the OLE libraries are the correct version.");
  EXPECT_EQ(LoadString(self, 1, buffer, 8), 7);
  EXPECT_STREQ(buffer, "Program");
  // Room for "Gr" and one byte of "ü": the half character is left out.
  EXPECT_EQ(LoadString(self, 8, buffer, 4), 2);
  EXPECT_STREQ(buffer, "Gr");
  EXPECT_EQ(LoadString(self, 8, buffer, 5), 4);
  EXPECT_STREQ(buffer, "Gr\xC3\xBC");
  EXPECT_EQ(LoadString(self, 999, buffer, sizeof buffer), 0);
  EXPECT_STREQ(buffer, "");
  LPCTSTR lent = nullptr;
  EXPECT_EQ(LoadString(self, 7, reinterpret_cast<LPTSTR>(&lent), 0), 19);
  EXPECT_STREQ(lent, "Only in the program");
}
}  // namespace
}  // namespace kp::resources

namespace kp::resources {
namespace {
TEST(ResourceImages, LoadBitmapDecodesThePackedDibAsANewBitmap) {
  int objects = kp::gdi::LiveObjectCount();
  HBITMAP bitmap = LoadBitmap(AfxGetInstanceHandle(), MAKEINTRESOURCE(9));
  ASSERT_NE(bitmap, nullptr);
  BITMAP info{};
  ASSERT_NE(GetObject(bitmap, sizeof info, &info), 0);
  EXPECT_EQ(info.bmWidth, 2);
  EXPECT_EQ(info.bmHeight, 2);
  EXPECT_EQ(info.bmBitsPixel, 24);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ previous = SelectObject(dc, bitmap);
  EXPECT_EQ(GetPixel(dc, 0, 1), RGB(0, 0, 255));
  EXPECT_EQ(GetPixel(dc, 1, 1), RGB(0, 255, 0));
  EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(dc, 1, 0), RGB(255, 255, 255));
  SelectObject(dc, previous);
  DeleteDC(dc);
  HBITMAP second = LoadBitmap(AfxGetInstanceHandle(), "#9");
  EXPECT_NE(second, bitmap) << "each load is the caller's own bitmap";
  DeleteObject(second);
  DeleteObject(bitmap);
  EXPECT_EQ(kp::gdi::LiveObjectCount(), objects);
}

TEST(ResourceImages, MissingOrUndecodableBitmapsGiveNull) {
  EXPECT_EQ(LoadBitmap(AfxGetInstanceHandle(), MAKEINTRESOURCE(99)), nullptr);
  EXPECT_EQ(LoadBitmap(AfxGetInstanceHandle(), MAKEINTRESOURCE(5)), nullptr) << "a header cut short";
}

TEST(ResourceImages, LoadIconIsSharedAndKeepsTheMask) {
  int objects = kp::gdi::LiveObjectCount();
  HICON icon = LoadIcon(AfxGetInstanceHandle(), MAKEINTRESOURCE(128));
  EXPECT_EQ(kp::gdi::LiveObjectCount(), objects) << "shared icons are not the caller's to release";
  EXPECT_FALSE(DestroyIcon(icon));
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(LoadIcon(AfxGetInstanceHandle(), "#128"), icon);
  std::vector<kp::gdi::IconImage> images = kp::gdi::GetIconImages(icon);
  ASSERT_EQ(images.size(), 1u);
  EXPECT_EQ(images[0].width, 16);
  EXPECT_EQ(images[0].height, 16);
  EXPECT_EQ(images[0].argb[0] >> 24, 0u) << "masked half is transparent";
  EXPECT_EQ(images[0].argb[15], 0xFFFF0000u);
  EXPECT_EQ(LoadIcon(AfxGetInstanceHandle(), MAKEINTRESOURCE(129)), nullptr);
  EXPECT_EQ(LoadIcon(AfxGetInstanceHandle(), "#"), nullptr);
}

TEST(ResourceImages, LoadImageReadsResourceNamesThroughThisLayer) {
  HANDLE image = LoadImage(AfxGetInstanceHandle(), MAKEINTRESOURCE(9), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR);
  ASSERT_NE(image, nullptr);
  DeleteObject(static_cast<HGDIOBJ>(image));
}
}  // namespace
}  // namespace kp::resources
