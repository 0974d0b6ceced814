#include "app/run_report.h"

#include <gtest/gtest.h>

#include "base/paths.h"
#include "testing/fake_platform.h"
#include "testing/test_files.h"

namespace hx {
namespace {

using namespace testing;

void OneHeaderOneReportLine(ReportState& rs) {
  rs.SHOWIT = true;
  rs.HeaderLines[1] = "H";
  rs.HeaderCount = 1;
  rs.ReportLines[1] = "R";
  rs.ReportCount = 1;
}

TEST(RunReportTest, PageBreakWhenLineCountReachesPageLinesLessFive) {
  const std::string plain = "H\r\nR\r\n", broken = "\f\r\n\r\nH\r\nR\r\n";
  constexpr int kUnreadable = -1;
  struct Case {
    int orientation;
    int16_t landscape, portrait, line_count;
    std::string shown;
    std::vector<std::string> messages = {};
  };
  const Case cases[] = {
      {1, 0, 60, 0, plain},
      {2, 40, 0, 0, plain},
      {1, 40, 0, 0, broken},
      {1, 0, 5, 0, broken},
      {1, 0, 6, 0, plain},
      {1, 0, -32763, 0, broken},
      {1, 0, 10, 5, broken},
      {1, 0, -32764, 0, "", {"Error: 6  \r\nOverflow in: Do This"}},
      // Without a readable orientation the page is taken as portrait.
      {kUnreadable, 60, 0, 0, broken},
  };
  for (const Case& c : cases) {
    FakeRun run;
    OneHeaderOneReportLine(run.rs);
    run.printer.orientation = c.orientation;
    run.printer.fail_orientation = c.orientation == kUnreadable;
    run.rs.LandScapeLines = c.landscape;
    run.rs.PortraitLines = c.portrait;
    run.rs.LineCount = c.line_count;
    RunReport(run.rs);
    EXPECT_EQ(run.screen.text, c.shown) << c.portrait << " " << c.line_count;
    EXPECT_EQ(run.dialog.Texts(), c.messages);
  }
}

TEST(RunReportTest, HeaderFailureLeavesTheReportBlockAndLatchesAreReArmed) {
  FakeRun run;
  OneHeaderOneReportLine(run.rs);
  run.rs.PortraitLines = 60;
  run.rs.HeaderCount = 11;  // beyond the header block's slots
  run.rs.PRINTIT = true;
  run.rs.PrinterFailed = run.rs.LogFailed = true;
  RunReport(run.rs);
  // The ten header slots go out before the eleventh fails.
  EXPECT_EQ(run.screen.text, "H\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\nR\r\n");
  EXPECT_EQ(run.printer.output.back(), "      R");
  EXPECT_EQ(run.dialog.Texts(),
            std::vector<std::string>{"Error: 9  \r\nSubscript out of range in: SendRecv"});
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
  RunReport(rs);
  EXPECT_TRUE(run.dialog.messages.empty());
  EXPECT_EQ(rs.LineCount, 400);
  EXPECT_EQ(run.printer.output.size(), 800u);
  std::string log;
  for (int k = 1; k <= 400; ++k) log += "\f\r\n" + body + "\r\n";
  EXPECT_TRUE(ReadFile(dir.path() + kPathSeparator + "A.LOG") == log);
}

}  // namespace
}  // namespace hx
