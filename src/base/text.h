// Text as the program reads it from its definition file and its template:
// blanks, fields stripped of them, the numbers people write, and keys
// matched in any letter case.  A blank is any character with code 32 or
// less.
//
// Thread-compatible: pure functions.  Only the number rule fails, on a
// number too large for its value (RunError 6).

#ifndef HX_BASE_TEXT_H_
#define HX_BASE_TEXT_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace hx {

// A blank: any character with code 32 or less.  Bytes above 127 are letters
// of the code page, hence the unsigned comparison.
inline bool IsBlank(char c) {
  return static_cast<unsigned char>(c) <= 32;
}

// Removes leading (trailing) blanks from text in place and returns it.
std::string& StripLead(std::string& text);
std::string& StripTrail(std::string& text);
// Whether text starts with a decimal digit.
bool IsNum(std::string_view text);

// The numeric value of a field that passed IsNum: its leading decimal number
// (digits, optional fraction, optional E/D exponent; blanks inside skipped).
// A value too large for a double raises error 6.
double NumericValue(std::string_view field);
// The same rounded half to even into 16 bits; out of range raises error 6.
int16_t NumericValue16(std::string_view field);

// text with a to z upper-cased, for matching keys, section names and type
// codes, which are all plain ASCII.
std::string UpperCase(std::string_view text);

}  // namespace hx

#endif  // HX_BASE_TEXT_H_
