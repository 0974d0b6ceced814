#include "report/date_time_format.h"

#include <gtest/gtest.h>

namespace hx {
namespace {

TEST(FormatDateTimeTest, Placeholders) {
  const LocalTime monday{2026, 3, 9, 7, 5, 3};
  const LocalTime late{1999, 12, 31, 23, 59, 58};
  struct Case {
    std::string pattern;
    LocalTime t;
    std::string expected;
  };
  const Case cases[] = {
      {"HH:MM:SS", late, "23:59:58"},
      {"d/m/yy h:n:s", monday, "9/3/26 7:5:3"},
      // Only m right after an hour placeholder is minutes.
      {"hh mm mm", monday, "07 05 03"},
      {"ddd dd mmm yyyy", monday, "Mon 09 Mar 2026"},
      {"dddd, mmmm d", late, "Friday, December 31"},
      {"y", monday, "68"},
      {"at [T] #%", monday, "at [T] #%"},
      // Morning and afternoon markers, in the pattern's own case, on the 12-hour clock.
      {"hh:mm AM/PM", late, "11:59 PM"},
      {"h:nn am/pm", monday, "7:05 am"},
      {"hh:nn a/p", LocalTime{2026, 1, 1, 0, 30, 0}, "12:30 a"},
      {"hh:nn A/P", LocalTime{2026, 1, 1, 12, 0, 0}, "12:00 P"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatDateTime(c.pattern, c.t), c.expected) << c.pattern;
}

}  // namespace
}  // namespace hx
