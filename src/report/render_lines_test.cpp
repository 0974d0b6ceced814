#include "report/render_lines.h"

#include <gtest/gtest.h>

#include "testing/fake_platform.h"

namespace hx {
namespace {

using testing::FakeRun;

// Renders the template lines as one block and returns what reached txtShow.
std::string Render(FakeRun& run, std::vector<std::string> block) {
  run.rs.SHOWIT = true;
  block.insert(block.begin(), "");  // slot 0 is unused
  RenderLines(run.rs, block, static_cast<int16_t>(block.size() - 1));
  return run.screen.text;
}

TEST(RenderLinesTest, FieldsAreLaidOverTheTemplateByColumn) {
  struct Case {
    std::string line, tag12, shown;
  };
  const Case cases[] = {
      {"  no fields  ", "", "  no fields  \r\n"},
      {"", "", "\r\n"},
      // Only a line with fields has 16-bit columns.
      {std::string(40000, '-'), "", std::string(40000, '-') + "\r\n"},
      {"Temp: \\12      degC", "123456", "Temp: 123456   degC\r\n"},
      {"Temp: \\12 degC", "123456", "Temp: 123456gC\r\n"},
      {"Temp: \\12 degC", "123", "Temp: 123 degC\r\n"},
      {"Temp: \\12X degC", "123", "Temp: 123  degC\r\n"},
      {"Never \\12 read", "", "Never     read\r\n"},
      {"Level \\12", "7", "Level 7   \r\n"},
      {"a \\ b", "", "a b\r\n"},
      {"At \\t on \\D", "", "At 07:05:0303-09-2026\r\n"},
      {"\\DATE \\TX x", "", "x\r\n"},
      {"\\F", "", "\f\r\n\r\n"},
      {"Total \\f sum \\T", "", "\f\r\nTotal sum    07:05:03\r\n"},
      // A tab is a blank; a byte above 127 is not.
      {"\\F\tx \\F\xE9 y", "", "\f\r\nx y\r\n"},
  };
  for (const Case& c : cases) {
    FakeRun run;
    run.rs.TagTable[12].TagText = c.tag12;
    EXPECT_EQ(Render(run, {c.line}), c.shown) << c.line.substr(0, 40);
    EXPECT_TRUE(run.dialog.messages.empty()) << c.line.substr(0, 40);
  }
}

TEST(RenderLinesTest, DateAndTimeFollowTheirPatternsAndTheClock) {
  FakeRun run;
  run.rs.DATEFORMAT = "yyyy/mm/dd";
  run.rs.TIMEFORMAT = "hh.nn";
  Render(run, {"\\D"});
  run.clock.now.minute = 59;
  EXPECT_EQ(Render(run, {"\\T"}), "2026/03/09\r\n07.59\r\n");
}

TEST(RenderLinesTest, AnErrorAbandonsTheRestOfTheBlock) {
  const std::pair<std::string, std::string> cases[] = {
      {"x \\401 y", "Error: 9  \r\nSubscript out of range in: SendRecv"},
      {"x \\40000 y", "Error: 6  \r\nOverflow in: SendRecv"},
      {"\\F " + std::string(40000, 'x'), "Error: 6  \r\nOverflow in: SendRecv"},
  };
  for (const auto& [bad_line, message] : cases) {
    FakeRun run;
    EXPECT_EQ(Render(run, {"before", bad_line, "after"}), "before\r\n");
    ASSERT_EQ(run.dialog.messages.size(), 1u);
    EXPECT_EQ(run.dialog.messages[0].text, message);
  }
}

}  // namespace
}  // namespace hx
