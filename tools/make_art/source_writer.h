#pragma once
// Writes resource bytes as a C++ source file: one constant array per
// resource and a span of the same name that the library's data header
// declares, so the pictures are compiled in and no binary is checked in.

#include <ostream>
#include <string_view>
#include <vector>

#include "tools/make_art/art_resources.h"

namespace make_art {

// `header` is the include path of the header declaring the spans;
// `nameSpace` the namespace they live in.
void WriteSource(std::ostream& out, std::string_view header, std::string_view nameSpace,
                 const std::vector<NamedBytes>& resources);

}  // namespace make_art
