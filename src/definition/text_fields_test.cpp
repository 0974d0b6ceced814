#include "definition/text_fields.h"

#include <gtest/gtest.h>

#include <vector>

#include "testing/fake_platform.h"

namespace hx {
namespace {

// Calls GetNextParam with the same line until it gives "", and once more.
std::vector<std::string> Tokens(ReportState& rs, const std::string& line) {
  std::vector<std::string> tokens;
  for (std::string t; !(t = GetNextParam(rs, line)).empty();) tokens.push_back(t);
  EXPECT_EQ(GetNextParam(rs, line), "") << "a used-up line must stay used up";
  return tokens;
}

TEST(GetNextParamTest, SplitsAtAnyRunOfBlanksAndCommas) {
  const std::pair<std::string, std::vector<std::string>> cases[] = {
      {" 12, 3 ,iv  NAME", {"12", "3", "iv", "NAME"}},
      {"a,,,b", {"a", "b"}},
      {" ,\t, ", {}},
      {"x\ty\x01z\nw", {"x", "y", "z", "w"}},
      {"\xE9t\xE9 \xA0x", {"\xE9t\xE9", "\xA0x"}},  // codes above 127 are letters
  };
  for (const auto& [line, tokens] : cases) {
    testing::FakeRun run;
    EXPECT_EQ(Tokens(run.rs, line), tokens) << line;
    EXPECT_TRUE(run.dialog.messages.empty());
  }
}

TEST(GetNextParamTest, ContinuesOnAnEqualTextAndStartsOverOnAnother) {
  testing::FakeRun run;
  const std::string a = "1 2 3";
  EXPECT_EQ(GetNextParam(run.rs, a), "1");
  EXPECT_EQ(GetNextParam(run.rs, std::string(a)), "2");  // an identical copy continues
  EXPECT_EQ(GetNextParam(run.rs, "x y"), "x");
  EXPECT_EQ(Tokens(run.rs, a), (std::vector<std::string>{"1", "2", "3"}));  // starts over
}

TEST(GetNextParamTest, TextBeyond16BitsIsAnOverflowReportedUnderItsLabel) {
  testing::FakeRun run;
  // The longest text it can take still yields its last field.
  const std::string longest = "1 " + std::string(32765, 'x');
  EXPECT_EQ(GetNextParam(run.rs, longest), "1");
  EXPECT_EQ(GetNextParam(run.rs, longest), std::string(32765, 'x'));
  EXPECT_TRUE(run.dialog.messages.empty());
  EXPECT_EQ(GetNextParam(run.rs, "1 " + std::string(32766, 'x')), "");
  ASSERT_EQ(run.dialog.messages.size(), 1u);
  EXPECT_EQ(run.dialog.messages[0].text, "Error: 6  \r\nOverflow in: GetNextParam$");
  EXPECT_EQ(GetNextParam(run.rs, "ok"), "ok");  // still usable afterwards
}

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
