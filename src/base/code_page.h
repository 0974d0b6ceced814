// The program's 8-bit text and Unicode.  Everything the program reads,
// stores, sends to the controllers and writes to its log is 8-bit text in
// one single-byte Windows code page, the program's code page: the system's
// ANSI code page on Windows, and on other systems the one Windows would
// choose for the user's locale.  The report's columns count bytes as
// characters, so the program never holds text in a code page of more than
// one byte a character.  A definition file saved as UTF-8 is turned into the
// program's code page as it is read, and the log is then written back in
// UTF-8; the window and the paper show each byte as the character the code
// page gives it.
//
// Thread-compatible: the code pages are constant tables, the rest pure functions.

#ifndef HX_BASE_CODE_PAGE_H_
#define HX_BASE_CODE_PAGE_H_

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hx {

// A single-byte Windows code page: bytes below 0x80 are ASCII, each byte
// from 0x80 up stands for one character.  A byte the code page leaves
// unassigned keeps its own code, as it does on Windows, so that every byte
// survives a round trip through Unicode.
class CodePage {
 public:
  using HighHalf = std::array<char32_t, 128>;
  constexpr CodePage(int number, std::string_view name, const HighHalf& high)
      : number_(number), name_(name), high_(high) {}
  CodePage(const CodePage&) = delete;
  CodePage& operator=(const CodePage&) = delete;

  int number() const { return number_; }
  // "Windows-1251": how messages and HX_CHECK name it.
  std::string_view name() const { return name_; }

  char32_t UnicodeOf(unsigned char byte) const { return byte < 0x80 ? byte : high_[byte - 0x80]; }
  // The byte that stands for c; none when the code page lacks c.
  std::optional<char> ByteOf(char32_t c) const;

 private:
  int number_;
  std::string_view name_;
  const HighHalf& high_;
};

// The code page of Western Windows sites, and the program's when nothing
// says otherwise.
const CodePage& Windows1252();
// The single-byte code page numbered number (874, 1250 to 1258); null for
// any other number, a code page of more than one byte a character included.
const CodePage* SingleByteCodePage(int number);

// The ANSI code page Windows gives a locale, named as Windows names it
// ("pl-PL", "sr-Latn-RS") or as POSIX systems do ("ru_RU.UTF-8",
// "sr_RS@latin"): by its language, and for Serbian, Azeri, Uzbek and
// Chinese by its script or territory too.  May be a code page of more than
// one byte a character (932, 936, 949, 950); 1252 for a language without
// one of its own and for an empty locale, "C" or "POSIX".
int AnsiCodePageOfLocale(std::string_view locale);

// The program's code page, from the system's ANSI code page and the user's
// locale; note says, when not empty, why the program holds its text in
// another code page than the system's (for standard error, once).  A system
// code page of more than one byte a character, or UTF-8, gives way to the
// single-byte code page of the user's language, or Windows-1252 when that
// language has none.  A system code page of 0 (a system without one) is the one
// Windows gives the user's locale.
struct CodePageChoice {
  const CodePage* code_page;
  std::string note;
};
CodePageChoice ChooseCodePage(int system_code_page, std::string_view user_locale);

// How a text file is written: in the program's code page, byte for byte, or
// in one of the Unicode encodings, whose text the program turns into its
// code page.
enum class TextEncoding { kCodePage, kUtf8, kUtf16Le, kUtf16Be };
// "UTF-8", "UTF-16 LE", ...; empty for kCodePage.
std::string_view EncodingName(TextEncoding encoding);

// How much of a text is well-formed UTF-8 (no overlong forms, no
// surrogates, nothing beyond U+10FFFF): its characters of more than one byte,
// and the bytes that start no well-formed sequence, with the column (in
// characters, counting each such byte as one, from 1) of the first of them.
struct Utf8Count {
  size_t sequences = 0;
  size_t invalid = 0;
  size_t first_invalid_column = 0;
};
Utf8Count CountUtf8(std::string_view text);

// c as UTF-8.
std::string Utf8OfCharacter(char32_t c);

// Program text as UTF-8.
std::string Utf8FromProgramText(std::string_view text, const CodePage& code_page);

// A character that did not reach program text: where its "?" stands in the
// result, and the character itself (U+FFFD for a malformed sequence).
struct LostCharacter {
  size_t at;
  char32_t character;
};

// UTF-8 text as program text: each character becomes its byte in the code
// page, and a character the code page lacks, or a malformed sequence,
// becomes "?" and is added to lost when lost is given.
std::string ProgramTextFromUtf8(std::string_view text, const CodePage& code_page,
                                std::vector<LostCharacter>* lost = nullptr);

}  // namespace hx

#endif  // HX_BASE_CODE_PAGE_H_
