// The phrases HX_CHECK's findings and its summary share: how they name a
// section, a line, a setting, a count of lines, and a failure as HX_RPT
// reports it.
//
// Thread-compatible: pure functions.

#ifndef HX_CHECK_FINDING_TEXT_H_
#define HX_CHECK_FINDING_TEXT_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "definition/definition_observer.h"
#include "definition/setup_keys.h"

namespace hx {

// text without the blanks at either end.
std::string Trimmed(std::string text);
// "[SETUP]"
std::string Bracketed(Section s);
// "line 12"
std::string AtLine(int line);
// "3 lines are", "1 line is": n with the word that agrees with it.
std::string Lines(int n, std::string_view one, std::string_view many);
// "PRINTIT=TRUE"
std::string Assignment(SetupKey key, std::string_view value);
// A font size as HX_RPT takes it: 12, 10.5.
std::string FontSizeText(double points);
// "U+0141": a character as Unicode names it.
std::string CodePoint(char32_t c);
// "error 6, Overflow, in \"FormLoad\"": a failure as HX_RPT reports it.
std::string ErrorIn(int32_t error, std::string_view label);
// The end of a finding about a failure that stops HX_RPT's reading.
std::string StopsReading(int32_t error);

}  // namespace hx

#endif  // HX_CHECK_FINDING_TEXT_H_
