// Display texts of tag values: the justification rules, the number masks and
// the per-kind rules that turn one converted reply into the TagText the
// template shows.  Process_List does the querying; everything here depends on
// its arguments alone, so the formatting can be checked value by value.
//
// Widths are 16-bit like every width of the program: a width sum that leaves
// the 16-bit range raises RunError 6, a negative field width RunError 5.  The
// caller's trap reports them.  Thread-compatible: no shared state.

#ifndef HX_REPORT_TAG_FORMAT_H_
#define HX_REPORT_TAG_FORMAT_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "run/report_state.h"

namespace hx {

// TagText of an integer tag whose reply converted to value.
std::string IntegerText(const Tag& tag, int32_t value);
// TagText of a floating-point tag whose reply converted to value.  A value
// the field cannot show (too wide, infinite, not a number) fills the field
// with "*", as an integer does, rather than showing a cut and wrong number;
// without decimals the separator the mask leaves is dropped, never a digit.
std::string FloatText(const Tag& tag, float value);
// TagText of a string tag whose reply was reply, cut or padded to its width
// and then stripped of blanks at both ends.
std::string StringText(const Tag& tag, std::string_view reply);
// TagText of a tag whose query failed: "?" characters as wide as its value
// display, with "TAG" over the second to fourth when marked.  The mark is for
// a tag the controller could not answer; an unmarked fill means the
// controller itself could not be reached.
std::string FailureFill(const Tag& tag, bool marked);

}  // namespace hx

#endif  // HX_REPORT_TAG_FORMAT_H_
