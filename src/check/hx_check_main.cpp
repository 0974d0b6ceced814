// HX_CHECK [FILE]: explains a definition file before HX_RPT runs on it.  The
// file (by default HX_RPT.INI in HX_CHECK's own folder, where HX_RPT looks
// for it) is read exactly as HX_RPT reads it, but no controller is opened and
// nothing is printed or shown.  Standard output gets one line per finding,
// FILE:LINE: severity: text, then a summary.  Exit status: 0 nothing passed
// over or refused, 1 warnings, 2 an error that stops HX_RPT (or a file that
// cannot be read).

#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <string_view>

#include "base/paths.h"
#include "check/definition_check.h"
#include "definition/definition_reader.h"
#include "platform/executable_folder.h"
#include "platform/system_locale.h"

namespace {

constexpr int kCannotCheck = 2;

void Usage(std::ostream& out) {
  out << "usage: HX_CHECK [FILE]\n"
         "Explains the definition file FILE (default: HX_RPT.INI in HX_CHECK's folder) as\n"
         "HX_RPT reads it, without opening a controller or printing.  Exit status: 0 clean,\n"
         "1 warnings, 2 an error that stops HX_RPT.\n";
}

// Why the file cannot be read, as far as the file system tells before it is
// opened; empty when it can be tried.
std::string Obstacle(const std::string& path) {
  switch (hx::KindOf(path)) {
    case hx::PathKind::kMissing:
      return "no such file";
    case hx::PathKind::kFolder:
      return "this is a folder, not a file";
    case hx::PathKind::kOther:
      break;
  }
  return {};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h")) {
    Usage(std::cout);
    return 0;
  }
  if (argc > 2 || (argc == 2 && std::string_view(argv[1]).starts_with('-'))) {
    Usage(std::cerr);
    return kCannotCheck;
  }
  const std::string path = argc == 2
                               ? hx::FileNameArgument(argv, 1)
                               : hx::JoinPath(hx::ExecutableFolder(), hx::kDefinitionFileName);
  // The code page HX_RPT would hold the file's text in on this system.
  const hx::CodePage& code_page = hx::ProgramCodePage("HX_CHECK");

  // A few hundred kilobytes of report state: kept off the stack.
  auto check = std::make_unique<hx::DefinitionCheck>(path, code_page);
  if (std::string obstacle = Obstacle(path); !obstacle.empty()) {
    check->CannotRead(obstacle);
  } else {
    // Binary mode: line ends are the reader's business, as in HX_RPT.
    std::ifstream in(hx::NativePath(path), std::ios::in | std::ios::binary);
    if (!in) {
      check->CannotRead("the file cannot be opened");
    } else {
      check->Read(in);
      if (in.bad()) check->CannotRead("the file cannot be read to its end");
    }
  }
  check->WriteDiagnostics(std::cout);
  std::cout << '\n';
  check->WriteSummary(std::cout);
  std::cout.flush();
  return std::cout ? check->ExitStatus() : kCannotCheck;
}
