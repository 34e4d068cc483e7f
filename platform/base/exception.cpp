#include "platform/base/exception.h"

#include <cstring>

CException::~CException() = default;

BOOL CException::GetErrorMessage(LPTSTR buffer, UINT maxChars, UINT* helpContext) const {
  if (helpContext != nullptr) *helpContext = 0;
  CString message = ErrorMessage();
  if (buffer == nullptr || maxChars == 0) return FALSE;
  std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(message.GetLength()), maxChars - 1);
  std::memcpy(buffer, message.GetString(), n);
  buffer[n] = '\0';
  return message.IsEmpty() ? FALSE : TRUE;
}

const char* CException::what() const noexcept {
  try {
    m_what = ErrorMessage().str();
  } catch (...) {
    return "exception";
  }
  return m_what.c_str();
}
