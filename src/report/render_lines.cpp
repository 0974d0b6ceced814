#include "report/render_lines.h"

#include <string_view>
#include <vector>

#include "base/run_error.h"
#include "output/line_print.h"
#include "platform/platform.h"
#include "report/date_time_format.h"
#include "report/line_layout.h"
#include "report/template_fields.h"
#include "run/report_error.h"

namespace hx {

namespace {

std::string ClockText(ReportState& rs, const std::string& pattern, std::string_view fallback) {
  return FormatDateTime(pattern.empty() ? fallback : std::string_view(pattern),
                        rs.platform.clock.Now());
}

// The text field shows, in the field's turn: a page break goes out the
// moment the field closes (the line that holds it follows on the new page),
// and a failing field stops the line there.
std::string FieldText(ReportState& rs, const TemplateField& field) {
  const FieldMeaning meaning = MeaningOf(field.code);
  switch (meaning.kind) {
    case FieldKind::kFails:
      throw RunError(meaning.error);
    case FieldKind::kTag:
      return At(rs.TagTable, meaning.tag).TagText;
    case FieldKind::kTime:
      return ClockText(rs, rs.TIMEFORMAT, kDefaultTimeFormat);
    case FieldKind::kDate:
      return ClockText(rs, rs.DATEFORMAT, kDefaultDateFormat);
    case FieldKind::kPageBreak:
      LinePrint(rs, kFormFeedLine);
      return {};
    case FieldKind::kNothing:
      break;
  }
  return {};
}

// Renders one template line; F fields in it are emitted on the way.
std::string RenderLine(ReportState& rs, const std::string& t) {
  const std::vector<TemplateField> fields = TemplateFields(t);
  std::vector<std::string> texts;
  texts.reserve(fields.size());
  for (const TemplateField& field : fields) texts.push_back(FieldText(rs, field));
  return LayOutLine(t, fields, texts).line;
}

}  // namespace

void RenderLines(ReportState& rs, std::span<const std::string> lines, int16_t count) {
  // The renderer's failures carry the controller query's label, as they
  // always have; operators and log readers know them by that name.
  Trap(rs, label::kSendRecv, [&] {
    for (int k = 1; k <= count; ++k) LinePrint(rs, RenderLine(rs, At(lines, k)));
  });
}

}  // namespace hx
