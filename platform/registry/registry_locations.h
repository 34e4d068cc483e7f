#pragma once
// Where HKEY_CLASSES_ROOT lives. As per-user classes sit over the machine's
// on Windows, two files make it up:
//
// - the user's own, ${XDG_DATA_HOME:-$HOME/.local/share}/kestrow-platform/classes.reg,
//   which every change goes to;
// - below it, read-only, the machine-wide file: kestrow-platform/classes.reg
//   in the first folder of ${XDG_DATA_DIRS:-/usr/local/share:/usr/share}
//   that has one. An install writes it, through MachineRegistryScope.
//
// Relative folders in either variable are ignored, as the XDG base-directory
// rules say. In a machine-wide file, a string value that begins with "./" or
// "../" (or is "." or "..") is a path relative to the folder that holds the
// file; readers see it as an absolute path. That keeps an installed tree
// working wherever it is moved or unpacked.

#include <string>
#include <vector>

namespace kp::registry {

// <dataFolder>/kestrow-platform/classes.reg.
std::string RegistryFileIn(const std::string& dataFolder);

// The folders searched for the machine-wide file, in order.
std::vector<std::string> MachineDataFolders();

// The machine-wide file: the first one that exists in MachineDataFolders(),
// readable or not; empty when there is none.
std::string FindMachineRegistryFile();

// For an installer: while an object of this class lives, HKEY_CLASSES_ROOT
// is the machine-wide file of `dataFolder` alone. Reads see only that file,
// changes go to it (readable by everyone), and a string value that names
// `relocatableFolder` or a path inside it is stored relative to the file.
// The folders are taken as they are at construction, made absolute and
// free of symbolic links where they exist.
class MachineRegistryScope {
 public:
  MachineRegistryScope(const std::string& dataFolder, const std::string& relocatableFolder);
  ~MachineRegistryScope();
  MachineRegistryScope(const MachineRegistryScope&) = delete;
  MachineRegistryScope& operator=(const MachineRegistryScope&) = delete;
};

// The two trees the Reg* calls reach: HKEY_CLASSES_ROOT, as above, and
// HKEY_CURRENT_USER, the user's own settings, which programs keep under
// "Software\\<company>\\<program>". The second is one file of the user's,
// ${XDG_CONFIG_HOME:-$HOME/.config}/kestrow-platform/user.reg, with no
// machine-wide file under it; an installer's MachineRegistryScope leaves it
// alone.
enum class Hive { ClassesRoot, CurrentUser };

// Which files the Reg* calls use at this moment for `hive`, from the
// environment and any MachineRegistryScope.
struct RegistryLayout {
  std::string writable;     // the file changes go to
  std::string below;        // the read-only machine-wide file under it; empty when none
  std::string relocatable;  // machine scope: values below this folder are stored relative
  bool machineScope = false;
};
RegistryLayout CurrentRegistryLayout(Hive hive = Hive::ClassesRoot);

}  // namespace kp::registry
