#include "platform/base/cstring.h"

#include <cstdio>
#include <vector>

std::string StringPrintfV(const char* format, va_list args) {
  va_list copy;
  va_copy(copy, args);
  int needed = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  if (needed <= 0) return std::string();
  std::vector<char> buffer(static_cast<std::size_t>(needed) + 1);
  std::vsnprintf(buffer.data(), buffer.size(), format, args);
  return std::string(buffer.data(), static_cast<std::size_t>(needed));
}

std::string StringPrintf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string s = StringPrintfV(format, args);
  va_end(args);
  return s;
}

void CString::FormatV(const char* format, va_list args) { m_str = StringPrintfV(format, args); }

void CString::Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  FormatV(format, args);
  va_end(args);
}

namespace {
int ToIndex(std::size_t pos) { return pos == std::string::npos ? -1 : static_cast<int>(pos); }
std::size_t Clamp(const std::string& s, int i) {
  if (i < 0) return 0;
  return std::min(static_cast<std::size_t>(i), s.size());
}
}  // namespace

int CString::Find(char c, int start) const { return ToIndex(m_str.find(c, Clamp(m_str, start))); }
int CString::Find(const char* s, int start) const { return ToIndex(m_str.find(s ? s : "", Clamp(m_str, start))); }
int CString::ReverseFind(char c) const { return ToIndex(m_str.rfind(c)); }
CString CString::Left(int n) const { return CString(m_str.substr(0, Clamp(m_str, n))); }
CString CString::Mid(int first) const { return CString(m_str.substr(Clamp(m_str, first))); }
CString CString::Mid(int first, int n) const {
  std::size_t f = Clamp(m_str, first);
  return CString(m_str.substr(f, n < 0 ? 0 : static_cast<std::size_t>(n)));
}
CString CString::Right(int n) const {
  std::size_t k = Clamp(m_str, n);
  return CString(m_str.substr(m_str.size() - k));
}
