// info SHAPES: the file's length, then each set's header values.

#include <cstdio>

#include "editor/shapes/block_header.h"
#include "editor/shapes/set_kinds.h"
#include "tools/kestrow_cli/cli_commands.h"
#include "tools/kestrow_cli/set_names.h"

int RunInfoCommand(const CliRequest& request, const CliOutput& output) {
  CFile file;
  ULONGLONG length = 0;
  if (!OpenShapesForCommand(file, request.shapesPath, ShapesFileUse::loadSet, output, &length)) return kExitFailed;

  output.out << request.shapesPath << ": " << length << " bytes\n";
  output.out << "set              header  base offset  colours  images\n";
  int status = kExitSuccess;
  for (int set = 0; set < kSetCount; ++set) {
    const char* name = kSetListStrings[static_cast<std::size_t>(set)];
    const int headerNumber = SetHeaderNumbers[static_cast<std::size_t>(set)];
    // A damaged block is reported and the other sets are still listed.
    try {
      const BlockHeader block = ReadBlockHeader(file, headerNumber);
      char line[128];
      std::snprintf(line, sizeof line, "%-15s  %6d  %11ld  %7ld  %6d\n", name, headerNumber,
                    static_cast<long>(block.baseOffset), static_cast<long>(block.colourCount),
                    static_cast<int>(block.imageCount));
      output.out << line;
    } catch (const CFileException& e) {
      status = output.Fail(std::string(name) + " (header " + std::to_string(headerNumber) +
                           "): " + e.ErrorMessage().str());
    }
  }
  file.Close();
  return status;
}
