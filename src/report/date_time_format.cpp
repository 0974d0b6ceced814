#include "report/date_time_format.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstddef>
#include <string>

#include "base/text.h"

namespace hx {

namespace {

constexpr std::array<std::string_view, 12> kMonthNames = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};
constexpr std::array<std::string_view, 7> kDayNames = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                       "Thursday", "Friday", "Saturday"};

std::string Number(int value, size_t width) {
  std::string digits = std::to_string(value);
  if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
  return digits;
}

std::chrono::sys_days Days(const LocalTime& t) {
  using namespace std::chrono;
  return year_month_day(year(t.year), month(static_cast<unsigned>(t.month)),
                        day(static_cast<unsigned>(t.day)));
}

std::string_view MonthName(int month) {
  return (month >= 1 && month <= 12) ? kMonthNames[static_cast<size_t>(month - 1)]
                                     : std::string_view();
}

std::string_view DayName(const LocalTime& t) {
  return kDayNames[std::chrono::weekday(Days(t)).c_encoding()];
}

int DayOfYear(const LocalTime& t) {
  using namespace std::chrono;
  return static_cast<int>((Days(t) - sys_days(year(t.year) / January / 1)).count()) + 1;
}

// Length of the placeholder that a run of `run` letters `letter` starts with.
size_t PlaceholderLength(char letter, size_t run) {
  switch (letter) {
    case 'D':
    case 'M':
      return std::min<size_t>(run, 4);
    case 'Y':
      return run >= 4 ? 4 : run >= 2 ? 2 : 1;
    case 'H':
    case 'N':
    case 'S':
      return std::min<size_t>(run, 2);
    default:
      return 0;
  }
}

// The morning/afternoon markers, written in the pattern in the case the
// report wants them.
constexpr std::string_view kAmPm = "AM/PM";
constexpr std::string_view kAP = "A/P";

}  // namespace

std::string FormatDateTime(std::string_view pattern, const LocalTime& t) {
  // Placeholders and markers are matched in any case; what is copied comes
  // from the pattern as written.
  const std::string folded = UpperCase(pattern);
  // A marker anywhere in the pattern puts its hours on the 12-hour clock.
  const bool twelve_hour =
      folded.find(kAmPm) != std::string::npos || folded.find(kAP) != std::string::npos;
  const bool afternoon = t.hour >= 12;

  std::string out;
  bool after_hour = false;
  size_t i = 0;
  while (i < pattern.size()) {
    if (folded.compare(i, kAmPm.size(), kAmPm) == 0) {
      out += pattern.substr(afternoon ? i + 3 : i, 2);
      i += kAmPm.size();
      after_hour = false;
      continue;
    }
    if (folded.compare(i, kAP.size(), kAP) == 0) {
      out += pattern[afternoon ? i + 2 : i];
      i += kAP.size();
      after_hour = false;
      continue;
    }
    const char letter = folded[i];
    size_t run = 1;
    while (i + run < folded.size() && folded[i + run] == letter) ++run;
    const size_t length = PlaceholderLength(letter, run);
    if (length == 0) {
      out += pattern[i];
      ++i;
      continue;
    }
    i += length;

    switch (letter) {
      case 'D':
        if (length <= 2)
          out += Number(t.day, length);
        else
          out += length == 3 ? DayName(t).substr(0, 3) : DayName(t);
        break;
      case 'M':
        if (length <= 2 && after_hour)
          out += Number(t.minute, length);
        else if (length <= 2)
          out += Number(t.month, length);
        else
          out += length == 3 ? MonthName(t.month).substr(0, 3) : MonthName(t.month);
        break;
      case 'Y':
        if (length == 1)
          out += std::to_string(DayOfYear(t));
        else if (length == 2)
          out += Number(((t.year % 100) + 100) % 100, 2);
        else
          out += Number(t.year, 4);
        break;
      case 'H':
        out += Number(twelve_hour ? (t.hour + 11) % 12 + 1 : t.hour, length);
        break;
      case 'N':
        out += Number(t.minute, length);
        break;
      case 'S':
        out += Number(t.second, length);
        break;
    }
    after_hour = letter == 'H';
  }
  return out;
}

}  // namespace hx
