#include "output/line_print.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "base/paths.h"
#include "testing/fake_platform.h"
#include "testing/test_files.h"

namespace hx {
namespace {

using namespace testing;

const std::string kSep(1, kPathSeparator);

TEST(LinePrintTest, PrinterLinesEjectsAndCount) {
  struct Case {
    std::string line;
    std::string printed;
    int16_t count;
  };
  const Case cases[] = {
      {"\f", "<EJECT>", 0},
      {"x\f", "      x\f", 1},
      {"", "      ", 1},
  };
  for (const Case& c : cases) {
    FakeRun run;
    run.rs.PRINTIT = run.rs.SHOWIT = true;
    LinePrint(run.rs, c.line);
    EXPECT_EQ(run.printer.output, std::vector<std::string>{c.printed});
    EXPECT_EQ(run.rs.LineCount, c.count);
    EXPECT_EQ(run.screen.text, c.line + "\r\n");
  }
}

TEST(LinePrintTest, ChannelsThatAreOffAreNeverTouched) {
  FakeRun run;
  run.printer.fail_name = true;
  run.rs.LOGFILEPATH = "/nonexistent/folder";
  LinePrint(run.rs, "x");
  EXPECT_EQ(run.printer.print_calls, 0);
  EXPECT_TRUE(run.dialog.messages.empty());
  EXPECT_EQ(run.screen.text, "");
  EXPECT_EQ(run.screen.events_processed, 1);
}

TEST(LinePrintTest, PrinterAndScreenFailuresLatchThePrinterOnly) {
  struct Case {
    const char* name;
    void (*arrange)(FakeRun&);
    std::string message;
    size_t printed, reports;
    bool shown;
  };
  const Case cases[] = {
      {"print fails at line 3", [](FakeRun& r) { r.printer.fail_print_at = 3; },
       "Error: 482  Could not print to: FakeQueue\r\nPrinter error in: LinePrint", 2, 1, true},
      {"name unreadable", [](FakeRun& r) { r.printer.fail_name = true; },
       "Error: 482  Could not print to: \r\nPrinter error in: LinePrint", 0, 1, true},
      {"count full", [](FakeRun& r) { r.rs.LineCount = 32766; },
       "Error: 6  Could not print to: FakeQueue\r\nOverflow in: LinePrint", 2, 1, true},
      // The screen comes before the latch test, so its failure recurs.
      {"screen insert fails", [](FakeRun& r) { r.screen.fail_insert = true; },
       "Error: 51  Could not print to: \r\nInternal error in: LinePrint", 0, 5, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScratchFolder dir;
    FakeRun run;
    run.rs.LOGIT = run.rs.SHOWIT = run.rs.PRINTIT = true;
    run.rs.LOGFILEPATH = dir.path();
    run.rs.LOGFILENAME = "R.LOG";
    c.arrange(run);
    for (const char* line : {"1", "2", "3", "4", "5"}) LinePrint(run.rs, line);
    EXPECT_EQ(run.printer.output.size(), c.printed);
    ASSERT_EQ(run.dialog.messages.size(), c.reports);
    EXPECT_EQ(run.dialog.messages[0].text, c.message);
    EXPECT_TRUE(run.rs.PrinterFailed);
    EXPECT_EQ(run.screen.text, c.shown ? "1\r\n2\r\n3\r\n4\r\n5\r\n" : "");
    EXPECT_EQ(ReadFile(dir.path() + kSep + "R.LOG"), "1\r\n2\r\n3\r\n4\r\n5\r\n");
  }
}

TEST(LogPrintTest, AppendsToTheFolderSeparatorAndNameWithCrLf) {
  ScratchFolder dir;
  const std::string file = dir.path() + kSep + "A.LOG";
  std::ofstream(file, std::ios::binary) << "old\n";
  struct Case {
    std::string path, program_folder, line;
  };
  const Case cases[] = {
      {dir.path(), "/elsewhere", "\f"},
      {dir.path() + kSep, "/elsewhere", ""},
      {"", dir.path(), "\xE9t\xE9"},
      {"", dir.path() + kSep, "x"},
  };
  for (const Case& c : cases) {
    FakeRun run;
    run.platform.program_folder = c.program_folder;
    run.rs.LOGIT = true;
    run.rs.LOGFILEPATH = c.path;
    run.rs.LOGFILENAME = "A.LOG";
    LinePrint(run.rs, c.line);
    EXPECT_TRUE(run.dialog.messages.empty()) << c.path << "|" << c.program_folder;
  }
  EXPECT_EQ(ReadFile(file), "old\n\f\r\n\r\n\xE9t\xE9\r\nx\r\n");
}

TEST(LogPrintTest, LogFailuresAreReportedOnceWhileTheOtherChannelsGoOn) {
  ScratchFolder dir;
  struct Case {
    std::string path, name, message;
    // The file system's answer in place of the system's own, if any.
    std::function<Appended(const std::string&, std::string_view)> append = nullptr;
  };
  const Case cases[] = {
      // A folder given with its separator gets no second one.
      {dir.path() + kSep + "missing" + kSep, "A.LOG",
       "Error: 76  Could not write to: " + dir.path() + kSep + "missing" + kSep +
           "A.LOG\r\nPath not found in: LogPrint"},
      {dir.path(), "",
       "Error: 75  Could not write to: " + dir.path() + kSep +
           "\r\nPath/File access error in: LogPrint"},
      {dir.path(), "A.LOG",
       "Error: 61  Could not write to: " + dir.path() + kSep + "A.LOG\r\nDisk full in: LogPrint",
       [](const std::string& path, std::string_view) -> Appended {
         throw RunError(err::kDiskFull, path);
       }},
#ifndef _WIN32  // a device where the log should be: never written, never waited on
      {"/dev", "null",
       "Error: 75  Could not write to: /dev/null\r\nPath/File access error in: LogPrint"},
#endif
  };
  for (const Case& c : cases) {
    FakeRun run;
    run.files.append = c.append;
    run.rs.LOGIT = run.rs.SHOWIT = run.rs.PRINTIT = true;
    run.rs.LOGFILEPATH = c.path;
    run.rs.LOGFILENAME = c.name;
    for (const char* line : {"1", "2", "3"}) LinePrint(run.rs, line);
    ASSERT_EQ(run.dialog.messages.size(), 1u) << c.message;
    EXPECT_EQ(run.dialog.messages[0].text, c.message);
    EXPECT_TRUE(run.rs.LogFailed);
    EXPECT_EQ(run.screen.text, "1\r\n2\r\n3\r\n");
    EXPECT_EQ(run.printer.output.size(), 3u);
  }
  // Nothing was created, not even a file named after the folder.
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

}  // namespace
}  // namespace hx
