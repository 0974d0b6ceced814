#include "report/render_lines.h"

#include <string_view>

#include "base/run_error.h"
#include "output/line_print.h"
#include "platform/platform.h"
#include "report/date_time_format.h"
#include "report/template_fields.h"
#include "ui/report_error.h"

namespace hx {

namespace {

void PadTo(std::string& out, int length) {
  if (out.size() < static_cast<size_t>(length)) out.resize(static_cast<size_t>(length), ' ');
}

// Lays text into the line from column `column`; when the line already
// reaches that column the text follows it directly, so nothing is overwritten.
void PlaceAt(std::string& out, int column, std::string_view text) {
  PadTo(out, column - 1);
  out += text;
}

std::string ClockText(ReportState& rs, const std::string& pattern, std::string_view fallback) {
  return FormatDateTime(pattern.empty() ? fallback : std::string_view(pattern),
                        rs.platform.clock.Now());
}

// Expands field into out, where the text before its column already stands.
void ExpandField(ReportState& rs, std::string& out, const TemplateField& field) {
  const FieldMeaning meaning = MeaningOf(field.code);
  switch (meaning.kind) {
    case FieldKind::kFails:
      throw RunError(meaning.error);
    case FieldKind::kTag:
      PlaceAt(out, field.column, At(rs.TagTable, meaning.tag).TagText);
      // A tag field covers its whole template span, so a short value never
      // lets the text after the field slide left.
      PadTo(out, field.end);
      break;
    case FieldKind::kTime:
      PlaceAt(out, field.column, ClockText(rs, rs.TIMEFORMAT, kDefaultTimeFormat));
      break;
    case FieldKind::kDate:
      PlaceAt(out, field.column, ClockText(rs, rs.DATEFORMAT, kDefaultDateFormat));
      break;
    case FieldKind::kPageBreak:
      // The page break goes out the moment the field closes; the line that
      // holds it follows on the new page.
      LinePrint(rs, kFormFeedLine);
      break;
    case FieldKind::kNothing:
      break;
  }
}

// Renders one template line; F fields in it are emitted on the way.
std::string RenderLine(ReportState& rs, const std::string& t) {
  const std::vector<TemplateField> fields = TemplateFields(t);
  if (fields.empty()) return t;

  std::string out;
  // A literal never lands right of its own template column.
  auto copy_literals = [&](int from, int to) {
    for (int j = from; j < to; ++j)
      if (out.size() < static_cast<size_t>(j)) out += t[static_cast<size_t>(j - 1)];
  };
  int next = 1;  // the next template column not yet laid out
  for (const TemplateField& field : fields) {
    copy_literals(next, field.column);
    ExpandField(rs, out, field);
    next = field.end + 1;  // the blank that closed the field is part of it
  }
  copy_literals(next, static_cast<int>(t.size()) + 1);
  return out;
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
