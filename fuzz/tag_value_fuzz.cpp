// Reply conversion and formatting of one tag value: Process_List on a single
// tag whose controller answers what the input scripts.
//
// Input: the first line is a tag definition after its index and controller
// (type, name, digits or TRUE text, decimals or FALSE text, table index),
// read by ReadTagLine as tag 0 on controller 1; the second line holds the
// status the library answers and, optionally, the reply length it claims;
// everything after it is the reply.
//
// The display text must never claim a value other than the one the reply
// converted to: it is that value formatted, a row of "*", or a "?" fill,
// with blanks in front for the right justification.  A number reply without
// a digit converts to nothing and shows the fill.

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "base/run_error.h"
#include "comm/controller_link.h"
#include "definition/tag_line.h"
#include "fuzz/fuzz_run.h"
#include "report/process_list.h"

namespace hx::fuzz {
namespace {

struct Script {
  std::string definition;
  int16_t status = 0;
  bool claims_length = false;
  int32_t claimed_length = 0;
  std::string reply;
};

Script ReadScript(std::string_view input) {
  Script s;
  const size_t first = input.find('\n');
  s.definition = std::string(input.substr(0, first));
  if (first == std::string_view::npos) return s;
  const size_t second = input.find('\n', first + 1);
  const std::string numbers(input.substr(first + 1, second - first - 1));
  char* end = nullptr;
  s.status = static_cast<int16_t>(std::strtol(numbers.c_str(), &end, 10));
  char* after = nullptr;
  const long long length = std::strtoll(end, &after, 10);
  if (after != end) {
    s.claims_length = true;
    s.claimed_length = static_cast<int32_t>(std::clamp<long long>(length, INT32_MIN, INT32_MAX));
  }
  if (second != std::string_view::npos) s.reply = std::string(input.substr(second + 1));
  return s;
}

bool AllOf(std::string_view text, char c) {
  return std::all_of(text.begin(), text.end(), [c](char x) { return x == c; });
}

// text without its leading blanks, after checking that it is right-justified:
// no more than 12 blanks in front, and never cut (a cut number would claim
// another value, which the parse below then catches).
std::string_view Justified(std::string_view text, long width, const std::string& where) {
  Check(static_cast<long>(text.size()) <= width, "a value is no wider than its field", where);
  const size_t blanks = std::min(text.find_first_not_of(' '), text.size());
  const std::string_view shown = text.substr(blanks);
  Check(
      static_cast<long>(text.size()) == std::min<long>(width, static_cast<long>(shown.size()) + 12),
      "a value is right-justified with at most 12 blanks", where);
  return shown;
}

// Whether text is a whole decimal number: a sign, digits, optionally a
// point with decimals, optionally an exponent.
bool IsDecimal(std::string_view text, bool exponent_allowed) {
  size_t at = 0;
  if (at < text.size() && text[at] == '-') ++at;
  const size_t digits_from = at;
  while (at < text.size() && IsDigitByte(text[at])) ++at;
  if (at == digits_from) return false;
  if (at < text.size() && text[at] == '.') {
    ++at;
    while (at < text.size() && IsDigitByte(text[at])) ++at;
  }
  if (exponent_allowed && at < text.size() && text[at] == 'E') {
    ++at;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
    const size_t exponent_from = at;
    while (at < text.size() && IsDigitByte(text[at])) ++at;
    if (at == exponent_from) return false;
  }
  return at == text.size();
}

// The reply as the link delivers it: what the library wrote into the
// buffer, the rest of the buffer zero, as far as the claimed length reaches.
std::string Delivered(const Script& s) {
  const long long length =
      s.claims_length ? s.claimed_length : static_cast<long long>(s.reply.size());
  const std::string buffer = s.reply.substr(0, 255) + std::string(255, '\0');
  return buffer.substr(0, static_cast<size_t>(std::clamp<long long>(length, 0, 255)));
}

void CheckTextDisplay(const Tag& tag, bool is_true, const std::string& where) {
  const std::string& chosen = is_true ? tag.TagTrueText : tag.TagFalseText;
  const size_t width = std::max(tag.TagTrueText.size(), tag.TagFalseText.size());
  Check(tag.TagText == chosen + std::string(width - chosen.size(), ' '),
        "a text display shows the text of the value's truth", where);
}

void CheckInteger(const Tag& tag, int32_t value, const std::string& where) {
  if (tag.TagDigits == 0) return CheckTextDisplay(tag, value != 0, where);
  const std::string plain = std::to_string(value);
  if (AllOf(tag.TagText, '*') && !tag.TagText.empty()) {
    Check(tag.TagText.size() == static_cast<size_t>(tag.TagDigits) &&
              plain.size() > static_cast<size_t>(tag.TagDigits),
          "an integer is starred only when it does not fit", where);
    return;
  }
  Check(Justified(tag.TagText, tag.TagDigits, where) == plain,
        "an integer shows its converted value", where);
}

void CheckFloat(const Tag& tag, float value, const std::string& where) {
  const long width = long{tag.TagDigits} + tag.TagDecimals + 1;
  if (width <= 1) return CheckTextDisplay(tag, value != 0 && !std::isnan(value), where);
  if (AllOf(tag.TagText, '*') && !tag.TagText.empty()) {
    Check(static_cast<long>(tag.TagText.size()) == width, "a starred float fills its field", where);
    return;
  }
  const std::string shown(Justified(tag.TagText, width, where));
  const bool general = tag.TagFormat.empty();  // no mask: as many digits as the value needs
  Check(IsDecimal(shown, general), "a float shows a decimal number", where);
  if (!general) {
    const size_t point = shown.find('.');
    const size_t decimals = point == std::string::npos ? 0 : shown.size() - point - 1;
    Check((point == std::string::npos) == (tag.TagDecimals == 0) &&
              decimals == static_cast<size_t>(tag.TagDecimals),
          "a float shows as many decimals as its mask", where);
  }
  // The float's own imprecision, plus half a unit of the last shown digit.
  const double f = value;
  const double shown_value = std::strtod(shown.c_str(), nullptr);
  const double slack = general ? std::fabs(f) * 1e-6
                               : 0.5 * std::pow(10.0, -tag.TagDecimals) + std::fabs(f) * 1.2e-7;
  Check(std::fabs(shown_value - f) <= slack + 1e-300, "a float shows its converted value",
        where + "\n=> converted " + std::to_string(f));
}

void CheckString(const Tag& tag, const Script& s, const std::string& where) {
  const std::string& text = tag.TagText;
  Check(text.empty() || (!IsBlankByte(text.front()) && !IsBlankByte(text.back())),
        "a string value has no blanks at either end", where);
  Check(text.size() <= static_cast<size_t>(std::max<int16_t>(tag.TagDigits, 1)),
        "a string value is no wider than its field", where);
  // The reply as the link may deliver it: what the library wrote into the
  // buffer, the rest of the buffer zero.
  const std::string delivered = s.reply.substr(0, 255) + std::string(255, '\0');
  Check(
      delivered.find(text) != std::string::npos || tag.TagFalseText.find(text) != std::string::npos,
      "a string value is part of the reply or of the FALSE text", where);
}

// The "?" fill of a failed query: as wide as the value display, "TAG" over
// its second to fourth character when the controller answered the failure.
void CheckFill(const Tag& tag, bool marked_only, const std::string& where) {
  long width = long{tag.TagDigits} + tag.TagDecimals + (tag.TagDecimals > 0 ? 1 : 0);
  if (width <= 0)
    width = static_cast<long>(std::max(tag.TagTrueText.size(), tag.TagFalseText.size()));
  if (width <= 0) width = 3;
  std::string marked(static_cast<size_t>(width), '?');
  for (size_t k = 1; k < 4 && k < marked.size(); ++k) marked[k] = "TAG"[k - 1];
  const std::string plain(static_cast<size_t>(width), '?');
  Check(tag.TagText == marked || (!marked_only && tag.TagText == plain),
        "a failed query shows a \"?\" fill as wide as the value", where);
}

}  // namespace
}  // namespace hx::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace hx;
  using fuzz::Check;
  const fuzz::Script s = fuzz::ReadScript(fuzz::AsText(data, size));
  if (s.definition.size() > 32767) return 0;  // the reader stops at such a line

  fuzz::FuzzRun run;
  ReportState& rs = run.rs;
  InitBuffers(rs);
  rs.ControllerName[1] = "PLANT";
  rs.ControllerHandle[1] = 7;
  try {
    ReadTagLine(rs, "0 1 " + s.definition);
  } catch (const RunError&) {
    return 0;  // the reading of the file would stop here: no report pass
  }
  // Only tag 0 is queried, whatever else the line named.
  rs.LastTag = 0;
  run.vendor.send = [&](int32_t, const std::string&) { return std::pair{s.status, s.reply}; };
  if (s.claims_length) run.vendor.reported_reply_length = s.claimed_length;

  Process_List(rs);

  const Tag& tag = rs.TagTable[0];
  const std::string where = fuzz::Describe(tag) + "\nstatus " + std::to_string(s.status);
  const long digits = tag.TagDigits, decimals = tag.TagDecimals;
  // Widths are 16-bit: a fill or a float field too wide for them ends the pass.
  const bool fill_too_wide = digits + decimals + (decimals > 0 ? 1 : 0) > 32767;
  const bool float_too_wide = digits + decimals >= 32767;
  const std::string delivered = fuzz::Delivered(s);
  const bool no_number = s.status == 0 &&
                         (tag.TagKind == kKindInteger || tag.TagKind == kKindFloat) &&
                         std::none_of(delivered.begin(), delivered.end(), fuzz::IsDigitByte);
  // A length below 0 is no reply at all: the value is unknown.
  const bool no_reply = s.status == 0 && s.claims_length && s.claimed_length < 0;
  bool expect_error = false;
  if (s.status != 0 || no_number || no_reply) {
    expect_error = fill_too_wide;
  } else if (tag.TagKind == kKindFloat) {
    expect_error = float_too_wide;
  }
  Check(run.dialog.messages.size() == (expect_error ? 1u : 0u),
        "the pass fails exactly when a width leaves 16 bits", where);
  if (expect_error) {
    Check(tag.TagText.empty(), "a failed pass leaves the text as it was", where);
    return 0;
  }

  if (s.status == kStatusQueryFailed) {
    fuzz::CheckFill(tag, true, where);
  } else if (s.status != kStatusOk || no_number || no_reply) {
    fuzz::CheckFill(tag, false, where);
    Check(rs.AnyFailure, "a fill makes the run doubtful", where);
  } else if (tag.TagKind == kKindInteger) {
    Check(run.vendor.long_conversions == 1, "an integer reply is converted once", where);
    fuzz::CheckInteger(tag, run.vendor.last_long, where);
  } else if (tag.TagKind == kKindFloat) {
    Check(run.vendor.float_conversions == 1, "a float reply is converted once", where);
    fuzz::CheckFloat(tag, run.vendor.last_float, where);
  } else if (tag.TagKind == kKindText) {
    fuzz::CheckString(tag, s, where);
  } else {
    Check(tag.TagText.empty(), "a tag of no known kind shows no value", where);
  }
  return 0;
}
