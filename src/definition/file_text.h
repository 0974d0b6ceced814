// The definition file's text as sites save it: in the program's code page,
// in UTF-8 (with or without the byte order mark), or in UTF-16 with its
// byte order mark (what editors offer as "Unicode").  Whatever the
// encoding, the reader gets the same lines in the program's code page, and
// learns which characters that code page lacks.
//
// Thread-compatible.

#ifndef HX_DEFINITION_FILE_TEXT_H_
#define HX_DEFINITION_FILE_TEXT_H_

#include <cstddef>
#include <istream>
#include <optional>
#include <string>
#include <vector>

#include "base/code_page.h"
#include "definition/definition_observer.h"

namespace hx {

// What a look at the whole file finds before a line of it is read.
struct FileText {
  TextEncoding encoding = TextEncoding::kCodePage;
  size_t mark_size = 0;  // bytes of the byte order mark in front
  // The first NUL character: no text file holds one, so a file that does
  // is something else (a file in UTF-16 without its mark, a binary file),
  // and is not read at all.
  TextPlace nul;
  // Other control characters than a tab and a form feed, which text files
  // hold: how many, and the first.
  size_t controls = 0;
  TextPlace first_control;
  char first_control_character = 0;
  // Of a file without a mark: its characters of more than one byte that are
  // well-formed UTF-8, and the bytes that are not, the first of them at
  // first_not_utf8.
  size_t utf8_sequences = 0;
  size_t not_utf8 = 0;
  TextPlace first_not_utf8;

  // Mostly UTF-8, but with a few bytes that are not: read byte for byte.
  bool AlmostUtf8() const {
    return encoding == TextEncoding::kCodePage && not_utf8 > 0 && utf8_sequences > not_utf8;
  }
};

// Reads all of in to find how its text is written, and leaves it at its start.
// A file that starts with a byte order mark is in that encoding; one that is
// UTF-8 throughout and holds a character beyond ASCII is UTF-8 (a file in an
// 8-bit code page almost never is); any other is in the program's code page.
FileText LookAtText(std::istream& in);

// The lines of a file, in the program's code page.  CR LF, a CR alone and
// an LF alone each end one line, so a file saved by any editor reads the
// same; the line end is not part of the line.  A last line without a line
// end is still a line.
class LineSource {
 public:
  // in positioned after the byte order mark; page: the program's code page.
  LineSource(std::istream& in, TextEncoding encoding, const CodePage& page);

  // The next line into line; false at the end of the file.
  bool Next(std::string& line);
  // How the line Next gave last ended.
  LineEnd end() const { return end_; }
  // The characters of that line the code page lacks.
  const std::vector<LostCharacter>& lost() const { return lost_; }

  // The next line as written, before it is turned into the code page: the
  // file's bytes, or for a file in UTF-16 its UTF-8.
  bool NextAsWritten(std::string& line);

 private:
  // The next character (a byte, or a UTF-16 code unit); none at the end.
  std::optional<char32_t> NextUnit();
  std::optional<char32_t> NextCharacter();

  std::streambuf& in_;
  TextEncoding encoding_;
  const CodePage& page_;
  // Read ahead and put back: a character after a CR, a code unit after the
  // first half of a UTF-16 pair.
  std::optional<char32_t> pending_;
  std::optional<char32_t> pending_unit_;
  std::vector<LostCharacter> lost_;
  LineEnd end_ = LineEnd::kNone;
};

}  // namespace hx

#endif  // HX_DEFINITION_FILE_TEXT_H_
