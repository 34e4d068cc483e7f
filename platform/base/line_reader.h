#pragma once
// Reading a text format of ours line by line (the registry file, type
// libraries): lines end with a line feed, a carriage return before it is
// dropped, and a parser reports the first fault it finds with the number of
// the line it was reading. Quoted strings are the formats' one kind of
// string: in double quotes, with the escapes \\ \" \n \r \t and \xHH, and no
// raw control character.

#include <string>
#include <string_view>

namespace kp::base {

class LineReader {
 public:
  // Reads `text`, which must outlive the reader; faults go to *error when
  // it is given.
  LineReader(std::string_view text, std::string* error) : m_text(text), m_error(error) {}

  // The next line without its line end; false when the text is used up.
  bool NextLine(std::string_view& line);
  // Whether the last line ended the text without a line feed, as the last
  // line of a file cut short does.
  bool LastLineCutShort() const { return m_cutShort; }
  bool AtEnd() const { return m_pos >= m_text.size(); }

  // Describes the fault as "line N: what" and returns false, for
  // `return Fail(...)` in a parser.
  bool Fail(std::string_view what);

  // Reads the quoted string at the start of `rest` into `out`, and moves
  // `rest` past its closing quote.
  bool ReadQuoted(std::string_view& rest, std::string& out);

 private:
  std::string_view m_text;
  std::string* m_error;
  std::size_t m_pos = 0;
  int m_line = 0;
  bool m_cutShort = false;
};

}  // namespace kp::base
