#include "editor/ui/command_line_help.h"

#include "kestrow_version.h"

std::string EditorHelpText() {
  return "Usage: kestrow [SHAPES]\n" KESTROW_SUMMARY
         ": load a set into the slots,\n"
         "drop bitmap files onto them, and patch the file in place.\n"
         "\n"
         "  SHAPES     start with this shapes file chosen, as Select Shapes File... does;\n"
         "             a name that is not a readable file gets a message, and the editor\n"
         "             starts with none chosen\n"
         "  --help     show this help and exit\n"
         "  --version  show the version and exit\n"
         "\n"
         "An automation client that creates \"Kestrow.Application\" starts the editor\n"
         "with -Automation or -Embedding (also written /Automation, /Embedding, in this\n"
         "exact case); the editor then stays open until the client lets it go. Only an\n"
         "argument that is exactly one of these is the option; any other argument is a\n"
         "SHAPES path, taken as it is given, even one that holds these words.\n"
         "\n"
         "The editor creates its bitmap drop control by class id, through the class\n"
         "registry: the user's kestrow-platform/classes.reg in XDG_DATA_HOME, over a\n"
         "machine-wide kestrow-platform/classes.reg in the first folder of XDG_DATA_DIRS\n"
         "that has one (an installed Kestrow brings one). When the control cannot be\n"
         "created, the editor names it, the module it tried and the regsvr command that\n"
         "registers it, and ends.\n"
         "\n"
         "Exit status: 0 once the window is closed, 1 when it cannot be opened.\n";
}

std::string EditorVersionText() { return std::string("kestrow ") + KESTROW_VERSION + "\n"; }
