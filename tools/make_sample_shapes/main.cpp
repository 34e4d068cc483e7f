// kestrow-sample-shapes OUT: writes a sample shapes file to OUT, with the eight
// sets drawn by our own code, for trying the editor without game data.
// The file is written beside OUT and renamed over it only when complete, so
// a failure never leaves a half-written file at OUT.

#include <cstdio>
#include <cstring>
#include <vector>

#include "editor/shapes/sample/sample_shapes.h"
#include "editor/shapes/set_kinds.h"
#include "platform/file/file.h"

int main(int argc, char** argv) {
  const char* program = std::strrchr(argv[0], '/') != nullptr ? std::strrchr(argv[0], '/') + 1 : argv[0];
  // Help asked for goes to standard output with success (its manual page is
  // made from it); a wrong command line gets the same text as an error.
  // Any other word that starts with '-' is an option this program does not
  // have, never a file to write ("./-name" names such a file).
  const bool asked = argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0);
  if (argc != 2 || asked || argv[1][0] == '-') {
    std::fprintf(
        asked ? stdout : stderr,
        "usage: %s OUT\nWrite a sample shapes file, for trying the Kestrow editor without game data.\n"
        "OUT gets %llu bytes: the eight sets, drawn by Kestrow's own code.\n",
        program, static_cast<unsigned long long>(kExpectedShapesFileSize));
    return asked ? 0 : 2;
  }
  const std::vector<BYTE> bytes = sample_shapes::MakeSampleShapes().Build();
  try {
    CFile out(argv[1],
              CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive | CFile::modeReplaceOnClose);
    out.Write(bytes.data(), static_cast<UINT>(bytes.size()));
    out.Close();
  } catch (const CFileException& e) {
    std::fprintf(stderr, "%s: %s\n", program, e.ErrorMessage().GetString());
    return 1;
  }
  std::printf("wrote %s (%zu bytes)\n", argv[1], bytes.size());
  return 0;
}
