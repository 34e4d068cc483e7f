// show PATCH [SHAPES] [--json]: what a patch file changes, named as sets
// and images.

#include <optional>

#include "editor/import/shapes_patch.h"
#include "editor/shapes/set_kinds.h"
#include "editor/shapes/slot_layout.h"
#include "tools/kestrow_cli/cli_commands.h"
#include "tools/kestrow_cli/json_output.h"
#include "tools/kestrow_cli/patch_files.h"

namespace {

const char* PartName(RegionKind kind) {
  switch (kind) {
    case RegionKind::Headers: return "headers";
    case RegionKind::ColourTable: return "colour table";
    case RegionKind::Pixels: return "image";
  }
  return "";
}

nlohmann::json ChangeObject(const ShapesRegion& region, ULONGLONG bytes) {
  nlohmann::json change = {{"set", region.setIndex + 1},
                           {"name", kSetListStrings[static_cast<std::size_t>(region.setIndex)]},
                           {"part", PartName(region.kind)}};
  if (region.kind == RegionKind::Pixels) {
    change["image"] = region.image;
    if (!IsLandscapeSet(region.setIndex)) {
      change["column"] = SlotColumn(region.image);
      change["row"] = SlotRow(region.image);
    }
  }
  change["bytes"] = bytes;
  return change;
}

// What the patch changes, by its own description or, for another
// program's, by applying it to SHAPES in memory.
struct ShownChanges {
  std::optional<PatchDescription> description;
  std::optional<std::string> madeFor;    // with SHAPES, for ours: empty when SHAPES is the file, else why not
  std::optional<ChangeSummary> summary;  // for another program's, with SHAPES
};

int PrintText(const CliRequest& request, const ShownChanges& shown, const CliOutput& output) {
  if (const std::optional<PatchDescription>& description = shown.description) {
    output.out << "made by " << (description->madeBy.empty() ? "Kestrow" : description->madeBy)
               << " from a shapes file of " << ByteCount(description->sourceLength) << ", SHA-256 "
               << kp::base::DigestHex(description->sourceDigest) << '\n';
    if (shown.madeFor)
      output.out << "made for " << request.shapesPath << ": "
                 << (shown.madeFor->empty() ? std::string("yes") : "no, " + *shown.madeFor) << '\n';
    output.out << ImageLines(description->images, "");
    return kExitSuccess;
  }
  if (!shown.summary) {
    output.out << "made by another program: name SHAPES to see which images it changes\n";
    return kExitSuccess;
  }
  output.out << "made by another program\n" << ChangeLines(*shown.summary, "");
  return kExitSuccess;
}

int PrintJsonObject(const CliRequest& request, const ShownChanges& shown, const CliOutput& output) {
  nlohmann::json object = {{"path", request.patchPath}, {"made_by", nullptr}, {"changes", nullptr}};
  if (const std::optional<PatchDescription>& description = shown.description) {
    object["made_by"] = description->madeBy;
    object["source_length"] = description->sourceLength;
    object["source_sha256"] = kp::base::DigestHex(description->sourceDigest);
    if (shown.madeFor) object["made_for"] = shown.madeFor->empty();
    nlohmann::json changes = nlohmann::json::array();
    for (const PatchedImage& image : description->images)
      changes.push_back(ChangeObject({0, 0, RegionKind::Pixels, image.setIndex, image.image}, image.changedBytes));
    object["changes"] = std::move(changes);
  } else if (shown.summary) {
    nlohmann::json changes = nlohmann::json::array();
    for (const RegionChange& change : shown.summary->regions)
      changes.push_back(ChangeObject(change.region, change.bytes));
    object["changes"] = std::move(changes);
    object["other_bytes"] = shown.summary->otherBytes;
  }
  PrintJson(object, output);
  return kExitSuccess;
}

}  // namespace

int RunShowCommand(const CliRequest& request, const CliOutput& output) {
  ShapesInMemory shapes;
  const bool withShapes = !request.shapesPath.empty();
  if (withShapes && !ReadShapesInMemory(request.shapesPath, shapes, output)) return kExitFailed;
  std::vector<BYTE> patch;
  if (!ReadPatchFile(request.patchPath, withShapes ? shapes.length : kExpectedShapesFileSize, patch, output))
    return kExitFailed;

  ShownChanges shown;
  try {
    shown.description = ReadPatchDescription(patch);
    if (shown.description && withShapes) {
      shown.madeFor = CheckPatchSource(*shown.description, shapes.Bytes());
    } else if (!shown.description && withShapes) {
      shown.summary = DecodeShapesPatch(shapes.Bytes(), shapes.layout, patch).summary;
    }
  } catch (const PatchFileError& e) {
    if (withShapes && !shown.description)
      return output.Fail("Cannot apply " + request.patchPath + " to " + request.shapesPath + ": " + e.what());
    return output.Fail(request.patchPath + ": " + e.what());
  }
  return request.json ? PrintJsonObject(request, shown, output) : PrintText(request, shown, output);
}
