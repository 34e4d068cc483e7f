// make-art: draws the editor's and the control's pictures and writes them as
// C++ source for the build, and the program icon as PNG files for the
// desktop.
//
//   make-art editor OUTPUT.cpp     the About box frames and the program icon
//   make-art control OUTPUT.cpp    the toolbox bitmap
//   make-art icon SIZE OUTPUT.png  the program icon, SIZE x SIZE pixels
//                                  (16, 32, 48, 64, 128, 256...)
//
// The file is written to a temporary name beside OUTPUT and renamed over it
// when complete, so an interrupted build never uses half a picture.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string_view>

#include "tools/make_art/art_resources.h"
#include "tools/make_art/program_icon.h"
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
  std::fprintf(stderr, "usage: make-art editor|control OUTPUT.cpp\n       make-art icon SIZE OUTPUT.png\n");
  return 2;
}

// Writes what `write` puts out to `output`, through a temporary file.
int WriteFile(const std::filesystem::path& output, const std::function<void(std::ostream&)>& write) {
  std::filesystem::path temporary = output;
  temporary += ".part";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    write(out);
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

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string_view(argv[1]) == "icon") {
    char* end = nullptr;
    const long size = std::strtol(argv[2], &end, 10);
    const std::vector<std::uint8_t> png = *end == '\0' && size > 0 && size <= 1024
                                              ? make_art::ProgramIconPng(static_cast<int>(size))
                                              : std::vector<std::uint8_t>();
    if (png.empty()) {
      std::fprintf(stderr, "make-art: no program icon of size %s (a multiple of 16)\n", argv[2]);
      return 2;
    }
    return WriteFile(argv[3], [&](std::ostream& out) {
      out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    });
  }
  if (argc != 3) return Usage();
  const Target* target = nullptr;
  for (const Target& t : kTargets)
    if (t.name == argv[1]) target = &t;
  if (!target) return Usage();
  return WriteFile(argv[2], [&](std::ostream& out) {
    make_art::WriteSource(out, target->header, target->nameSpace, target->resources());
  });
}
