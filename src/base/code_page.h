// The program's 8-bit text and Unicode.  Everything the program reads,
// stores, sends to the controllers and writes to its log is 8-bit text in
// Windows-1252, the code page of the Western Windows sites its files come
// from.  A definition file saved as UTF-8 is turned into that code page as
// it is read, and the log is then written back in UTF-8; the window and the
// paper show each byte as the character Windows-1252 gives it.
//
// Thread-compatible: pure functions.

#ifndef HX_BASE_CODE_PAGE_H_
#define HX_BASE_CODE_PAGE_H_

#include <string>
#include <string_view>

namespace hx {

// The Unicode character of one byte of program text.  Bytes that
// Windows-1252 leaves unassigned keep their own code, as they do on Windows.
char32_t UnicodeOfByte(unsigned char byte);

// Whether text is well-formed UTF-8 (no overlong forms, no surrogates,
// nothing beyond U+10FFFF).
bool IsUtf8(std::string_view text);

// How many bytes at the end of text start a UTF-8 sequence that text cuts
// short (0 to 3): what a reader of a file in pieces carries to the next piece.
size_t Utf8CutShort(std::string_view text);

// text as UTF-8.
std::string Utf8FromProgramText(std::string_view text);

// UTF-8 text as program text: each character becomes its Windows-1252 byte,
// and a character the code page does not have, or a malformed sequence,
// becomes "?".
std::string ProgramTextFromUtf8(std::string_view text);

}  // namespace hx

#endif  // HX_BASE_CODE_PAGE_H_
