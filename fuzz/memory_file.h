#pragma once
// The input of a shapes-file fuzz target as a file that CFile opens by path:
// one memory file per process, refilled for every input, so that a run
// costs no disk and no file creation. Its path names the descriptor in
// /proc, which opens a new description of the same file each time, as
// opening a path on disk would.

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

class MemoryFile {
 public:
  MemoryFile() : m_fd(memfd_create("shapes", MFD_CLOEXEC)), m_path("/proc/self/fd/" + std::to_string(m_fd)) {
    if (m_fd < 0) std::abort();
  }
  ~MemoryFile() { close(m_fd); }
  MemoryFile(const MemoryFile&) = delete;
  MemoryFile& operator=(const MemoryFile&) = delete;

  // Makes the file hold exactly `size` bytes of `data`.
  void Fill(const std::uint8_t* data, std::size_t size) {
    if (ftruncate(m_fd, 0) != 0) std::abort();
    if (size > 0 && pwrite(m_fd, data, size, 0) != static_cast<ssize_t>(size)) std::abort();
  }

  // The whole file as it is now.
  std::vector<std::uint8_t> Contents() const {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(lseek(m_fd, 0, SEEK_END)));
    if (!bytes.empty() && pread(m_fd, bytes.data(), bytes.size(), 0) != static_cast<ssize_t>(bytes.size()))
      std::abort();
    return bytes;
  }

  const char* Path() const { return m_path.c_str(); }

 private:
  int m_fd;
  std::string m_path;
};
