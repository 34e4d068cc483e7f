#include "editor/ui/art/editor_art.h"

#include "editor/ui/art/editor_art_data.h"

namespace {

struct Entry {
  int key;
  const std::span<const BYTE>* bytes;
};

constexpr Entry kAboutFrames[] = {
    {237, &editor_art_data::kAboutFrame237}, {238, &editor_art_data::kAboutFrame238},
    {239, &editor_art_data::kAboutFrame239}, {240, &editor_art_data::kAboutFrame240},
    {241, &editor_art_data::kAboutFrame241}, {242, &editor_art_data::kAboutFrame242},
    {243, &editor_art_data::kAboutFrame243},
};

constexpr Entry kIconImages[] = {
    {32, &editor_art_data::kProgramIcon32},
    {16, &editor_art_data::kProgramIcon16},
};

template <std::size_t N>
std::span<const BYTE> Find(const Entry (&table)[N], long long key) {
  for (const Entry& e : table)
    if (e.key == key) return *e.bytes;
  return {};
}

}  // namespace

std::span<const BYTE> AboutFrameDib(UINT resourceId) { return Find(kAboutFrames, resourceId); }

std::span<const BYTE> ProgramIconImage(int size) { return Find(kIconImages, size); }
