#include "check/field_overlap.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>

#include "base/run_error.h"
#include "base/text.h"
#include "check/shown_text.h"
#include "report/date_time_format.h"
#include "report/tag_format.h"

namespace hx {
namespace {

// Significant digits a single-precision value keeps; more nines than these
// would round up to a number one digit wider.
constexpr int kFloatNines = 7;
// A leap year, so that the day of the year reaches 366.
constexpr int kWidestYear = 2024;

// As many nines as the digits ask for while 32 bits hold them; beyond that
// the longest 32-bit value there is, with its sign.
int32_t FullWidthInteger(int16_t digits) {
  if (digits > 10) return std::numeric_limits<int32_t>::min();
  if (digits == 10) return std::numeric_limits<int32_t>::max();
  int32_t value = 0;
  for (int k = 0; k < digits; ++k) value = value * 10 + 9;
  return value;
}

// Nines in every integer digit and decimal, as far as a float holds them;
// the digits beyond are zeros, so that rounding never adds a digit in front.
float FullWidthFloat(const Tag& tag) {
  const int nines = std::min(tag.TagDigits + tag.TagDecimals, kFloatNines);
  const double value = std::pow(10.0, tag.TagDigits) - std::pow(10.0, tag.TagDigits - nines);
  if (!(value <= std::numeric_limits<float>::max())) return std::numeric_limits<float>::infinity();
  return static_cast<float>(value);
}

// Whether the ON text is the one to show: it is at least as long as the OFF text.
bool OnIsLonger(const Tag& tag) {
  return tag.TagTrueText.size() >= tag.TagFalseText.size();
}

std::string TextName(const TemplateField& field) {
  const FieldMeaning meaning = MeaningOf(field.code);
  switch (meaning.kind) {
    case FieldKind::kTag:
      return "tag " + std::to_string(meaning.tag);
    case FieldKind::kDate:
      return "the date";
    case FieldKind::kTime:
      return "the time";
    default:
      return "field \\" + Shown(field.code);
  }
}

std::string Columns(int first, int last) {
  return first == last ? "column " + std::to_string(first)
                       : "columns " + std::to_string(first) + " to " + std::to_string(last);
}

}  // namespace

std::string WidestTagText(const Tag& tag) {
  std::string value;
  try {
    switch (tag.TagKind) {
      case kKindInteger:
        value = tag.TagDigits == 0 ? IntegerText(tag, OnIsLonger(tag) ? 1 : 0)
                                   : IntegerText(tag, FullWidthInteger(tag.TagDigits));
        break;
      case kKindFloat:
        value = Add16(tag.TagDigits, tag.TagDecimals) <= 0
                    ? FloatText(tag, OnIsLonger(tag) ? 1.0f : 0.0f)
                    : FloatText(tag, FullWidthFloat(tag));
        break;
      case kKindText:
        value = StringText(
            tag, std::string(tag.TagDigits > 0 ? static_cast<size_t>(tag.TagDigits) : 1, 'X'));
        break;
      default:
        break;  // a tag of no kind shows a failure fill at most
    }
    // A failed query shows the fill, which may be wider than any value
    // (digits, decimals and the separator, where an integer shows digits alone).
    const std::string fill = FailureFill(tag, /*marked=*/true);
    return fill.size() > value.size() ? fill : value;
  } catch (const RunError&) {
    return {};  // the value pass stops at this tag; it shows nothing
  }
}

std::string WidestClockText(std::string_view pattern) {
  using namespace std::chrono;
  std::string widest;
  const sys_days end{year(kWidestYear + 1) / January / 1};
  for (sys_days d{year(kWidestYear) / January / 1}; d < end; d += days(1)) {
    const year_month_day ymd(d);
    // 23 reads as two digits on the 24-hour clock and as 11 on the 12-hour one.
    const LocalTime t{static_cast<int>(ymd.year()),
                      static_cast<int>(static_cast<unsigned>(ymd.month())),
                      static_cast<int>(static_cast<unsigned>(ymd.day())),
                      23,
                      59,
                      59};
    std::string text = FormatDateTime(pattern, t);
    if (text.size() > widest.size()) widest = std::move(text);
  }
  return widest;
}

std::vector<std::string> FieldOverlaps(const std::string& line,
                                       const std::vector<TemplateField>& fields,
                                       const std::vector<std::string>& texts) {
  const LineLayout layout = LayOutLine(line, fields, texts);
  auto wide = [&](size_t k) { return std::to_string(texts[k].size()) + " wide"; };
  // Template columns that belong to a field, from its backslash to the end of its code.
  std::vector<bool> in_field(line.size() + 2, false);
  for (const TemplateField& field : fields)
    for (int j = field.column; j < field.end; ++j) in_field[static_cast<size_t>(j)] = true;
  auto literal = [&](int j) {
    return j >= 1 && j <= static_cast<int>(line.size()) && !in_field[static_cast<size_t>(j)] &&
           !IsBlank(line[static_cast<size_t>(j - 1)]);
  };

  // Findings in the order of their columns.
  std::vector<std::pair<int, std::string>> findings;
  for (const LineLayout::Covered& piece : layout.covered) {
    // The piece of template text the covered characters belong to.
    int from = piece.first;
    int to = piece.last;
    while (literal(from - 1)) --from;
    while (literal(to + 1)) ++to;
    const std::string_view covered(line.data() + piece.first - 1,
                                   static_cast<size_t>(piece.last - piece.first + 1));
    const std::string_view whole(line.data() + from - 1, static_cast<size_t>(to - from + 1));
    findings.emplace_back(
        piece.first, TextName(fields[piece.by]) + " is " + wide(piece.by) + " and covers " +
                         Quoted(covered) + (covered == whole ? "" : " of " + Quoted(whole)) + ", " +
                         Columns(piece.first, piece.last) + ", which " +
                         (piece.first == piece.last ? "is" : "are") + " then not printed");
  }
  for (const LineLayout::Inside& inside : layout.inside) {
    const TemplateField& field = fields[inside.field];
    const int from = layout.starts[inside.by];
    const int to = from + static_cast<int>(texts[inside.by].size()) - 1;
    findings.emplace_back(field.column, "field \\" + Shown(field.code) + " starts in column " +
                                            std::to_string(field.column) + ", inside " +
                                            TextName(fields[inside.by]) + ", which is " +
                                            wide(inside.by) + " and fills " + Columns(from, to) +
                                            "; " + TextName(field) + " is printed from column " +
                                            std::to_string(inside.printed_from) + " instead");
  }
  std::stable_sort(findings.begin(), findings.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<std::string> texts_only;
  for (auto& [column, text] : findings) texts_only.push_back(std::move(text));
  return texts_only;
}

}  // namespace hx
