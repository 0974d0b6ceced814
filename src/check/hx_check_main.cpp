// HX_CHECK [--preview | --live] [FILE]: explains a definition file before
// HX_RPT runs on it.  The file (by default HX_RPT.INI in HX_CHECK's own
// folder, where HX_RPT looks for it) is read exactly as HX_RPT reads it, but
// no controller is opened and nothing is printed or shown.  Standard output
// gets one line per finding, FILE:LINE: severity: text, then a summary; with
// --preview, the report HX_RPT would make of the file instead of the
// summary; with --live, what every tag answers when the controllers are
// asked once, through HX_VENDOR beside HX_CHECK as HX_RPT does.  Exit
// status: 0 nothing passed over or refused, 1 warnings, 2 an error that
// stops HX_RPT (or a file that cannot be read); with --live, 0 every tag
// answered, 1 a tag failed or a controller did not open, 2 an error in the
// file.

#include <iostream>
#include <memory>
#include <string>
#include <string_view>

#include "base/paths.h"
#include "base/run_error.h"
#include "check/check_platform.h"
#include "check/definition_check.h"
#include "check/live_check.h"
#include "check/preview.h"
#include "comm/hosted_vendor.h"
#include "definition/definition_reader.h"
#include "platform/executable_folder.h"
#include "platform/file_system.h"
#include "platform/system_locale.h"

namespace {

constexpr int kCannotCheck = 2;

void Usage(std::ostream& out) {
  out << "usage: HX_CHECK [--preview | --live] [FILE]\n"
         "Explains the definition file FILE (default: HX_RPT.INI in HX_CHECK's folder) as\n"
         "HX_RPT reads it, without opening a controller or printing.  Exit status: 0 clean,\n"
         "1 warnings, 2 an error that stops HX_RPT.\n"
         "  --preview  show the report HX_RPT would make of FILE, each tag at its widest,\n"
         "             instead of the summary\n"
         "  --live     open FILE's controllers and read every tag once, as HX_RPT does, and\n"
         "             show what each answered instead of the summary (nothing is logged or\n"
         "             printed); exit status 0 every tag answered, 1 a tag failed or a\n"
         "             controller did not open, 2 an error in FILE\n";
}

// Why the file cannot be read, as far as the file system tells before it is
// opened; empty when it can be tried.
std::string Obstacle(hx::FileSystem& files, const std::string& path) {
  switch (files.KindOf(path)) {
    case hx::PathKind::kMissing:
      return "no such file";
    case hx::PathKind::kFolder:
      return "this is a folder, not a file";
    case hx::PathKind::kOther:
      return "this is not a plain file (a pipe or a device, which HX_RPT does not read)";
    case hx::PathKind::kFile:
      break;
  }
  return {};
}

// The live check on the vendor libraries as HX_RPT has them: each in a
// HX_VENDOR beside HX_CHECK.
int LiveCheck(const hx::DefinitionCheck& check, const std::string& path, hx::FileSystem& files,
              std::ostream& out) {
  const std::unique_ptr<hx::HelperLauncher> launcher = hx::SystemHelperLauncher();
  hx::HostedVendor vendor(
      *launcher, hx::ExecutableFolder(), [] {}, hx::VendorCallBound());
  return hx::WriteLiveCheck(check, path, files, vendor, out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h")) {
    Usage(std::cout);
    return 0;
  }
  const bool preview = argc >= 2 && std::string_view(argv[1]) == "--preview";
  const bool live = argc >= 2 && std::string_view(argv[1]) == "--live";
  const int first_file = preview || live ? 2 : 1;
  if (argc > first_file + 1 ||
      (argc == first_file + 1 && std::string_view(argv[first_file]).starts_with('-'))) {
    Usage(std::cerr);
    return kCannotCheck;
  }
  const std::string path = argc == first_file + 1
                               ? hx::FileNameArgument(argv, first_file)
                               : hx::JoinPath(hx::ExecutableFolder(), hx::kDefinitionFileName);
  // The code page HX_RPT would hold the file's text in on this system.
  const hx::CodePage& code_page = hx::ProgramCodePage("HX_CHECK");

  // A few hundred kilobytes of report state: kept off the stack.
  auto check = std::make_unique<hx::DefinitionCheck>(path, code_page);
  hx::SystemFileSystem files;
  if (std::string obstacle = Obstacle(files, path); !obstacle.empty()) {
    check->CannotRead(obstacle);
  } else {
    // Binary mode: line ends are the reader's business, as in HX_RPT.
    std::unique_ptr<std::istream> in;
    try {
      in = files.OpenForReading(path);
    } catch (const hx::RunError&) {
      check->CannotRead("the file cannot be opened");
    }
    if (in) {
      check->Read(*in);
      if (in->bad()) check->CannotRead("the file cannot be read to its end");
    }
  }
  check->WriteDiagnostics(std::cout);
  std::cout << '\n';
  int status = check->ExitStatus();
  if (preview) {
    check->WriteCounts(std::cout);
    std::cout << '\n';
    hx::LocalClock clock;
    hx::WritePreview(*check, clock, std::cout);
  } else if (live) {
    check->WriteCounts(std::cout);
    std::cout << '\n';
    // A file HX_RPT reads no further, or not at all, is not asked of the plant.
    if (check->cannot_read() || check->stop_error() != 0) {
      std::cout << "Live: not run, since HX_RPT would make no report of this file.\n";
    } else {
      const int live_status = LiveCheck(*check, path, files, std::cout);
      if (status < 2) status = live_status;
    }
  } else {
    check->WriteSummary(std::cout);
  }
  std::cout.flush();
  return std::cout ? status : kCannotCheck;
}
