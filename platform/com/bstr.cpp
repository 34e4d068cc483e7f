#include "platform/com/bstr.h"

#include <cstdlib>
#include <cstring>
#include <limits>

namespace {
// Layout of one allocation: a 32-bit byte count, the characters, a NUL.
constexpr std::size_t kPrefix = sizeof(std::uint32_t);

BSTR Allocate(const char* source, UINT length) {
  if (length > std::numeric_limits<std::uint32_t>::max() - kPrefix - 1) return nullptr;
  auto* block = static_cast<char*>(std::malloc(kPrefix + length + 1));
  if (block == nullptr) return nullptr;
  std::uint32_t count = length;
  std::memcpy(block, &count, kPrefix);
  char* text = block + kPrefix;
  if (source != nullptr)
    std::memcpy(text, source, length);
  else
    std::memset(text, 0, length);
  text[length] = '\0';
  return text;
}
}  // namespace

BSTR SysAllocString(const OLECHAR* psz) {
  if (psz == nullptr) return nullptr;
  std::size_t length = std::strlen(psz);
  if (length > std::numeric_limits<UINT>::max()) return nullptr;
  return Allocate(psz, static_cast<UINT>(length));
}

BSTR SysAllocStringLen(const OLECHAR* pch, UINT ui) { return Allocate(pch, ui); }

void SysFreeString(BSTR bstrString) {
  if (bstrString != nullptr) std::free(bstrString - kPrefix);
}

UINT SysStringLen(BSTR bstr) {
  if (bstr == nullptr) return 0;
  std::uint32_t count;
  std::memcpy(&count, bstr - kPrefix, kPrefix);
  return count;
}

void* CoTaskMemAlloc(std::size_t cb) { return std::malloc(cb == 0 ? 1 : cb); }

void CoTaskMemFree(void* pv) { std::free(pv); }
