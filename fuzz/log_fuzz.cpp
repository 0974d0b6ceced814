// The output channels with every setting on: arbitrary lines through
// LinePrint into a log file that already holds something.  Afterwards the
// log file is its old content followed by exactly the emitted lines, each
// with CR LF, and the screen and the printer got every line in order.
//
// Input: the first line (up to the first line feed) is the old content of
// the log file, every further line is a line of the report.

#include <fstream>
#include <string>
#include <vector>

#include "fuzz/fuzz_run.h"
#include "output/line_print.h"
#include "testing/test_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace hx;
  using fuzz::Check;
  // A private folder for the log under TMPDIR, made once per fuzzing
  // process and removed when it ends.
  static testing::ScratchFolder folder;
  const std::string log_file = folder.path() + "/R.LOG";

  std::vector<std::string> lines = fuzz::SplitLines(fuzz::AsText(data, size));
  const std::string old = lines.front();
  lines.erase(lines.begin());
  {
    std::ofstream out(log_file, std::ios::binary | std::ios::trunc);
    out << old;
  }

  fuzz::FuzzRun run;
  ReportState& rs = run.rs;
  rs.LOGIT = rs.SHOWIT = rs.PRINTIT = true;
  rs.LOGFILEPATH = folder.path();
  rs.LOGFILENAME = "R.LOG";
  for (const std::string& line : lines) LinePrint(rs, line);

  std::string expected_log = old;
  std::vector<std::string> expected_paper;
  for (const std::string& line : lines) {
    expected_log += line + "\r\n";
    expected_paper.push_back(line == kFormFeedLine ? "<EJECT>" : "      " + line);
  }
  Check(run.dialog.messages.empty(), "working channels report nothing",
        run.dialog.messages.empty() ? "" : run.dialog.messages[0].text);
  Check(testing::ReadFile(log_file) == expected_log,
        "the log is its old content followed by exactly the emitted lines");
  Check(run.ScreenLines() == lines, "the screen gets every line in order");
  Check(run.printer.output == expected_paper, "the printer gets every line in order");
  return 0;
}
