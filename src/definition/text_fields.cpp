#include "definition/text_fields.h"

#include "base/run_error.h"
#include "run/report_error.h"

namespace hx {
namespace {

bool IsDelimiter(char c) {
  return IsBlank(c) || c == ',';
}

}  // namespace

std::string GetNextParam(ReportState& rs, const std::string& text) {
  std::string token;
  Trap(rs, label::kGetNextParam, [&] {
    ParamState& ps = rs.param;
    if (text != ps.source) {
      ps.position = 0;
      ps.source = text;
    }
    if (ps.position == 0) ps.position = 1;
    ps.end_position = 0;
    ps.current = 255;
    ps.length = Length16(text);

    // Positions are 1-based and stop one past the 16-bit length.
    auto at = [&](int32_t position) { return text[static_cast<size_t>(position) - 1]; };
    while (ps.position <= ps.length && IsDelimiter(at(ps.position))) ++ps.position;
    if (ps.position > ps.length) return;  // used up: every later call with this text gives ""

    ps.end_position = ps.position + 1;
    while (ps.end_position <= ps.length && !IsDelimiter(at(ps.end_position))) ++ps.end_position;
    token = text.substr(static_cast<size_t>(ps.position) - 1,
                        static_cast<size_t>(ps.end_position - ps.position));
    ps.position = ps.end_position;
  });
  return token;
}

}  // namespace hx
