// Date and time texts for the template's D and T fields, by the patterns
// DATEFORMAT and TIMEFORMAT of the definition file.
//
// Placeholders, matched in either letter case; a run of one letter is taken
// as the longest placeholder it starts with:
//   d  dd  ddd  dddd   day 1-31, 01-31, weekday Mon, Monday
//   m  mm  mmm  mmmm   month 1-12, 01-12, Jan, January
//   y  yy  yyyy        day of the year, two-digit year, four-digit year
//   h  hh              hour 0-23, 00-23; 1-12, 01-12 with a marker
//   n  nn              minute 0-59, 00-59
//   s  ss              second 0-59, 00-59
//   AM/PM  A/P         AM or PM, A or P, in the letter case the pattern writes them
// A marker anywhere in the pattern puts every hour on the 12-hour clock.  m
// and mm that follow an hour placeholder (with only other characters between)
// are minutes, so that "hh:mm" reads hours and minutes.  Every other
// character is copied as it stands.
//
// Thread-compatible: pure functions.

#ifndef HX_REPORT_DATE_TIME_FORMAT_H_
#define HX_REPORT_DATE_TIME_FORMAT_H_

#include <string>
#include <string_view>

#include "platform/platform.h"

namespace hx {

// The forms used when DATEFORMAT or TIMEFORMAT is empty.
inline constexpr std::string_view kDefaultDateFormat = "mm-dd-yyyy";
inline constexpr std::string_view kDefaultTimeFormat = "hh:mm:ss";

std::string FormatDateTime(std::string_view pattern, const LocalTime& t);

}  // namespace hx

#endif  // HX_REPORT_DATE_TIME_FORMAT_H_
