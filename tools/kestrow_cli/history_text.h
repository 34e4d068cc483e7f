#pragma once
// How history and undo name an entry of the patch history in their lines:
// "12  2024-06-01 12:34:56  patch of Texture Set # 1, 30 images" and
// "13  2024-06-01 12:40:02  undo of #12: Texture Set # 1, 30 images".

#include <string>

#include "editor/import/patch_history.h"

std::string HistoryLine(const HistoryEntry& entry);
