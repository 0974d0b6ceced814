// The whole report reaching paper, log file and standard error, with a
// private print server standing in for the system's printer.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <vector>

#include "tests/print_server.h"
#include "tests/program_folder.h"

namespace hx::testing {
namespace {

using Pages = std::vector<std::vector<std::string>>;

// The printed text as pages of non-empty lines, trimmed: what a reader sees.
Pages SplitPages(const std::string& text) {
  Pages pages(1);
  std::string line;
  auto flush = [&] {
    size_t b = line.find_first_not_of(' '), e = line.find_last_not_of(' ');
    if (b != std::string::npos) pages.back().push_back(line.substr(b, e - b + 1));
    line.clear();
  };
  for (char c : text) {
    if (c == '\n') {
      flush();
    } else if (c == '\f') {
      flush();
      pages.emplace_back();
    } else {
      line += c;
    }
  }
  flush();
  while (!pages.empty() && pages.back().empty()) pages.pop_back();
  return pages;
}

size_t Count(const std::string& haystack, const std::string& needle) {
  size_t n = 0;
  for (size_t at = haystack.find(needle); at != std::string::npos;
       at = haystack.find(needle, at + 1))
    ++n;
  return n;
}

const char kTemplate[] =
    "[HEADER_BEGIN]\r\n"
    "HEADER ONE\r\n"
    "[HEADER_END]\r\n"
    "[REPORT]\r\n"
    "alpha line\r\n"
    "beta \\F line\r\n"
    "gamma line\r\n";

const char kExpectedLog[] = "HEADER ONE\r\nalpha line\r\n\f\r\nbeta line\r\ngamma line\r\n";

TEST(ReportOutputTest, PrintsEveryLineWithItsMarginAndPageBreaksAndLogsTheSame) {
  PrintServer server;
  ProgramFolder folder;
  folder.env["CUPS_SERVER"] = server.socket();
  folder.Write("HX_RPT.INI", std::string("[SETUP]\r\nPRINTIT=TRUE\r\nLOGIT=TRUE\r\n"
                                         "LOGFILENAME=R.LOG\r\nPortraitLines=60\r\n") +
                                 kTemplate);
  ProgramRun run = folder.Run();
  ASSERT_FALSE(run.timed_out);
  EXPECT_EQ(run.exit_status, 0) << run.err;
  EXPECT_EQ(folder.Read("R.LOG"), kExpectedLog);
  EXPECT_EQ(SplitPages(server.PrintedText()),
            (Pages{{"HEADER ONE", "alpha line"}, {"beta line", "gamma line"}}));
  // Six spaces of a 12-point monospaced font (7.2 pt each) right of the
  // printable area's edge at 18 pt.
  EXPECT_NEAR(server.FirstWordLeft(), 18 + 6 * 7.2, 3.0);
}

// The page length and the paper follow the orientation the queue prints in,
// whether the server's default or the user's own choice: 3 lines in
// landscape is a full page before anything is printed, 60 in portrait is not.
TEST(ReportOutputTest, PageLengthAndPaperFollowTheQueuesOrientation) {
  const std::string ini = std::string(
                              "[SETUP]\r\nPRINTIT=TRUE\r\nLOGIT=TRUE\r\nLOGFILENAME=R.LOG\r\n"
                              "LandScapeLines=3\r\nPortraitLines=60\r\n") +
                          kTemplate;
  using O = PrintServer::Orientation;
  struct Case {
    const char* name;
    O queue;
    const char* lpoptions;  // the user's own options, if any
    bool landscape;
  } cases[] = {
      {"landscape queue", O::kLandscape, nullptr, true},
      {"portrait queue", O::kPortrait, nullptr, false},
      {"portrait queue, user asks landscape", O::kPortrait, "Dest HXPDF orientation-requested=4\n",
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PrintServer server(c.queue);
    ProgramFolder folder;
    folder.env["CUPS_SERVER"] = server.socket();
    folder.Write("HX_RPT.INI", ini);
    if (c.lpoptions) {
      std::filesystem::create_directories(folder.File("home/.cups"));
      folder.Write("home/.cups/lpoptions", c.lpoptions);
    }
    ProgramRun run = folder.Run();
    EXPECT_EQ(run.exit_status, 0) << run.err;
    EXPECT_EQ(folder.Read("R.LOG"), (c.landscape ? "\f\r\n\r\n" : "") + std::string(kExpectedLog));
    EXPECT_EQ(server.Pages(), c.landscape ? 3 : 2);
    EXPECT_EQ(server.LinesRunAlongTheLongEdge(), c.landscape);
  }
}

// The Qt print device measures the rows (output/print_job_test.cpp has the
// rule): 30 lines of 100 columns at 12 pt take two rows each, with every
// character on paper, and fill two A4 pages, where 30 rows would take one.
TEST(ReportOutputTest, LineWiderThanThePaperGoesOnInTheNextRow) {
  std::string wide;  // each column tells its place: "a123456789b123456789..."
  for (int column = 0; column < 100; ++column)
    wide += column % 10 == 0 ? static_cast<char>('a' + column / 10)
                             : static_cast<char>('0' + column % 10);
  std::string ini = "[SETUP]\r\nPRINTIT=TRUE\r\nPortraitLines=60\r\n[REPORT]\r\n";
  for (int i = 0; i < 30; ++i) ini += wide + "\r\n";
  PrintServer server;
  ProgramFolder folder;
  folder.env["CUPS_SERVER"] = server.socket();
  folder.Write("HX_RPT.INI", ini);
  ProgramRun run = folder.Run();
  ASSERT_FALSE(run.timed_out);
  EXPECT_EQ(run.exit_status, 0) << run.err;

  const std::string text = server.PrintedText();
  std::vector<std::string> rows;
  for (size_t at = 0, end; at < text.size(); at = end + 1) {
    end = std::min(text.find_first_of("\n\f", at), text.size());
    if (text.find_first_not_of(' ', at) < end) rows.push_back(text.substr(at, end - at));
  }
  ASSERT_EQ(rows.size(), 60u) << text;
  const size_t margin = rows[0].find_first_not_of(' ');
  for (size_t i = 0; i < rows.size(); i += 2)
    EXPECT_EQ(rows[i].substr(margin) + rows[i + 1].substr(margin), wide) << i;
  EXPECT_EQ(server.Pages(), 2);
}

// A font so large that the margin and one character do not fit across the
// paper can print nothing: one printer failure, no job, the log still whole.
TEST(ReportOutputTest, FontTooLargeForThePaperIsAPrinterFailure) {
  PrintServer server;
  ProgramFolder folder;
  folder.env["CUPS_SERVER"] = server.socket();
  folder.Write("HX_RPT.INI", std::string("[SETUP]\r\nPRINTIT=TRUE\r\nFONTSIZE=200\r\nLOGIT=TRUE\r\n"
                                         "LOGFILENAME=R.LOG\r\nPortraitLines=60\r\n") +
                                 kTemplate);
  ProgramRun run = folder.Run();
  ASSERT_FALSE(run.timed_out);
  EXPECT_EQ(run.exit_status, 1);
  EXPECT_EQ(folder.Read("R.LOG"), kExpectedLog);
  EXPECT_EQ(server.PrintedText(), "");
  EXPECT_EQ(Count(run.err, "HX_RPT Error Handler: "), 1u) << run.err;
  EXPECT_NE(run.err.find("  Could not print to: HXPDF\n"), std::string::npos) << run.err;
}

TEST(ReportOutputTest, LogKeepsWhatItHeldAndGrowsWithEveryRun) {
  ProgramFolder folder;
  folder.Write("HX_RPT.INI", std::string("[SETUP]\r\nLOGIT=TRUE\r\nLOGFILENAME=R.LOG\r\n"
                                         "PortraitLines=60\r\n") +
                                 kTemplate);
  folder.Write("R.LOG", "yesterday\r\n");
  for (int i = 0; i < 2; ++i) {
    ProgramRun run = folder.Run();
    EXPECT_EQ(run.exit_status, 0) << run.err;
  }
  EXPECT_EQ(folder.Read("R.LOG"), "yesterday\r\n" + std::string(kExpectedLog) + kExpectedLog);
}

// Without any printer the printer channel fails once; the log still gets the
// whole report and the exit status tells the scheduler.
TEST(ReportOutputTest, NoPrinterCostsOnlyThePrintout) {
  ProgramFolder folder;
  folder.Write("HX_RPT.INI", std::string("[SETUP]\r\nPRINTIT=TRUE\r\nLOGIT=TRUE\r\n"
                                         "LOGFILENAME=R.LOG\r\nPortraitLines=60\r\n") +
                                 kTemplate);
  ProgramRun run = folder.Run();
  EXPECT_EQ(run.exit_status, 1);
  EXPECT_EQ(folder.Read("R.LOG"), kExpectedLog);
  EXPECT_EQ(Count(run.err, "HX_RPT Error Handler: "), 1u) << run.err;
  EXPECT_NE(run.err.find("  Could not print to: \n"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find(" in: LinePrint\n"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace hx::testing
