// history SHAPES [--json]: the patches of SHAPES that the patch history
// keeps, newest first.

#include <ctime>

#include "editor/import/patch_history.h"
#include "editor/shapes/set_kinds.h"
#include "tools/kestrow_cli/cli_commands.h"
#include "tools/kestrow_cli/history_text.h"
#include "tools/kestrow_cli/json_output.h"

namespace {

std::string UtcTimeText(std::int64_t time) {
  const std::time_t when = static_cast<std::time_t>(time);
  std::tm utc{};
  char text[32] = "";
  if (::gmtime_r(&when, &utc) != nullptr) std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
  return text;
}

nlohmann::json EntryJson(const HistoryEntry& entry) {
  nlohmann::json sets = nlohmann::json::array();
  for (const PatchedSet& set : entry.sets) {
    nlohmann::json images = nlohmann::json::array();
    for (int image = 0; image < 32; ++image)
      if ((set.images >> image) & 1u) images.push_back(image);
    sets.push_back({{"name", kSetListStrings.at(static_cast<std::size_t>(set.setIndex))}, {"images", images}});
  }
  return {{"id", entry.id},
          {"time", UtcTimeText(entry.time)},
          {"kind", PatchKindName(entry.kind)},
          {"undoes", entry.undoes},
          {"sets", std::move(sets)},
          {"bytes", entry.bytes},
          {"written_sha256", kp::base::DigestHex(entry.written)},
          {"path", entry.path},
          {"device", entry.file.device},
          {"inode", entry.file.inode},
          {"length", entry.file.length}};
}

}  // namespace

int RunHistoryCommand(const CliRequest& request, const CliOutput& output) {
  CFile file;
  if (!OpenShapesForCommand(file, request.shapesPath, ShapesFileUse::LoadSet, output)) return kExitFailed;
  const PatchEnvironment env = DefaultPatchEnvironment();
  const std::vector<HistoryEntry> entries = ListHistory(env, request.shapesPath, BorrowOpenFile(file)->Identity());
  file.Close();
  if (request.json) {
    nlohmann::json list = nlohmann::json::array();
    for (const HistoryEntry& entry : entries) list.push_back(EntryJson(entry));
    PrintJson({{"path", request.shapesPath}, {"entries", std::move(list)}}, output);
    return kExitSuccess;
  }
  if (entries.empty()) output.out << request.shapesPath << " has no patch in its history\n";
  for (const HistoryEntry& entry : entries) output.out << HistoryLine(entry) << '\n';
  return kExitSuccess;
}
