#pragma once
// The program's one resource table: the string table, the program icon, the
// version information and the resources of every dialog. Whatever links
// this (the program, the tests of the dialogs) gets the table registered as
// its module's resources.

#include "platform/resources/resource_table.h"

const kp::resources::ResourceTable& EditorResources();
