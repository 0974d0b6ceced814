#include "report/render_lines.h"

#include <string_view>

#include "base/run_error.h"
#include "definition/text_fields.h"
#include "output/line_print.h"
#include "platform/platform.h"
#include "report/date_time_format.h"
#include "ui/report_error.h"

namespace hx {

namespace {

void PadTo(std::string& out, int length) {
  if (out.size() < static_cast<size_t>(length)) out.resize(static_cast<size_t>(length), ' ');
}

// Lays text into the line from column `column`; when the line already
// reaches that column the text follows it directly, so nothing is overwritten.
void PlaceAt(std::string& out, int16_t column, std::string_view text) {
  PadTo(out, column - 1);
  out += text;
}

std::string ClockText(ReportState& rs, const std::string& pattern, std::string_view fallback) {
  return FormatDateTime(pattern.empty() ? fallback : std::string_view(pattern),
                        rs.platform.clock.Now());
}

// Expands the field with `code` that opened at `column` and closed at `end`.
void ExpandField(ReportState& rs, std::string& out, const std::string& code, int16_t column,
                 int16_t end) {
  if (IsNum(code)) {
    PlaceAt(out, column, At(rs.TagTable, NumericValue16(code)).TagText);
    // A tag field covers its whole template span, so a short value never
    // lets the text after the field slide left.
    PadTo(out, end);
    return;
  }
  // The other codes that do something are one letter, in either case.
  if (code == "T" || code == "t") {
    PlaceAt(out, column, ClockText(rs, rs.TIMEFORMAT, kDefaultTimeFormat));
  } else if (code == "D" || code == "d") {
    PlaceAt(out, column, ClockText(rs, rs.DATEFORMAT, kDefaultDateFormat));
  } else if (code == "F" || code == "f") {
    // The page break goes out the moment the field closes; the line that
    // holds it follows on the new page.
    LinePrint(rs, kFormFeedLine);
  }
}

// Renders one template line; F fields in it are emitted on the way.
std::string RenderLine(ReportState& rs, const std::string& t) {
  if (t.find('\\') == std::string::npos) return t;

  // Columns are 16-bit: a line too long for them is an overflow, not a
  // silently wrong layout.
  const int16_t length = Length16(t);
  const int16_t last = Add16(length, 1);

  std::string out;
  bool field_open = false;
  int16_t column = 0;
  std::string code;
  for (int j = 1; j <= last; ++j) {
    const bool past_end = j > length;
    if (past_end && !field_open) break;
    // The end of the line closes a field still open, as a blank would.
    const char c = past_end ? ' ' : t[static_cast<size_t>(j - 1)];
    if (!field_open) {
      if (c == '\\') {
        field_open = true;
        column = static_cast<int16_t>(j);
        code.clear();
      } else if (out.size() < static_cast<size_t>(j)) {
        // A literal never lands right of its own template column.
        out += c;
      }
    } else if (!IsBlank(c)) {
      code += c;
    } else {
      field_open = false;
      ExpandField(rs, out, code, column, static_cast<int16_t>(j));
    }
  }
  return out;
}

}  // namespace

void RenderLines(ReportState& rs, std::span<const std::string> lines, int16_t count) {
  // The renderer's failures are labelled "SendRecv", as they always have
  // been; operators and log readers know them by that name.
  Trap(rs, "SendRecv", [&] {
    for (int k = 1; k <= count; ++k) LinePrint(rs, RenderLine(rs, At(lines, k)));
  });
}

}  // namespace hx
