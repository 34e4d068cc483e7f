#pragma once
// Keeps what a library prints on standard error out of the tool's output
// for as long as the object lives. Picture decoders print diagnostics of
// their own (libpng writes "libpng error: ..." for a damaged PNG straight to
// standard error), where a script expects one line per failure: the tool
// says itself which file it could not read.

class QuietStandardError {
 public:
  QuietStandardError();
  ~QuietStandardError();
  QuietStandardError(const QuietStandardError&) = delete;
  QuietStandardError& operator=(const QuietStandardError&) = delete;

 private:
  int m_saved = -1;  // the real standard error, put back on destruction
};
