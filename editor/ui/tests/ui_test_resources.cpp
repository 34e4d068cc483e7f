// The test program's resources: what the program's own table holds for the
// About box (template 100, the frames, icon 128) and the Image Finder
// (template 133 and its creation record), and a few bitmap resources of our
// own for the DIB loader's edge cases.

#include "editor/ui/tests/ui_test_resources.h"
#include "editor/ui/about_dlg.h"
#include "editor/ui/art/editor_art.h"
#include "editor/ui/image_finder_dlg.h"
#include "platform/base/module.h"
#include "platform/resources/resource_table.h"

namespace ui_tests {
namespace {

const kp::resources::ResourceTable kResources = [] {
  kp::resources::ResourceTable table;
  AddAboutBoxResources(table);
  AddImageFinderResources(table);
  table.icons.push_back({128, {ProgramIconImage(32), ProgramIconImage(16)}});
  for (const TestBitmap& bitmap : TestBitmaps()) table.bitmaps.push_back({bitmap.id, bitmap.bytes});
  return table;
}();

}  // namespace

const kp::resources::ResourceTable& TestResources() { return kResources; }

}  // namespace ui_tests

KP_MODULE_RESOURCES(ui_tests::kResources)
