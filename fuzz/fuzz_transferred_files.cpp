// Files handed over by other programs: the DROPFILES block of a drop or a
// clipboard's CF_HDROP, and the URI lists of a copy in a file manager. Any
// bytes give paths or nothing, never a read outside them; every path named
// is a non-empty, absolute one.

#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>

#include "platform/qt/drop_files.h"

namespace {
void CheckPaths(const std::vector<std::string>& paths) {
  for (const std::string& path : paths)
    if (path.empty()) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (const auto paths = kp::qt::ParseDropFiles(std::span<const BYTE>(data, size))) {
    if (paths->empty()) std::abort();
    CheckPaths(*paths);
  }
  const std::vector<std::string> files =
      kp::qt::LocalFilesFromUriList(std::string_view(reinterpret_cast<const char*>(data), size));
  CheckPaths(files);
  for (const std::string& file : files)
    if (file.front() != '/') std::abort();
  return 0;
}
