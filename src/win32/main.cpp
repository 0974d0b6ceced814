// HX_RPT: reads HX_RPT.INI from its own folder, queries the controllers it
// names, and writes the report to the printer, the log file and its window.
// No command line: everything the program does is in its definition file.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <memory>
#include <optional>

#include "app/form_load.h"
#include "base/run_error.h"
#include "platform/executable_folder.h"
#include "platform/platform.h"
#include "platform/single_copy.h"
#include "platform/system_locale.h"
#include "platform/system_services.h"
#include "win32/main_window_win32.h"
#include "win32/message_dialog_win32.h"
#include "win32/print_device_win32.h"
#include "win32/system_text.h"

namespace {

// A program without a console has a standard error only when its starter
// handed it one (a redirection, a scheduler's log); failing that, a console
// program that started it lends its console, so that messages appear where
// the command was typed.
void FindStandardError() {
  const HANDLE handle = GetStdHandle(STD_ERROR_HANDLE);
  if (handle != nullptr && handle != INVALID_HANDLE_VALUE) return;
  if (AttachConsole(ATTACH_PARENT_PROCESS)) std::freopen("CONOUT$", "w", stderr);
}

int Run(HINSTANCE instance) {
  FindStandardError();
  const std::unique_ptr<hx::SingleCopyLock> single_copy = hx::TakeSingleCopyLock();
  if (const std::optional<int> status = hx::SecondCopyStatus(*single_copy)) return *status;
  // Whatever the program loads comes from its own folder or the system's,
  // never from the folder a scheduler or a shortcut happened to start it in.
  // (The vendor's libraries are loaded by HX_VENDOR, which searches alike.)
  if (!SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32))
    std::fprintf(stderr, "HX_RPT: %s\n", hx::LastSystemError().c_str());

  const hx::CodePage& code_page = hx::ProgramCodePage("HX_RPT");
  const std::string folder = hx::ExecutableFolder();
  hx::MainWindow main_window(instance, code_page);
  // Without its window the report still reaches the log and the printer,
  // and every message standard error; the run counts as failed.
  if (!main_window.made())
    std::fprintf(stderr, "HX_RPT: %s; the report goes on without the window\n",
                 main_window.failure().c_str());
  hx::Win32PrintDevice print_device(code_page);
  hx::Win32MessageDialog dialog(instance, main_window.hwnd(), code_page);
  hx::SystemServices system;
  const int status = hx::RunProgram(print_device, main_window, dialog, system, folder, code_page);
  return main_window.made() ? status : std::max(status, 1);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  try {
    return Run(instance);
  } catch (const hx::RunError& e) {
    std::fprintf(stderr, "HX_RPT: %s\n", e.detail().c_str());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "HX_RPT: %s\n", e.what());
  }
  return 1;
}
