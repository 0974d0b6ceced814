#include "report/render_lines.h"

#include <gtest/gtest.h>

#include "output/test_files.h"
#include "testing/fake_platform.h"

namespace hx {
namespace {

using testing::FakeRun;
using testing::ScreenLines;
using Lines = std::vector<std::string>;

// Renders the given template lines as a block and returns what reached the screen.
Lines Render(FakeRun& run, const Lines& templates) {
  run.rs.SHOWIT = true;
  std::vector<std::string> block{""};
  block.insert(block.end(), templates.begin(), templates.end());
  RenderLines(run.rs, block, static_cast<int16_t>(templates.size()));
  return ScreenLines(run.screen.text);
}

TEST(RenderLinesTest, FieldsAreLaidOverTheTemplateByColumn) {
  struct Case {
    std::string line, tag12;
    Lines expected;
  };
  const Case cases[] = {
      {"  lone \\ slash  ", "", {"  lone slash  "}},
      {"  no fields  ", "", {"  no fields  "}},
      {std::string(40000, '-'), "", {std::string(40000, '-')}},
      {"", "", {""}},
      {"Temp: \\12      degC", "123456", {"Temp: 123456   degC"}},
      {"Temp: \\12 degC", "123456", {"Temp: 123456gC"}},
      {"Temp: \\12 degC", "123", {"Temp: 123 degC"}},
      {"Temp: \\12X degC", "123", {"Temp: 123  degC"}},
      {"Level \\12", "7", {"Level 7   "}},
      {"Never \\12 read", "", {"Never     read"}},
      {"a \\ b", "", {"a b"}},
      {"a\\", "", {"a"}},
      {"At \\t on \\d", "", {"At 07:05:0303-09-2026"}},
      {"\\T      |\\D", "", {"07:05:03|03-09-2026"}},
      {"\\DATE \\TX x", "", {"x"}},
      {"\\F", "", {"\f", ""}},
      {"Total \\f sum \\T", "", {"\f", "Total sum    07:05:03"}},
      {"\\F\xE9 x", "", {"x"}},
      {"\\F\tx", "", {"\f", "x"}},
  };
  for (const Case& c : cases) {
    FakeRun run;
    run.rs.TagTable[12].TagText = c.tag12;
    EXPECT_EQ(Render(run, {c.line}), c.expected) << c.line.substr(0, 40);
    EXPECT_TRUE(run.dialog.messages.empty()) << c.line.substr(0, 40);
  }
}

TEST(RenderLinesTest, DateAndTimeFollowTheirPatternsAndTheClock) {
  FakeRun run;
  run.rs.DATEFORMAT = "yyyy/mm/dd";
  run.rs.TIMEFORMAT = "hh.nn";
  Render(run, {"\\D"});
  run.clock.now.minute = 59;
  EXPECT_EQ(Render(run, {"\\T"}), (Lines{"2026/03/09", "07.59"}));
}

TEST(RenderLinesTest, AnErrorAbandonsTheRestOfTheBlock) {
  struct Case {
    std::string bad_line, message;
  };
  const Case cases[] = {
      {"x \\401 y", "Error: 9  \r\nSubscript out of range in: SendRecv"},
      {"x \\40000 y", "Error: 6  \r\nOverflow in: SendRecv"},
      {"\\F " + std::string(40000, 'x'), "Error: 6  \r\nOverflow in: SendRecv"},
  };
  for (const Case& c : cases) {
    FakeRun run;
    EXPECT_EQ(Render(run, {"before", c.bad_line, "after"}), Lines{"before"});
    ASSERT_EQ(run.dialog.messages.size(), 1u);
    EXPECT_EQ(run.dialog.messages[0].text, c.message);
  }
}

}  // namespace
}  // namespace hx
