// A module that carries nothing but resources: a string with the same id as
// one of the test program's, an icon of two images, a menu and a custom
// "TYPELIB" resource.

#include "platform/base/win_user.h"
#include "platform/resources/resource_table.h"

namespace {
const BYTE kSmallIcon[] = {1, 2, 3, 4};
const BYTE kLargeIcon[] = {5, 6, 7, 8, 9};
const BYTE kTypeLibrary[] = {'m', 'o', 'd', 'u', 'l', 'e'};

const kp::resources::MenuTemplate kMenu{{
    {"&File", 0, MF_POPUP, {{"E&xit", 57665, 0, {}}}},
}};

const kp::resources::ResourceTable kTable{
    .strings = {{1, "Module string one"}, {2, "Tavlet Property Page"}},
    .menus = {{201, &kMenu}},
    .icons = {{3, {kSmallIcon, kLargeIcon}}},
    .custom = {{"TYPELIB", 1, kTypeLibrary}},
};
}  // namespace

KP_MODULE_RESOURCES(kTable)
