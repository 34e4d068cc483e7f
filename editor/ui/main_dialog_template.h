#pragma once
// The main dialog's resources: template 102 and its dialog-initialisation
// data (the set list's eight entries and a creation record for each of the
// thirty-two hosted drop controls).

#include "platform/resources/resource_table.h"

void AddMainDialogResources(kp::resources::ResourceTable& table);
