#include "report/tag_format.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <system_error>

#include "base/run_error.h"
#include "base/text.h"

namespace hx {
namespace {

// Right justification never adds more blanks than this.
constexpr size_t kMaxLeadingBlanks = 12;
// Significant digits a single-precision value is trusted with in the general form.
constexpr int kFloatSignificantDigits = 7;
// Width of the failure fill of a tag that has neither a width nor texts.
constexpr int16_t kBareFillWidth = 3;

// A field width that cannot be negative; a negative one is an invalid argument.
size_t FieldWidth(int16_t width) {
  if (width < 0) throw RunError(err::kInvalidCall);
  return static_cast<size_t>(width);
}

std::string Stars(int16_t width) {
  return std::string(FieldWidth(width), '*');
}

// Width of the text display: the longer of the two substitute texts.
int16_t TextDisplayWidth(const Tag& tag) {
  return std::max(Length16(tag.TagTrueText), Length16(tag.TagFalseText));
}

// Pads text with blanks on the right, or cuts it, to exactly width characters.
std::string LeftJustify(std::string_view text, int16_t width) {
  std::string out(text.substr(0, FieldWidth(width)));
  out.resize(FieldWidth(width), ' ');
  return out;
}

// The last width characters of text with 12 blanks put in front: a longer
// text loses its left end, a much shorter one gets no more than 12 blanks.
std::string RightJustify(std::string_view text, int16_t width) {
  std::string padded = std::string(kMaxLeadingBlanks, ' ') + std::string(text);
  size_t keep = std::min(FieldWidth(width), padded.size());
  return padded.substr(padded.size() - keep);
}

std::string TextDisplay(const Tag& tag, bool is_true) {
  return LeftJustify(is_true ? tag.TagTrueText : tag.TagFalseText, TextDisplayWidth(tag));
}

// What a mask asks for: whether a decimal separator is written, and how many decimals.
struct MaskShape {
  bool separator = false;
  size_t decimals = 0;
};

MaskShape ShapeOf(std::string_view mask) {
  MaskShape shape;
  size_t point = mask.find('.');
  if (point == std::string_view::npos) return shape;
  shape.separator = true;
  shape.decimals = static_cast<size_t>(std::count(mask.begin() + point + 1, mask.end(), '0'));
  return shape;
}

// Rounds the plain decimal text digits (digits with at most one ".", no sign)
// half away from zero to the mask's decimals, and writes it in the mask's shape.
std::string RoundDecimal(bool negative, std::string_view digits, MaskShape shape) {
  size_t point = digits.find('.');
  std::string whole(digits.substr(0, point));
  std::string fraction;
  if (point != std::string_view::npos) fraction = std::string(digits.substr(point + 1));

  bool round_up = fraction.size() > shape.decimals && fraction[shape.decimals] >= '5';
  fraction.resize(shape.decimals, '0');
  if (round_up) {
    // Carry from the last kept decimal into the integer part.
    std::string all = whole + fraction;
    size_t k = all.size();
    while (k > 0 && all[k - 1] == '9') all[--k] = '0';
    if (k == 0)
      all.insert(all.begin(), '1');
    else
      ++all[k - 1];
    whole = all.substr(0, all.size() - fraction.size());
    fraction = all.substr(all.size() - fraction.size());
  }

  size_t first = whole.find_first_not_of('0');
  whole = first == std::string::npos ? "0" : whole.substr(first);

  // A value that rounds to zero shows no sign: "-0.00" would be a value nobody sent.
  bool all_zero = whole == "0" && fraction.find_first_not_of('0') == std::string::npos;
  std::string out = negative && !all_zero ? "-" : "";
  out += whole;
  if (shape.separator) out.append(1, '.').append(fraction);
  return out;
}

// General form of a float: up to 7 significant digits, exponent only for
// very large or very small magnitudes, no trailing zeros.
std::string GeneralForm(float value) {
  if (value == 0) return "0";  // also for -0
  std::array<char, 64> buffer{};
  auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                 std::chars_format::general, kFloatSignificantDigits);
  if (ec != std::errc()) return "*";
  std::string text(buffer.data(), end);
  std::replace(text.begin(), text.end(), 'e', 'E');
  return text;
}

// value written through a display mask of "#" positions, one "0" and, for a
// fixed number of decimals, "." and one "0" per decimal.  The integer part
// has no leading zeros and at least one digit; "." is always the separator
// and no grouping is written.  A float is rounded half away from zero on the
// shortest decimal text that reads back as the same float, so a reply of
// 2.675 shows 2.68 and not the 2.67 its binary value would round to.  An
// empty mask gives the general form: every digit of an integer, up to 7
// significant digits of a float without trailing zeros.
std::string FormatWithMask(int32_t value, std::string_view mask) {
  std::string out = std::to_string(value);
  MaskShape shape = ShapeOf(mask);
  if (shape.separator) out.append(1, '.').append(shape.decimals, '0');
  return out;
}

std::string FormatWithMask(float value, std::string_view mask) {
  if (mask.empty()) return GeneralForm(value);

  // The shortest fixed-point text that reads back as this float: at most
  // 39 integer digits or 45 leading decimal zeros and a digit, plus the sign.
  std::array<char, 128> buffer{};
  auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), std::fabs(value),
                                 std::chars_format::fixed);
  if (ec != std::errc()) return "*";
  return RoundDecimal(std::signbit(value), std::string_view(buffer.data(), end), ShapeOf(mask));
}

}  // namespace

std::string IntegerText(const Tag& tag, int32_t value) {
  if (tag.TagDigits == 0) return TextDisplay(tag, value != 0);
  std::string s = FormatWithMask(value, tag.TagFormat);
  if (s.size() > FieldWidth(tag.TagDigits)) s = Stars(tag.TagDigits);
  return RightJustify(s, tag.TagDigits);
}

std::string FloatText(const Tag& tag, float value) {
  int16_t digits_and_decimals = Add16(tag.TagDigits, tag.TagDecimals);
  // NaN compares unequal to 0 but is no true value either.
  if (digits_and_decimals <= 0) return TextDisplay(tag, value != 0 && !std::isnan(value));

  int16_t width = Add16(digits_and_decimals, 1);
  if (!std::isfinite(value)) return Stars(width);
  std::string s = FormatWithMask(value, tag.TagFormat);
  // Without decimals the mask still leaves its separator at the end.  Only
  // that separator goes: a tag without a mask shows its value in general
  // form, and cutting a digit off that would show another number.
  if (tag.TagDecimals == 0 && s.ends_with('.')) s.pop_back();
  if (s.size() > FieldWidth(width)) return Stars(width);
  return RightJustify(s, width);
}

std::string StringText(const Tag& tag, std::string_view reply) {
  int16_t width = tag.TagDigits > 0 ? tag.TagDigits : int16_t{1};
  std::string s = LeftJustify(reply.empty() ? std::string_view(tag.TagFalseText) : reply, width);
  StripLead(s);
  return StripTrail(s);
}

std::string FailureFill(const Tag& tag, bool marked) {
  int16_t width = Add16(tag.TagDigits, tag.TagDecimals);
  if (tag.TagDecimals > 0) width = Add16(width, 1);
  if (width <= 0) {
    width = TextDisplayWidth(tag);
    if (width == 0) width = kBareFillWidth;
  }
  std::string fill(FieldWidth(width), '?');
  if (marked) {
    // The mark goes over characters 2 to 4 as far as the fill reaches; a
    // single "?" has no room for it and stays as it is.
    constexpr std::string_view kMark = "TAG";
    for (size_t k = 0; k < kMark.size() && k + 1 < fill.size(); ++k) fill[k + 1] = kMark[k];
  }
  return fill;
}

}  // namespace hx
