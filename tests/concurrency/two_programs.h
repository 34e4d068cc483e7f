#pragma once
// What the tests of two programs at work on one file share: the rounds'
// tally of outcomes, printed at the end, and the bitmap files the imports
// take.

#include <map>
#include <string>

#include "platform/base/win_types.h"

namespace concurrency {

// How often each outcome came up in a test's rounds.
class Outcomes {
 public:
  void Count(const std::string& outcome) { ++m_counts[outcome]; }
  // "<what>, N rounds: outcome x, outcome y", on standard output.
  void Print(const std::string& what, int rounds) const;

 private:
  std::map<std::string, int> m_counts;
};

// Writes the texture pictures slot-FF.bmp to slot-LL.bmp into `folder`,
// made if need be: width x height pixels whose colours depend on `tint` and
// the slot, so that two folders of different tints give different images.
void WriteSlotPictures(const std::string& folder, int first, int last, DWORD tint, int width = 80,
                       int height = 60);

}  // namespace concurrency
