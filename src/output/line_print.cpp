#include "output/line_print.h"

#include "base/code_page.h"
#include "base/paths.h"
#include "base/run_error.h"
#include "output/log_file.h"
#include "platform/platform.h"
#include "run/report_error.h"

namespace hx {

namespace {

std::string CouldNotPrintTo(const std::string& printer_text) {
  return std::string(kCouldNotPrintTo) + printer_text;
}

}  // namespace

void LinePrint(ReportState& rs, const std::string& line) {
  LogPrint(rs, line);

  // The printer's identifying text as read in this call; it names the
  // printer in the failure message, and stays empty when the failure came
  // before it could be read.
  std::string printer_text;
  TrapWith(
      rs, label::kLinePrint,
      [&] {
        if (rs.SHOWIT) rs.platform.screen.InsertText(line + "\r\n");
        if (rs.PrinterFailed) return;
        if (rs.PRINTIT) {
          Printer& printer = rs.platform.printer;
          printer_text = printer.DeviceName();
          if (line == kFormFeedLine) {
            printer.EjectPage();
          } else {
            // The screen and the log get the line without the paper's margin.
            printer.PrintLine(std::string(Printer::kMargin) + line);
            // The line is on paper before the count is found full, so the
            // line that overflows it is still printed.
            rs.LineCount = Add16(rs.LineCount, 1);
          }
        }
        rs.platform.screen.ProcessEvents();
      },
      [&](int32_t) {
        rs.PrinterFailed = true;
        return CouldNotPrintTo(printer_text);
      });
}

void LogPrint(ReportState& rs, const std::string& line) {
  // The failure message names the file as far as it has been put together.
  std::string path = rs.LOGFILENAME;
  TrapWith(
      rs, label::kLogPrint,
      [&] {
        if (!rs.LOGIT || rs.LogFailed) return;
        const bool in_program_folder = rs.LOGFILEPATH.empty();
        const CodePage& code_page = rs.platform.code_page;
        path = JoinPath(in_program_folder
                            ? rs.platform.files.ProgramTextOf(rs.platform.program_folder, code_page)
                            : rs.LOGFILEPATH,
                        rs.LOGFILENAME);
        // The program folder comes from the system as the system spells it;
        // the names from the definition file go back into the file system's
        // own spelling.  An empty LOGFILENAME leaves the folder itself as the
        // path; opening that fails, which is the failure the user should see.
        const std::string file = JoinPath(
            in_program_folder
                ? rs.platform.program_folder
                : rs.platform.files.NameOf(rs.LOGFILEPATH, code_page, rs.DefinitionInUnicode()),
            rs.platform.files.NameOf(rs.LOGFILENAME, code_page, rs.DefinitionInUnicode()));
        const std::string text =
            rs.DefinitionInUnicode() ? Utf8FromProgramText(line, code_page) : line;
        AppendWhenFree(
            [&] {
              return AppendLogLine(rs.LogWriter, rs.platform.files, file, text, rs.LogWaited);
            },
            rs.platform.clock, rs.LogWaited, file);
      },
      [&](int32_t) {
        rs.LogFailed = true;
        return std::string(kCouldNotWriteTo) + path;
      });
}

void FinishPrinting(ReportState& rs) {
  TrapWith(
      rs, label::kLinePrint, [&] { rs.platform.printer.EndJob(); },
      [&](int32_t) { return CouldNotPrintTo(rs.platform.printer.DeviceName()); });
}

}  // namespace hx
