// HX_RPT: reads HX_RPT.INI from its own folder, queries the controllers it
// names, and writes the report to the printer, the log file and its window.
// No command line: everything the program does is in its definition file.

#include <QApplication>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>

#include "app/form_load.h"
#include "platform/executable_folder.h"
#include "platform/platform.h"
#include "platform/single_copy.h"
#include "platform/system_locale.h"
#include "platform/system_services.h"
#include "posix/runtime_folder.h"
#include "qt/main_window_qt.h"
#include "qt/message_dialog_qt.h"
#include "qt/print_device_qt.h"

namespace {

// Unattended runs (cron, a service, CI) have no display, or inherit one that
// no longer answers.  Rather than let Qt abort, draw off screen; nobody can
// close a window there, so the caller also ends the process where it would
// otherwise wait for that.  A platform the user chose is left alone; the
// result tells whether this chose one.
bool ChoosePlatform() {
  if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) return false;
  const bool no_display =
      qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
  setenv("QT_QPA_PLATFORM", no_display ? "offscreen" : "xcb;wayland;offscreen", 1);
  return true;
}

// Standard error holds the program's own messages: off screen, Qt remarks
// on every window operation it cannot carry out, and without a runtime
// folder it remarks on that at every run, which the program has said once
// in its own words.
bool quiet_offscreen = false;
bool quiet_runtime_folder = false;
void QuietToolkitRemarks(QtMsgType type, const QMessageLogContext& context,
                         const QString& message) {
  if (quiet_offscreen && type == QtWarningMsg &&
      message.startsWith(QLatin1String("This plugin does not support")))
    return;
  if (quiet_runtime_folder && (type == QtWarningMsg || type == QtCriticalMsg) &&
      message.startsWith(QLatin1String("QStandardPaths:")))
    return;
  std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
  if (type == QtFatalMsg) std::abort();
}

}  // namespace

int main(int argc, char** argv) {
  // A log file that reaches the system's file size limit is a failure to
  // report like a full disk, not a reason for the system to end the program
  // in the middle of a line.
  std::signal(SIGXFSZ, SIG_IGN);
  // Standard error is for diagnostics only: when its reader has gone, the
  // report still goes to every channel and the exit status still tells how
  // it went.  The same holds for a print server that closes the connection
  // while a job is being sent: that is a printer failure to report.
  std::signal(SIGPIPE, SIG_IGN);
  // A second copy ends before it so much as connects to the display.
  const std::unique_ptr<hx::SingleCopyLock> single_copy = hx::TakeSingleCopyLock();
  if (const std::optional<int> status = hx::SecondCopyStatus(*single_copy)) return *status;
  // What the display and font libraries would otherwise remark on at every
  // run: a missing runtime folder, a locale that names no language.
  const hx::ToolkitEnvironment toolkit_environment;
  if (!toolkit_environment.problem().empty()) {
    std::fprintf(stderr, "HX_RPT: %s; the display libraries use one of their own\n",
                 toolkit_environment.problem().c_str());
    quiet_runtime_folder = true;
  }
  qInstallMessageHandler(QuietToolkitRemarks);

  const bool chose_platform = ChoosePlatform();
  QApplication app(argc, argv);
  const bool offscreen =
      chose_platform && QGuiApplication::platformName() == QLatin1String("offscreen");
  quiet_offscreen = offscreen;
  app.setApplicationName(QStringLiteral("HX_RPT"));
  app.setQuitOnLastWindowClosed(false);

  const hx::CodePage& code_page = hx::ProgramCodePage("HX_RPT");
  const std::string folder = hx::ExecutableFolder();
  // Off screen, which this program chose for want of a display, nobody can
  // close the window; a platform the user chose is left to the user.
  hx::MainWindow main_window(code_page, !offscreen);
  hx::QtPrintDevice print_device(code_page);
  hx::QtMessageDialog dialog(code_page);
  main_window.KeepInFront([&dialog]() -> QWidget* { return dialog.Box(); });
  hx::SystemServices system;
  return hx::RunProgram(print_device, main_window, dialog, system, folder, code_page);
}
