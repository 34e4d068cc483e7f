#include <gtest/gtest.h>

#include <string>

#include "platform/base/ascii.h"

namespace {
using kp::base::EqualNoCase;

TEST(Ascii, NamesMatchWhateverTheCaseOfTheirLettersAndNothingElse) {
  const struct {
    const char* a;
    const char* b;
    bool equal;
  } rows[] = {
      {"InprocServer32", "INPROCSERVER32", true},
      {"", "", true},
      {"Flags", "Flag", false},
      // The bytes beside the letters fold to nothing.
      {"@[", "`{", false},
      // UTF-8 bytes match only themselves, in any locale.
      {"\xC3\x89t\xC3\xA9", "\xC3\xA9T\xC3\xA9", false},
      {"\xC3\xA9t\xC3\xA9", "\xC3\xA9T\xC3\xA9", true},
  };
  const kp::base::NoCaseLess less;
  for (const auto& row : rows) {
    EXPECT_EQ(EqualNoCase(row.a, row.b), row.equal) << row.a << " / " << row.b;
    EXPECT_EQ(!less(row.a, row.b) && !less(row.b, row.a), row.equal) << row.a << " / " << row.b;
    EXPECT_EQ(kp::base::FoldCase(row.a) == kp::base::FoldCase(row.b), row.equal) << row.a << " / " << row.b;
  }
}

}  // namespace
