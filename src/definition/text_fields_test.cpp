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

}  // namespace
}  // namespace hx
