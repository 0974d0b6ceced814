#include "base/text.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "base/run_error.h"

namespace hx {
namespace {

TEST(StripTest, RemovesBlanksAtOneEndInPlace) {
  struct Case {
    std::string text, lead, trail;
  };
  const Case cases[] = {
      {" \tx y ", "x y ", " \tx y"},
      {",a,", ",a,", ",a,"},  // a comma is not a blank
      {" \t\r\n\x01", "", ""},
  };
  for (const Case& c : cases) {
    std::string lead = c.text;
    std::string trail = c.text;
    EXPECT_EQ(StripLead(lead), c.lead);
    EXPECT_EQ(lead, c.lead);
    EXPECT_EQ(StripTrail(trail), c.trail);
    EXPECT_EQ(trail, c.trail);
  }
}

TEST(IsNumTest, LooksAtTheFirstCharacterOnly) {
  for (const char* yes : {"7abc", "0.", "9"}) EXPECT_TRUE(IsNum(yes)) << yes;
  for (const char* no : {"-1", " 1", ".5", "", "\xB2", "/", ":"}) EXPECT_FALSE(IsNum(no)) << no;
}

TEST(NumericValueTest, ReadsTheLeadingNumberAndRoundsHalfToEvenInto16Bits) {
  const std::pair<std::string, double> values[] = {
      {"6 6", 66},      {"12abc", 12},
      {"10.5", 10.5},   {"1D2", 100},
      {"1 e - 2", .01}, {"2.5.5", 2.5},
      {"1e+x", 1},      {"3\t.\n25", 3.25},
      {"1e-400", 0},    {"1" + std::string(400, '0') + "e-398", 100},
  };
  for (const auto& [text, value] : values) EXPECT_DOUBLE_EQ(NumericValue(text), value) << text;

  const std::pair<std::string, int> rounded[] = {
      {"12.5", 12}, {"13.5", 14}, {"400.5", 400}, {"0.5", 0}, {"32767.4", 32767}, {"1e2", 100},
  };
  for (const auto& [text, value] : rounded) EXPECT_EQ(NumericValue16(text), value) << text;

  // Too large is an overflow, never a wrapped value.
  for (const std::string& text : {std::string("32768"), std::string("32767.5"), std::string("1e5"),
                                  std::string(300, '9'), std::string("1e99999999999999999999")})
    EXPECT_THROW(NumericValue16(text), RunError) << text;
  EXPECT_THROW(NumericValue("1e400"), RunError);
}

}  // namespace
}  // namespace hx
