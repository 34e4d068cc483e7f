#pragma once
// Whole files as bytes or text, for tests and benchmarks that compare what a
// program wrote with what it should have written. A file that cannot be
// read gives an empty result, which no comparison with real content passes.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kp::testing {

std::vector<std::uint8_t> ReadFileBytes(const std::string& path);
std::string ReadFileText(const std::string& path);
// Writes `bytes` as the whole file, making its folder first when there is
// none; false when that fails.
bool WriteFileBytes(const std::string& path, std::span<const std::uint8_t> bytes);
bool WriteFileText(const std::string& path, const std::string& text);

}  // namespace kp::testing
