#include "output/run_report.h"

#include <gtest/gtest.h>

#include "output/test_files.h"
#include "testing/fake_platform.h"

namespace hx {
namespace {

using testing::FakeRun;
using testing::ReadFile;
using testing::ScratchFolder;
using testing::ScreenLines;

void OneHeaderOneReportLine(ReportState& rs) {
  rs.SHOWIT = true;
  rs.HeaderLines[1] = "H";
  rs.HeaderCount = 1;
  rs.ReportLines[1] = "R";
  rs.ReportCount = 1;
}

TEST(RunReportTest, PageBreakWhenLineCountReachesPageLinesLessFive) {
  const std::vector<std::string> plain{"H", "R"}, broken{"\f", "", "H", "R"};
  struct Case {
    int orientation;
    int16_t landscape, portrait, line_count;
    std::vector<std::string> shown;
    std::string message = {};
  };
  const Case cases[] = {
      {1, 0, 60, 0, plain},  {2, 40, 0, 0, plain},
      {1, 40, 0, 0, broken}, {1, 0, 5, 0, broken},
      {1, 0, 6, 0, plain},   {1, 0, -32763, 0, broken},
      {1, 0, 10, 5, broken}, {1, 0, 10, 4, plain},
      {2, 0, 60, 0, broken}, {1, 0, -32764, 0, {}, "Error: 6  \r\nOverflow in: Do This"},
  };
  for (const Case& c : cases) {
    FakeRun run;
    OneHeaderOneReportLine(run.rs);
    run.printer.orientation = c.orientation;
    run.rs.LandScapeLines = c.landscape;
    run.rs.PortraitLines = c.portrait;
    run.rs.LineCount = c.line_count;
    RunReport(run.rs);
    EXPECT_EQ(ScreenLines(run.screen.text), c.shown) << c.portrait << " " << c.line_count;
    std::vector<std::string> messages;
    for (const auto& m : run.dialog.messages) messages.push_back(m.text);
    EXPECT_EQ(messages,
              c.message.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.message});
  }
}

TEST(RunReportTest, UnreadableOrientationStillGivesTheWholeReport) {
  ScratchFolder dir;
  FakeRun run;
  OneHeaderOneReportLine(run.rs);
  run.rs.PortraitLines = 60;
  run.rs.LOGIT = run.rs.PRINTIT = true;
  run.rs.LOGFILEPATH = dir.path();
  run.rs.LOGFILENAME = "A.LOG";
  run.printer.fail_orientation = run.printer.fail_name = true;
  RunReport(run.rs);
  EXPECT_EQ(run.rs.PageLines, 60);
  EXPECT_EQ(ScreenLines(run.screen.text), (std::vector<std::string>{"H", "R"}));
  EXPECT_EQ(ReadFile(dir.path() + kPathSeparator + "A.LOG"), "H\r\nR\r\n");
  ASSERT_EQ(run.dialog.messages.size(), 1u);
  EXPECT_EQ(run.dialog.messages[0].text,
            "Error: 482  Could not print to: \r\nPrinter error in: LinePrint");
}

TEST(RunReportTest, HeaderFailureLeavesTheReportBlockAndLatchesAreReArmed) {
  FakeRun run;
  OneHeaderOneReportLine(run.rs);
  run.rs.PortraitLines = 60;
  run.rs.HeaderCount = 11;  // beyond the header block's slots
  run.rs.PRINTIT = true;
  run.rs.PrinterFailed = run.rs.LogFailed = true;
  RunReport(run.rs);
  EXPECT_EQ(ScreenLines(run.screen.text).back(), "R");
  EXPECT_EQ(run.printer.output.back(), "      R");
  ASSERT_EQ(run.dialog.messages.size(), 1u);
  EXPECT_EQ(run.dialog.messages[0].text, "Error: 9  \r\nSubscript out of range in: SendRecv");
}

TEST(RunReportTest, LargeTemplateWithPageBreakOnEveryLineLosesNothing) {
  ScratchFolder dir;
  FakeRun run;
  ReportState& rs = run.rs;
  rs.LOGIT = rs.SHOWIT = rs.PRINTIT = true;
  rs.PortraitLines = 60;
  rs.LOGFILEPATH = dir.path();
  rs.LOGFILENAME = "A.LOG";
  const std::string body(5000, 'x');
  for (int k = 1; k <= 400; ++k) rs.ReportLines[k] = "\\F " + body;
  rs.ReportCount = 400;
  // Two passes: the second appends to what the first wrote, and opens with a
  // page break since the first filled the page.
  RunReport(rs);
  RunReport(rs);
  EXPECT_TRUE(run.dialog.messages.empty());
  EXPECT_EQ(rs.LineCount, 801);
  EXPECT_EQ(run.printer.output.size(), 1602u);
  std::string pass;
  // The literal text after the page-break field moves left into its place.
  for (int k = 1; k <= 400; ++k) pass += "\f\r\n" + body + "\r\n";
  EXPECT_TRUE(ReadFile(dir.path() + kPathSeparator + "A.LOG") == pass + "\f\r\n\r\n" + pass);
}

}  // namespace
}  // namespace hx
