// HX_CHECK against HX_RPT: any bytes as a definition file, read once by
// HX_RPT's reader alone and once by HX_CHECK with its observer listening.
// Both must end in the same report state (listening never changes what is
// read), and what HX_CHECK says about the template must be what the renderer
// does with it: a field it calls failing ends the block, the page breaks and
// tag fields it finds are the ones the renderer emits, and the layout it
// looks for covered template text in is the line the renderer emits.

#include <algorithm>
#include <sstream>
#include <string>

#include "base/run_error.h"
#include "check/definition_check.h"
#include "check/field_overlap.h"
#include "comm/controller_link.h"
#include "definition/definition_reader.h"
#include "fuzz/fuzz_run.h"
#include "report/date_time_format.h"
#include "report/render_lines.h"
#include "report/template_fields.h"

namespace hx::fuzz {
namespace {

void CheckSameState(const ReportState& a, const ReportState& b) {
  Check(a.PRINTIT == b.PRINTIT && a.SHOWIT == b.SHOWIT && a.LOGIT == b.LOGIT, "the same flags");
  Check(a.LOGFILEPATH == b.LOGFILEPATH && a.LOGFILENAME == b.LOGFILENAME &&
            a.DATEFORMAT == b.DATEFORMAT && a.TIMEFORMAT == b.TIMEFORMAT &&
            a.PRINTERNAME == b.PRINTERNAME,
        "the same texts", a.PRINTERNAME + " / " + b.PRINTERNAME);
  Check(a.LandScapeLines == b.LandScapeLines && a.PortraitLines == b.PortraitLines,
        "the same page lengths");
  Check(a.ControllerName == b.ControllerName && a.ControllerHandle == b.ControllerHandle &&
            a.CtrlName == b.CtrlName,
        "the same controller table");
  Check(a.LastTag == b.LastTag, "the same LastTag");
  for (size_t i = 0; i < a.TagTable.size(); ++i)
    Check(SameTag(a.TagTable[i], b.TagTable[i]), "the same tag slot",
          std::to_string(i) + ": " + Describe(a.TagTable[i]) + " / " + Describe(b.TagTable[i]));
  Check(a.HeaderCount == b.HeaderCount && a.HeaderLines == b.HeaderLines &&
            a.ReportCount == b.ReportCount && a.ReportLines == b.ReportLines,
        "the same template blocks");
  Check(a.param.source == b.param.source && a.param.position == b.param.position &&
            a.param.end_position == b.param.end_position && a.param.length == b.param.length,
        "the same tokenizer state");
  Check(a.BufferSize == b.BufferSize && a.ReplyBuffer == b.ReplyBuffer &&
            a.AnyFailure == b.AnyFailure,
        "the same link state");
}

// Renders one template line on a fresh state whose every tag shows as one
// marker byte, and compares with what the field scan says of it.
void CheckTemplateLine(const std::string& line) {
  constexpr char kMarker = '\x01';
  FuzzRun run;
  run.rs.SHOWIT = true;  // every emitted line reaches the recording screen
  for (Tag& tag : run.rs.TagTable) tag.TagText = std::string(1, kMarker);
  const std::string lines[] = {{}, line};
  RenderLines(run.rs, lines, 1);
  const bool failed = !run.dialog.messages.empty();

  bool fails = LineFailure(line) != 0;
  int breaks = 0;
  int tags = 0;
  for (const TemplateField& field : TemplateFields(line)) {
    const FieldMeaning m = MeaningOf(field.code);
    fails = fails || m.kind == FieldKind::kFails;
    breaks += m.kind == FieldKind::kPageBreak ? 1 : 0;
    tags += m.kind == FieldKind::kTag ? 1 : 0;
  }
  Check(failed == fails, "a field the check calls failing is one that ends the block", line);
  if (failed) return;
  const std::vector<std::string> out = run.ScreenLines();
  Check(out.size() == static_cast<size_t>(breaks) + 1,
        "the check finds the page breaks the renderer emits", line);
  if (line.find(kMarker) != std::string::npos) return;
  Check(std::count(out.back().begin(), out.back().end(), kMarker) == tags,
        "the check finds the tag fields the renderer fills", line);
}

// Renders one template line with tag texts of many widths and compares with
// the layout the check finds its overlaps in.
void CheckLayout(const std::string& line) {
  if (LineFailure(line) != 0) return;
  const std::vector<TemplateField> fields = TemplateFields(line);
  std::vector<std::string> texts;
  for (const TemplateField& field : fields) {
    const FieldMeaning m = MeaningOf(field.code);
    if (m.kind == FieldKind::kFails) return;
    texts.push_back(m.kind == FieldKind::kTag    ? std::string(static_cast<size_t>(m.tag % 11), 'w')
                    : m.kind == FieldKind::kDate ? FormatDateTime(kDefaultDateFormat, {})
                    : m.kind == FieldKind::kTime ? FormatDateTime(kDefaultTimeFormat, {})
                                                 : std::string());
  }
  FuzzRun run;
  run.rs.SHOWIT = true;
  run.clock.now = {};
  for (size_t n = 0; n < run.rs.TagTable.size(); ++n)
    run.rs.TagTable[n].TagText = std::string(n % 11, 'w');
  const std::string lines[] = {{}, line};
  RenderLines(run.rs, lines, 1);
  Check(LayOutLine(line, fields, texts).line == run.ScreenLines().back(),
        "the check lays a line out as the renderer does", line);
}

}  // namespace
}  // namespace hx::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace hx;
  const std::string file(fuzz::AsText(data, size));

  // HX_RPT's reading: the same start-up preparation, no controller found,
  // the printer's name as the check's printer gives it.
  fuzz::FuzzRun run;
  run.printer.device_name = CheckPrinter::kDefaultPrinterName;
  InitBuffers(run.rs);
  int32_t error = 0;
  {
    std::istringstream in(file);
    try {
      ReadDefinition(run.rs, in);
    } catch (const RunError& e) {
      error = e.number();
    }
  }

  DefinitionCheck check("HX_RPT.INI");
  {
    std::istringstream in(file);
    check.Read(in);
  }
  fuzz::Check(check.stop_error() == error, "the check stops where HX_RPT stops",
              std::to_string(check.stop_error()) + " / " + std::to_string(error));
  fuzz::CheckSameState(check.state(), run.rs);
  fuzz::Check(check.printer().font_name.value_or("Courier New") == run.printer.font_name &&
                  check.printer().font_size.value_or(12) == run.printer.font_size &&
                  check.printer().follows_default == run.printer.follows_default,
              "the same printer font");

  fuzz::Check(error == 0 || check.ExitStatus() == 2, "a reading that stops is an error");
  int lines = 0;
  for (char c : file) lines += c == '\n' || c == '\r' ? 1 : 0;
  for (const Diagnostic& d : check.Diagnostics())
    fuzz::Check(d.line >= 0 && d.line <= lines + 1 && !d.text.empty(),
                "a finding names a line of the file", std::to_string(d.line) + ": " + d.text);
  std::ostringstream out;
  check.WriteDiagnostics(out);
  check.WriteSummary(out);

  if (error == 0) {
    const ReportState& rs = check.state();
    for (int k = 1; k <= rs.HeaderCount; ++k) {
      fuzz::CheckTemplateLine(rs.HeaderLines[k]);
      fuzz::CheckLayout(rs.HeaderLines[k]);
    }
    for (int k = 1; k <= rs.ReportCount; ++k) {
      fuzz::CheckTemplateLine(rs.ReportLines[k]);
      fuzz::CheckLayout(rs.ReportLines[k]);
    }
  }
  return 0;
}
