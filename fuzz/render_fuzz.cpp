// The template renderer with arbitrary display texts and templates.
//
// Input, one record per line feed: records up to a line "%%" set the scene,
// "N=text" the TagText of tag N, "D=pattern" DATEFORMAT, "T=pattern"
// TIMEFORMAT; every line after it (every line, without a "%%") is a template
// line.  The rendered lines are checked against what the template asks for:
// each page break where its F field stands, each line in its place, an error
// exactly where a tag field names no slot, and no byte in a line that
// neither the template nor a text laid into it brought.

#include <algorithm>
#include <bitset>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/run_error.h"
#include "base/text.h"
#include "fuzz/fuzz_run.h"
#include "report/date_time_format.h"
#include "report/render_lines.h"

namespace hx::fuzz {
namespace {

using ByteSet = std::bitset<256>;

void Add(ByteSet& set, std::string_view text) {
  for (unsigned char c : text) set.set(c);
}

std::string Upper(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return text;
}

// What the renderer is expected to do with one template line.
struct Expectation {
  int page_breaks = 0;  // F fields before the end or before a failing field
  bool fails = false;   // a tag field names no slot of the table
  ByteSet allowed;      // bytes the rendered line may hold
  size_t covered = 0;   // the rendered line reaches at least this column
};

struct Field {
  std::string code;
  size_t closed_at;  // column of the blank that closed it, or one past the line
};

Expectation Expect(const ReportState& rs, LocalTime now, const std::string& line) {
  Expectation e;
  Add(e.allowed, line);
  e.allowed.set(' ');  // fields are padded out with blanks
  if (line.find('\\') == std::string::npos) return e;
  // Columns are 16-bit: a longer line with fields cannot be laid out at all.
  if (line.size() > 32767) {
    e.fails = true;
    return e;
  }

  // The fields: from each backslash, every character up to the next blank.
  std::vector<Field> fields;
  bool open = false;
  std::string code;
  for (size_t j = 1; j <= line.size(); ++j) {
    const char c = line[j - 1];
    if (!open && c == '\\') {
      open = true;
      code.clear();
    } else if (open && !IsBlankByte(c)) {
      code += c;
    } else if (open) {
      open = false;
      fields.push_back({code, j});
    }
  }
  if (open) fields.push_back({code, line.size() + 1});

  for (const auto& [c, closed_at] : fields) {
    if (!c.empty() && IsDigitByte(c[0])) {
      int16_t n = -1;
      try {
        n = NumericValue16(c);
      } catch (const RunError&) {
      }
      if (n < 0 || n > 400) {
        e.fails = true;
        return e;
      }
      Add(e.allowed, rs.TagTable[static_cast<size_t>(n)].TagText);
      // A tag field covers its template span, up to and including the closing blank.
      e.covered = std::max(e.covered, closed_at);
    } else if (Upper(c) == "T") {
      Add(e.allowed,
          FormatDateTime(rs.TIMEFORMAT.empty() ? kDefaultTimeFormat : rs.TIMEFORMAT, now));
    } else if (Upper(c) == "D") {
      Add(e.allowed,
          FormatDateTime(rs.DATEFORMAT.empty() ? kDefaultDateFormat : rs.DATEFORMAT, now));
    } else if (Upper(c) == "F") {
      ++e.page_breaks;
    }
  }
  return e;
}

}  // namespace
}  // namespace hx::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace hx;
  using fuzz::Check;
  fuzz::FuzzRun run;
  ReportState& rs = run.rs;
  rs.SHOWIT = true;  // every rendered line reaches the screen, one insert each

  std::vector<std::string> records = fuzz::SplitLines(fuzz::AsText(data, size));
  std::vector<std::string> block{""};  // slot 0 is unused
  size_t first_template = 0;
  for (size_t i = 0; i < records.size(); ++i)
    if (records[i] == "%%") first_template = i + 1;
  for (size_t i = 0; i + 1 < first_template; ++i) {
    const std::string& r = records[i];
    const size_t equals = r.find('=');
    if (equals == std::string::npos) continue;
    const std::string key = r.substr(0, equals), value = r.substr(equals + 1);
    if (key == "D") {
      rs.DATEFORMAT = value;
    } else if (key == "T") {
      rs.TIMEFORMAT = value;
    } else if (!key.empty() && key.size() <= 3 && fuzz::IsDigitByte(key[0])) {
      const long n = std::strtol(key.c_str(), nullptr, 10);
      if (n >= 0 && n <= 400) rs.TagTable[static_cast<size_t>(n)].TagText = value;
    }
  }
  for (size_t i = first_template; i < records.size() && block.size() <= 400; ++i)
    block.push_back(records[i]);
  const auto count = static_cast<int16_t>(block.size() - 1);

  RenderLines(rs, block, count);

  const std::vector<std::string> out = run.ScreenLines();
  size_t at = 0;
  bool failed = false;
  for (int k = 1; k <= count && !failed; ++k) {
    const std::string& line = block[static_cast<size_t>(k)];
    const fuzz::Expectation e = fuzz::Expect(rs, run.clock.now, line);
    for (int f = 0; f < e.page_breaks; ++f, ++at)
      Check(at < out.size() && out[at] == "\f", "an F field emits a form-feed line", line);
    if (e.fails) {
      failed = true;
      break;
    }
    Check(at < out.size(), "every template line is emitted", line);
    const std::string& rendered = out[at++];
    if (line.find('\\') == std::string::npos)
      Check(rendered == line, "a line without fields is emitted as written", line);
    Check(rendered.size() >= e.covered, "a tag field covers its template span",
          line + "\n=> " + rendered);
    for (unsigned char c : rendered)
      if (!e.allowed.test(c))
        fuzz::Fail("every byte of a line comes from its template or its texts",
                   line + "\n=> " + rendered);
  }
  Check(at == out.size(), "nothing is emitted after the block or after a failing line");
  Check(run.dialog.messages.size() == (failed ? 1u : 0u),
        "one message exactly when a tag field names no slot");
  if (failed)
    Check(run.dialog.messages[0].text.ends_with("in: SendRecv"),
          "the renderer reports under its label", run.dialog.messages[0].text);
  return 0;
}
