#pragma once
// The input of a command-line fuzz target as a program's arguments: the
// bytes split at each zero byte, since an argument can hold any byte but
// that one. An empty input gives no arguments, and one of n zero bytes
// n + 1 empty arguments.

#include <cstdint>
#include <string>
#include <vector>

inline std::vector<std::string> ArgumentsFromInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> arguments;
  if (size == 0) return arguments;
  arguments.emplace_back();
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0)
      arguments.emplace_back();
    else
      arguments.back() += static_cast<char>(data[i]);
  }
  return arguments;
}
