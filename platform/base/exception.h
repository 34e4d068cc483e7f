#pragma once
// CException: the base of the framework's exceptions. They are thrown by
// value and caught by reference; what() and ErrorMessage() give the text the
// framework shows when one escapes a command.

#include <exception>
#include <string>

#include "platform/base/cstring.h"

class CException : public std::exception {
 public:
  ~CException() override;
  // The user-facing message, complete (file names already inserted).
  virtual CString ErrorMessage() const = 0;
  const char* what() const noexcept override;

 private:
  mutable std::string m_what;
};
