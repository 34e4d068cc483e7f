#pragma once
// CString: the framework's string, here a thin value type over std::string
// holding UTF-8. It converts to LPCTSTR where Windows code expects it.

#include <cstdarg>
#include <string>
#include <string_view>

#include "platform/base/win_types.h"

class CString {
 public:
  CString() = default;
  CString(const char* s) : m_str(s ? s : "") {}
  CString(const char* s, int length) : m_str(s ? std::string(s, static_cast<std::size_t>(length)) : std::string()) {}
  CString(std::string s) : m_str(std::move(s)) {}
  CString(std::string_view s) : m_str(s) {}

  int GetLength() const { return static_cast<int>(m_str.size()); }
  bool IsEmpty() const { return m_str.empty(); }
  void Empty() { m_str.clear(); }
  operator LPCTSTR() const { return m_str.c_str(); }
  const char* GetString() const { return m_str.c_str(); }
  const std::string& str() const { return m_str; }
  char GetAt(int i) const { return m_str.at(static_cast<std::size_t>(i)); }

  // printf-style formatting, as the framework's CString::Format.
  void Format(const char* format, ...) __attribute__((format(printf, 2, 3)));
  void FormatV(const char* format, va_list args);

  CString& operator=(const char* s) {
    m_str = s ? s : "";
    return *this;
  }
  CString& operator+=(const CString& s) {
    m_str += s.m_str;
    return *this;
  }
  CString& operator+=(const char* s) {
    m_str += s ? s : "";
    return *this;
  }
  CString& operator+=(char c) {
    m_str += c;
    return *this;
  }
  friend CString operator+(const CString& a, const CString& b) { return CString(a.m_str + b.m_str); }
  friend CString operator+(const CString& a, const char* b) { return CString(a.m_str + (b ? b : "")); }
  friend CString operator+(const char* a, const CString& b) { return CString((a ? a : "") + b.m_str); }
  friend bool operator==(const CString& a, const CString& b) { return a.m_str == b.m_str; }
  friend bool operator==(const CString& a, const char* b) { return a.m_str == (b ? b : ""); }
  friend bool operator<(const CString& a, const CString& b) { return a.m_str < b.m_str; }

 private:
  std::string m_str;
};

// printf into a std::string; the one formatting routine every layer uses.
std::string StringPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string StringPrintfV(const char* format, va_list args);
