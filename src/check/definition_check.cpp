#include "check/definition_check.h"

#include <algorithm>
#include <utility>

#include "base/code_page.h"
#include "base/run_error.h"
#include "comm/controller_link.h"
#include "definition/definition_reader.h"
#include "run/report_error.h"

namespace hx {
namespace {

const char* SeverityName(Severity s) {
  switch (s) {
    case Severity::kNote:
      return "note";
    case Severity::kWarning:
      return "warning";
    default:
      return "error";
  }
}

}  // namespace

DefinitionCheck::DefinitionCheck(std::string file_name, const CodePage& code_page)
    : file_name_(std::move(file_name)), platform_(code_page) {}

void DefinitionCheck::Read(std::istream& in) {
  // As HX_RPT's start-up prepares the controller link before it reads.
  InitBuffers(rs_);
  try {
    ReadDefinition(rs_, in, this);
  } catch (const RunError& e) {
    stop_error_ = e.number();
  }
  CheckAfterReading();
}

void DefinitionCheck::CannotRead(const std::string& why) {
  cannot_read_ = true;
  Add(0, Severity::kError,
      why + "; HX_RPT reports this under \"" + std::string(label::kFormLoad) +
          "\" and produces no report");
}

void DefinitionCheck::Add(int line, Severity severity, std::string text) {
  diagnostics_.push_back({line, severity, std::move(text)});
}

void DefinitionCheck::CollectPassedOver(int line, Severity severity,
                                        std::function<std::string(int)> text, int skip_line) {
  Add(line, severity, {});
  groups_.push_back({diagnostics_.size() - 1, 0, skip_line, std::move(text)});
  collecting_ = groups_.size() - 1;
  after_marker_ = false;
}

std::vector<Diagnostic> DefinitionCheck::Diagnostics() const {
  std::vector<Diagnostic> all = diagnostics_;
  for (const PassedGroup& group : groups_) all[group.diagnostic].text = group.text(group.lines);
  std::stable_sort(all.begin(), all.end(),
                   [](const Diagnostic& a, const Diagnostic& b) { return a.line < b.line; });
  return all;
}

int DefinitionCheck::ExitStatus() const {
  int status = 0;
  for (const Diagnostic& d : diagnostics_) {
    if (d.severity == Severity::kError) return 2;
    if (d.severity == Severity::kWarning) status = 1;
  }
  return status;
}

void DefinitionCheck::WriteDiagnostics(std::ostream& out) const {
  for (const Diagnostic& d : Diagnostics()) {
    // The file's name is the system's, as given; the findings are program text.
    std::string text = ":";
    if (d.line > 0) text += std::to_string(d.line) + ":";
    text += std::string(" ") + SeverityName(d.severity) + ": " + d.text;
    out << file_name_ << Utf8FromProgramText(text, rs_.platform.code_page) << '\n';
  }
}

}  // namespace hx
