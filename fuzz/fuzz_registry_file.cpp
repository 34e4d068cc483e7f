// Fuzz target for the registry file parser: any bytes must give a tree or
// an error, and a tree that was read must write back to text that reads as
// the same tree.

#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

#include "platform/registry/registry_file_format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kp::registry::RegistryKey root;
  std::string error;
  if (!kp::registry::ParseRegistryFile(std::span<const BYTE>(data, size), root, &error)) return 0;
  std::string text = kp::registry::FormatRegistryFile(root);
  kp::registry::RegistryKey again;
  if (!kp::registry::ParseRegistryFile(std::span<const BYTE>(reinterpret_cast<const BYTE*>(text.data()), text.size()),
                                       again, &error))
    std::abort();
  if (kp::registry::FormatRegistryFile(again) != text) std::abort();
  return 0;
}
