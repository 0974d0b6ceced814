#include "app/form_load.h"

#include <istream>
#include <memory>

#include "app/run_report.h"
#include "base/paths.h"
#include "base/run_error.h"
#include "comm/controller_link.h"
#include "comm/hosted_vendor.h"
#include "definition/definition_reader.h"
#include "output/line_print.h"
#include "output/print_job.h"
#include "platform/platform.h"
#include "run/report_error.h"
#include "ui/message_layout.h"

namespace hx {

std::string DefinitionPath(const std::string& program_folder) {
  return JoinPath(program_folder, kDefinitionFileName);
}

AfterLoad Form_Load(ReportState& rs) {
  bool end = false;
  Trap(rs, label::kFormLoad, [&] {
    InitBuffers(rs);
    rs.DATEFORMAT.clear();
    rs.TIMEFORMAT.clear();
    rs.platform.printer.SetFontName(std::string(Printer::kStartFontName));
    rs.platform.printer.SetFontSize(Printer::kStartFontSize);

    const std::string path = DefinitionPath(rs.platform.program_folder);
    // A file that is there but cannot be read must not be reported as missing.
    const PathKind kind = rs.platform.files.KindOf(path);
    if (kind == PathKind::kMissing) throw RunError(err::kFileNotFound, "no " + path);
    if (kind == PathKind::kFolder) throw RunError(err::kPathFileAccess, path + " is a folder");
    {
      // Binary mode: line ends are the reader's business, not the C library's.
      const std::unique_ptr<std::istream> in = rs.platform.files.OpenForReading(path);
      ReadDefinition(rs, *in);
      if (in->bad()) throw RunError(err::kDeviceIo, "cannot read " + path);
    }  // the definition file is open only while it is read

    RunReport(rs);
    end = !rs.SHOWIT;
  });
  return end ? AfterLoad::kEnd : AfterLoad::kKeepOpen;
}

std::optional<int> SecondCopyStatus(const SingleCopyLock& lock) {
  switch (lock.state()) {
    case SingleCopyLock::State::kAnotherCopyRuns:
      return 2;
    case SingleCopyLock::State::kCannotTell:
      StandardErrorNotes().Note("no lock for the single-copy check (" + lock.problem() +
                                "); starting anyway");
      break;
    case SingleCopyLock::State::kOnlyCopy:
      break;
  }
  return std::nullopt;
}

int RunProgram(PrintDevice& print_device, Screen& screen, MessageDialog& dialog,
               SystemServices& system, const std::string& program_folder,
               const CodePage& code_page) {
  PrintJob printer(print_device);
  EchoingDialog echoing(dialog);
  HostedVendor vendor(
      *system.launcher, program_folder, [&] { screen.ProcessEvents(); }, VendorCallBound());
  StandardErrorNotes notes;
  Platform platform{printer,      screen, echoing,        vendor,   system.clock,
                    system.files, notes,  program_folder, code_page};
  ReportState rs(platform);
  const AfterLoad after = Form_Load(rs);
  // The print job is handed over as soon as the report is done, whether the
  // window then stays open or not.
  FinishPrinting(rs);
  // Nobody could close a window drawn off screen, and the scheduler that
  // started the run would wait for ever.
  if (after == AfterLoad::kKeepOpen && screen.SomeoneCanClose()) screen.StayOpen();
  return rs.AnyFailure ? 1 : 0;
}

}  // namespace hx
