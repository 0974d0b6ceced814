// Text field helpers used while the definition file is read: the tokenizer
// GetNextParam, which remembers where it stopped in the line it saw last,
// StripLead and StripTrail, IsNum, and the rule that turns a numeric field
// into a number.
//
// A blank is any character with code 32 or less; a delimiter is a blank or a
// comma.  GetNextParam keeps its memory in the report state and traps its own
// failures; the other helpers need nothing but their text and cannot fail.

#ifndef HX_DEFINITION_TEXT_FIELDS_H_
#define HX_DEFINITION_TEXT_FIELDS_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "base/report_state.h"

namespace hx {

// A blank: any character with code 32 or less.  Bytes above 127 are letters
// of the code page, hence the unsigned comparison.
inline bool IsBlank(char c) {
  return static_cast<unsigned char>(c) <= 32;
}

// Next field of text, or "" when none is left.  Calling again with an equal
// text continues where the previous call stopped; another text starts over.
// Reported under label::kGetNextParam: a text longer than 32767 characters, which
// gives "".
std::string GetNextParam(ReportState& rs, const std::string& text);
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

#endif  // HX_DEFINITION_TEXT_FIELDS_H_
