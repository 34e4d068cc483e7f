// make-sample-shapes OUT: writes a sample shapes file to OUT, with the eight
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
  if (argc != 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
    std::fprintf(stderr, "usage: %s OUT\nWrites a sample shapes file of %llu bytes to OUT.\n", argv[0],
                 static_cast<unsigned long long>(kExpectedShapesFileSize));
    return 2;
  }
  const std::vector<BYTE> bytes = sample_shapes::MakeSampleShapes().Build();
  try {
    CFile out(argv[1],
              CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive | CFile::modeReplaceOnClose);
    out.Write(bytes.data(), static_cast<UINT>(bytes.size()));
    out.Close();
  } catch (const CFileException& e) {
    std::fprintf(stderr, "%s: %s\n", argv[0], e.ErrorMessage().GetString());
    return 1;
  }
  std::printf("wrote %s (%zu bytes)\n", argv[1], bytes.size());
  return 0;
}
