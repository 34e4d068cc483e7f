// make-art: draws the editor's and the control's pictures and writes them as
// C++ source for the build.
//
//   make-art editor OUTPUT.cpp    the About box frames and the program icon
//   make-art control OUTPUT.cpp   the toolbox bitmap
//
// The file is written to a temporary name beside OUTPUT and renamed over it
// when complete, so an interrupted build never compiles half a picture.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string_view>

#include "tools/make_art/art_resources.h"
#include "tools/make_art/source_writer.h"

namespace {

struct Target {
  std::string_view name;
  std::string_view header;
  std::string_view nameSpace;
  std::vector<make_art::NamedBytes> (*resources)();
};

constexpr Target kTargets[] = {
    {"editor", "editor/ui/art/editor_art_data.h", "editor_art_data", make_art::EditorArtResources},
    {"control", "control/art/control_art_data.h", "control_art_data", make_art::ControlArtResources},
};

int Usage() {
  std::fprintf(stderr, "usage: make-art editor|control OUTPUT.cpp\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return Usage();
  const Target* target = nullptr;
  for (const Target& t : kTargets)
    if (t.name == argv[1]) target = &t;
  if (!target) return Usage();

  const std::filesystem::path output = argv[2];
  std::filesystem::path temporary = output;
  temporary += ".part";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    make_art::WriteSource(out, target->header, target->nameSpace, target->resources());
    out.flush();
    if (!out) {
      std::fprintf(stderr, "make-art: cannot write %s\n", temporary.c_str());
      out.close();
      std::error_code ignored;
      std::filesystem::remove(temporary, ignored);
      return 1;
    }
  }
  std::error_code error;
  std::filesystem::rename(temporary, output, error);
  if (error) {
    std::fprintf(stderr, "make-art: cannot rename %s to %s: %s\n", temporary.c_str(), output.c_str(),
                 error.message().c_str());
    return 1;
  }
  return 0;
}
