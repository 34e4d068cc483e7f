#include "platform/base/exception.h"

CException::~CException() = default;

const char* CException::what() const noexcept {
  try {
    m_what = ErrorMessage().str();
  } catch (...) {
    return "exception";
  }
  return m_what.c_str();
}
