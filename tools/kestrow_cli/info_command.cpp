// info SHAPES [--json]: the file's length, then each set's header values.

#include <cstdio>
#include <optional>
#include <vector>

#include "editor/shapes/block_header.h"
#include "editor/shapes/set_kinds.h"
#include "tools/kestrow_cli/cli_commands.h"
#include "tools/kestrow_cli/json_output.h"
#include "tools/kestrow_cli/set_names.h"

namespace {

struct SetLine {
  int set;
  std::optional<BlockHeader> block;  // none when it could not be read
  std::string error;                 // then the line of that failure
};

void PrintText(const std::string& path, ULONGLONG length, const std::vector<SetLine>& lines,
               const CliOutput& output) {
  output.out << path << ": " << length << " bytes\n";
  output.out << "set              header  base offset  colours  images\n";
  for (const SetLine& line : lines) {
    if (!line.block) continue;
    char text[128];
    const auto set = static_cast<std::size_t>(line.set);
    std::snprintf(text, sizeof text, "%-15s  %6d  %11ld  %7ld  %6d\n", kSetListStrings[set], SetHeaderNumbers[set],
                  static_cast<long>(line.block->baseOffset), static_cast<long>(line.block->colourCount),
                  static_cast<int>(line.block->imageCount));
    output.out << text;
  }
}

void PrintJsonObject(const std::string& path, ULONGLONG length, const std::vector<SetLine>& lines,
                     const CliOutput& output) {
  nlohmann::json sets = nlohmann::json::array();
  for (const SetLine& line : lines) {
    nlohmann::json set = {{"name", kSetListStrings[static_cast<std::size_t>(line.set)]},
                          {"header", SetHeaderNumbers[static_cast<std::size_t>(line.set)]}};
    if (line.block) {
      set["base_offset"] = line.block->baseOffset;
      set["colours"] = line.block->colourCount;
      set["images"] = line.block->imageCount;
    } else {
      set["error"] = line.error;
    }
    sets.push_back(std::move(set));
  }
  PrintJson({{"path", path},
             {"length", length},
             {"expected_length", length == kExpectedShapesFileSize},
             {"sets", std::move(sets)}},
            output);
}

}  // namespace

int RunInfoCommand(const CliRequest& request, const CliOutput& output) {
  CFile file;
  ULONGLONG length = 0;
  if (!OpenShapesForCommand(file, request.shapesPath, ShapesFileUse::LoadSet, output, &length)) return kExitFailed;

  std::vector<SetLine> lines;
  int status = kExitSuccess;
  for (int set = 0; set < kSetCount; ++set) {
    const int headerNumber = SetHeaderNumbers[static_cast<std::size_t>(set)];
    SetLine line{set, std::nullopt, {}};
    // A damaged block is reported and the other sets are still listed.
    try {
      line.block = ReadBlockHeader(file, headerNumber);
    } catch (const CFileException& e) {
      line.error = std::string(kSetListStrings[static_cast<std::size_t>(set)]) + " (header " +
                   std::to_string(headerNumber) + "): " + e.ErrorMessage().str();
      status = output.Fail(line.error);
    }
    lines.push_back(std::move(line));
  }
  file.Close();
  if (request.json)
    PrintJsonObject(request.shapesPath, length, lines, output);
  else
    PrintText(request.shapesPath, length, lines, output);
  return status;
}
