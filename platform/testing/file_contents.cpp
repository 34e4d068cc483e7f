#include "platform/testing/file_contents.h"

#include <filesystem>
#include <fstream>

namespace kp::testing {

namespace {
// In one read of the file's size, not byte by byte through a stream
// iterator: tests read whole shapes files of 10 MB many times over, which
// an unoptimised sanitizer build would spend minutes on.
template <typename Bytes>
Bytes ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return {};
  Bytes bytes(static_cast<std::size_t>(in.tellg()), 0);
  in.seekg(0);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (in.gcount() != static_cast<std::streamsize>(bytes.size())) return {};
  return bytes;
}
}  // namespace

std::vector<std::uint8_t> ReadFileBytes(const std::string& path) { return ReadWhole<std::vector<std::uint8_t>>(path); }

std::string ReadFileText(const std::string& path) { return ReadWhole<std::string>(path); }

bool WriteFileBytes(const std::string& path, std::span<const std::uint8_t> bytes) {
  std::error_code ignored;  // a folder that cannot be made fails the open below
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return static_cast<bool>(out);
}

bool WriteFileText(const std::string& path, const std::string& text) {
  return WriteFileBytes(path, {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}

}  // namespace kp::testing
