#include "editor/ui/start_shapes_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/afx/win_app.h"

namespace {
StartShapesFile Problem(const std::string& problem) {
  std::fprintf(stderr, "%s: %s\n", AfxGetAppName() != nullptr ? AfxGetAppName() : "kestrow", problem.c_str());
  return StartShapesFile{CString(), problem};
}
}  // namespace

std::string WhyNotReadable(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return std::strerror(errno);
  if (!S_ISREG(info.st_mode)) return "not a file";
  // Opening is the only sure test of reading, whoever the user is.
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::strerror(errno);
  ::close(fd);
  return std::string();
}

StartShapesFile TakeStartShapesFile(const char* commandLine) {
  std::vector<std::string> words = kp::afx::SplitCommandLine(commandLine != nullptr ? commandLine : "");
  if (words.empty()) return StartShapesFile{};
  if (words.size() > 1)
    return Problem("One shapes file at most can be named on the command line; the editor starts with none chosen.");
  // The file dialog gives an absolute path; so does this. A relative name
  // has none when the current folder is gone: then it names no file.
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(words[0], error);
  const std::string path = error ? std::string() : absolute.lexically_normal().string();
  const std::string why = error ? error.message() : WhyNotReadable(path);
  if (!why.empty())
    return Problem("Cannot use " + words[0] + " as the shapes file (" + why + "); the editor starts with none chosen.");
  return StartShapesFile{CString(path.c_str()), std::string()};
}
