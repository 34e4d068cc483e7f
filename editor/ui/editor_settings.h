#pragma once
// What the editor keeps per user, in HKEY_CURRENT_USER under its own key,
// as desktop programs of its kind keep theirs: the recent shapes files
// (values "File1", newest, to "File8") and the folder the last shapes file
// was chosen in, where Select Shapes File... opens; and the folder of the
// last patch file applied or saved, where the patch-file dialogs open.

inline constexpr char kRecentFilesKey[] = "Software\\Kestrow\\Kestrow\\Recent File List";
inline constexpr char kRecentFileEntry[] = "File";
inline constexpr char kSettingsKey[] = "Software\\Kestrow\\Kestrow\\Settings";
inline constexpr char kShapesFolderValue[] = "Shapes Folder";
inline constexpr char kPatchFolderValue[] = "Patch Files Folder";
