// Form_Load, the whole run of HX_RPT: prepare the controller link and the
// printer font, read HX_RPT.INI from the program's folder (which opens the
// controllers and fills the tag table), run the one report pass, and tell
// the caller whether the process ends now or the main window stays open.

#ifndef HX_APP_FORM_LOAD_H_
#define HX_APP_FORM_LOAD_H_

#include <optional>
#include <string>

#include "platform/print_device.h"
#include "platform/single_copy.h"
#include "platform/system_services.h"
#include "run/report_state.h"

namespace hx {

enum class AfterLoad {
  kEnd,       // the report is done and nobody asked to see it: end the process
  kKeepOpen,  // SHOWIT, or a start-up failure: the main window stays until closed
};

// Full name of the definition file inside the program's folder.
std::string DefinitionPath(const std::string& program_folder);

// Everything after the single-instance check.  Never throws.
AfterLoad Form_Load(ReportState& rs);

// The single-copy rule, before anything else of a run: a second copy ends
// at once, silently, and its exit status 2 tells a scheduler that this
// start produced no report.  A lock that cannot be had proves nothing, and a
// scheduled report that silently never runs is worse than two copies: the
// run goes on, and standard error says so.  The status to end with when
// this copy is not to run.
std::optional<int> SecondCopyStatus(const SingleCopyLock& lock);

// The program's run, after the single-instance check, on the toolkit's print
// device, main window and message dialog and the system's services: the
// print job, the vendor libraries in their hosts (the window kept answering
// while a call is under way) and the notes on standard error are made here,
// then Form_Load runs, the print job is handed to the printing system, and,
// when the main window stays and someone can close it, the run waits until
// they do.  Every message of the run also goes to standard error
// (EchoingDialog).  The result is the exit status: 1 when anything went
// wrong in the run, 0 otherwise.
int RunProgram(PrintDevice& print_device, Screen& screen, MessageDialog& dialog,
               SystemServices& system, const std::string& program_folder,
               const CodePage& code_page);

}  // namespace hx

#endif  // HX_APP_FORM_LOAD_H_
