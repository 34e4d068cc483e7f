#pragma once
// The vector instruction sets the palette search can use, chosen at run time
// from what the processor offers. Every level gives exactly the same results;
// they differ only in speed.

#include <vector>

enum class SimdLevel {
  Portable,  // plain C++, any processor
  Sse41,     // 4 lanes of 32 bits
  Avx2,      // 8 lanes of 32 bits
};

bool SimdLevelSupported(SimdLevel level);
// The fastest supported level.
SimdLevel BestSimdLevel();
// Every supported level, portable first.
std::vector<SimdLevel> SupportedSimdLevels();
const char* SimdLevelName(SimdLevel level);
