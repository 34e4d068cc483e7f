#include "tools/kestrow_cli/history_text.h"

#include <bit>

std::string HistoryLine(const HistoryEntry& entry) {
  int images = 0;
  for (const PatchedSet& set : entry.sets) images += std::popcount(set.images);
  std::string what = entry.kind == PatchKind::Apply ? "patch file applied to " : "patch of ";
  if (entry.kind == PatchKind::Undo) {
    what = "undo of";
    for (std::size_t i = 0; i < entry.undoes.size(); ++i)
      what += (i == 0 ? " #" : ", #") + std::to_string(entry.undoes[i]);
    what += ": ";
  }
  return std::to_string(entry.id) + "  " + LocalTimeText(entry.time) + "  " + what + SetsText(entry.sets) + ", " +
         std::to_string(images) + (images == 1 ? " image" : " images");
}
