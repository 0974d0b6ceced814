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
  struct Case {
    std::string line;
    std::vector<std::string> tokens;
  };
  const Case cases[] = {
      {" 12, 3 ,iv  NAME", {"12", "3", "iv", "NAME"}},
      {"a,,,b", {"a", "b"}},
      {" ,\t, ", {}},
      {"x\ty\x01z\nw", {"x", "y", "z", "w"}},
      {"\xE9t\xE9 \xA0x", {"\xE9t\xE9", "\xA0x"}},  // codes above 127 are letters
  };
  for (const Case& c : cases) {
    testing::FakeRun run;
    EXPECT_EQ(Tokens(run.rs, c.line), c.tokens) << c.line;
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
  EXPECT_EQ(GetNextParam(run.rs, "1 " + std::string(32767, 'x')), "");
  ASSERT_EQ(run.dialog.messages.size(), 1u);
  EXPECT_EQ(run.dialog.messages[0].text, "Error: 6  \r\nOverflow in: GetNextParam$");
  // The tokenizer is still usable afterwards.
  EXPECT_EQ(GetNextParam(run.rs, "ok"), "ok");
}

TEST(StripTest, RemovesBlanksAtOneEndInPlace) {
  struct Case {
    std::string text, lead, trail;
  };
  const Case cases[] = {
      {" \tx y ", "x y ", " \tx y"},
      {",a,", ",a,", ",a,"},  // a comma is not a blank
      {" \t\r\n\x01", "", ""},
      {"\xA0x\xA0", "\xA0x\xA0", "\xA0x\xA0"},
  };
  for (const Case& c : cases) {
    testing::FakeRun run;
    std::string lead = c.text;
    std::string trail = c.text;
    EXPECT_EQ(StripLead(run.rs, lead), c.lead);
    EXPECT_EQ(lead, c.lead);
    EXPECT_EQ(StripTrail(run.rs, trail), c.trail);
    EXPECT_EQ(trail, c.trail);
  }
}

TEST(IsNumTest, LooksAtTheFirstCharacterOnly) {
  testing::FakeRun run;
  for (const char* yes : {"7abc", "0.", "9"}) EXPECT_TRUE(IsNum(run.rs, yes)) << yes;
  for (const char* no : {"-1", " 1", ".5", "", "\xB2", "/", ":"})
    EXPECT_FALSE(IsNum(run.rs, no)) << no;
}

TEST(NumericValueTest, ReadsTheLeadingDecimalNumber) {
  const std::pair<std::string, double> cases[] = {
      {"6 6", 66},
      {"12abc", 12},
      {"10.5", 10.5},
      {"1D2", 100},
      {"1 e - 2", 0.01},
      {"2.5.5", 2.5},
      {"1e+x", 1},
      {"12,3", 12},
      {"3\t.\n25", 3.25},
      {"1e-400", 0},
      {"1" + std::string(400, '0') + "e-398", 100},
  };
  for (const auto& [text, value] : cases) EXPECT_DOUBLE_EQ(NumericValue(text), value) << text;
}

TEST(NumericValueTest, RoundsHalfToEvenInto16Bits) {
  const std::pair<std::string, int> cases[] = {
      {"12.5", 12}, {"13.5", 14}, {"400.5", 400}, {"0.5", 0}, {"32767.4", 32767}, {"1e2", 100},
  };
  for (const auto& [text, value] : cases) EXPECT_EQ(NumericValue16(text), value) << text;
}

TEST(NumericValueTest, TooLargeIsAnOverflowNeverAWrappedValue) {
  const std::string cases[] = {
      "32768", "32767.5", "1e5", std::string(300, '9'), "1e99999999999999999999999",
  };
  for (const std::string& text : cases) EXPECT_THROW(NumericValue16(text), RunError) << text;
  // Beyond any double as well, so even the unrounded value is an overflow.
  EXPECT_THROW(NumericValue("1e400"), RunError);
}

}  // namespace
}  // namespace hx
