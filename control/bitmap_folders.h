#pragma once
// The folders the control's file dialog opens in, kept per user in
// HKEY_CURRENT_USER under the control's own key, as desktop programs of its
// kind keep theirs: where the last bitmap was saved, and where the last one
// the user handed over as a file (dropped or pasted) came from.

#include <string>

namespace tavlet {

inline constexpr char kSettingsKey[] = "Software\\Kestrow\\Tavlet\\Settings";
inline constexpr char kOpenedBitmapsFolder[] = "Opened Bitmaps Folder";
inline constexpr char kSavedBitmapsFolder[] = "Saved Bitmaps Folder";

// Keeps the folder of `path` as the value `name`. A registry that cannot be
// written only means the folder is not remembered.
void RememberFolderOf(const char* name, const std::string& path);

// Where Save As opens: the folder bitmaps were saved in last, else the one
// they were opened from last; empty when neither is known.
std::string SaveAsFolder();

}  // namespace tavlet
