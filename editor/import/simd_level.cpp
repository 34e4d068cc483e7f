#include "editor/import/simd_level.h"

namespace {
struct LevelName {
  SimdLevel level;
  const char* name;
};
constexpr LevelName kNames[] = {
    {SimdLevel::Portable, "portable"},
    {SimdLevel::Sse41, "sse4.1"},
    {SimdLevel::Avx2, "avx2"},
};
}  // namespace

bool SimdLevelSupported(SimdLevel level) {
#if defined(__x86_64__) || defined(__i386__)
  __builtin_cpu_init();
  if (level == SimdLevel::Avx2) return __builtin_cpu_supports("avx2");
  if (level == SimdLevel::Sse41) return __builtin_cpu_supports("sse4.1");
#endif
  return level == SimdLevel::Portable;
}

SimdLevel BestSimdLevel() {
  static const SimdLevel best = SimdLevelSupported(SimdLevel::Avx2)    ? SimdLevel::Avx2
                                : SimdLevelSupported(SimdLevel::Sse41) ? SimdLevel::Sse41
                                                                       : SimdLevel::Portable;
  return best;
}

std::vector<SimdLevel> SupportedSimdLevels() {
  std::vector<SimdLevel> levels;
  for (const LevelName& entry : kNames)
    if (SimdLevelSupported(entry.level)) levels.push_back(entry.level);
  return levels;
}

const char* SimdLevelName(SimdLevel level) {
  for (const LevelName& entry : kNames)
    if (entry.level == level) return entry.name;
  return "unknown";
}
