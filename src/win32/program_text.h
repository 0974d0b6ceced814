// Program text through the Win32 API: the wide-character calls take it,
// converted from the program's code page (base/code_page.h), so that window,
// dialog and paper show it the same whatever code page the system has.

#ifndef HX_WIN32_PROGRAM_TEXT_H_
#define HX_WIN32_PROGRAM_TEXT_H_

#include <string>
#include <string_view>

#include "base/code_page.h"

namespace hx {

// Every character of the single-byte code pages lies in Unicode's first
// plane, so each byte is one wchar_t.
inline std::wstring WideFromProgramText(std::string_view text, const CodePage& code_page) {
  std::wstring out;
  out.reserve(text.size());
  for (char byte : text)
    out += static_cast<wchar_t>(code_page.UnicodeOf(static_cast<unsigned char>(byte)));
  return out;
}

// What the system names (a printer) as program text; a character the code
// page lacks becomes "?".
inline std::string ProgramTextFromWide(std::wstring_view text, const CodePage& code_page) {
  std::string out;
  out.reserve(text.size());
  for (wchar_t c : text) out += code_page.ByteOf(static_cast<char32_t>(c)).value_or('?');
  return out;
}

}  // namespace hx

#endif  // HX_WIN32_PROGRAM_TEXT_H_
