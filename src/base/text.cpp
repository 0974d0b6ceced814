#include "base/text.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "base/run_error.h"

namespace hx {
namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Reads a number the way a person writes it in the definition file, with
// blanks allowed anywhere inside it ("6 6" is 66).  Works on the decimal text
// itself rather than on a double under construction, so that a field with
// hundreds of digits or an exponent of any length cannot overflow anything
// but the final value.
class NumberScanner {
 public:
  explicit NumberScanner(std::string_view text) : text_(text) {}

  // The field starts with a digit (it passed IsNum), so it carries no sign.
  double Read() {
    // Significant digits without leading zeros, and the power of ten of the
    // first of them relative to the decimal point.
    std::string digits;
    long long point = 0;  // digits before the decimal point, leading zeros excluded
    long long zeros_after_point = 0;
    while (IsDigit(Peek())) {
      char c = Take();
      if (!digits.empty() || c != '0') {
        digits += c;
        ++point;
      }
      SkipBlanks();
    }
    if (Peek() == '.') {
      Take();
      SkipBlanks();
      while (IsDigit(Peek())) {
        char c = Take();
        if (digits.empty() && c == '0')
          ++zeros_after_point;
        else
          digits += c;
        SkipBlanks();
      }
    }
    long long exponent = ReadExponent();
    if (digits.empty()) return 0;

    // The value is 0.DIGITS times ten to the power magnitude.
    long long magnitude = (point > 0 ? point : -zeros_after_point) + exponent;
    double value;
    if (magnitude > 400) {
      value = HUGE_VAL;
    } else if (magnitude < -400) {
      value = 0;
    } else {
      std::string normal = "0." + digits + "e" + std::to_string(magnitude);
      auto [end, ec] = std::from_chars(normal.data(), normal.data() + normal.size(), value);
      (void)end;
      if (ec == std::errc::result_out_of_range) value = magnitude > 0 ? HUGE_VAL : 0;
    }
    if (!std::isfinite(value)) throw RunError(err::kOverflow);
    return value;
  }

 private:
  // E or D, an optional sign and digits; the letter without digits adds nothing.
  long long ReadExponent() {
    char letter = Peek();
    if (letter != 'E' && letter != 'e' && letter != 'D' && letter != 'd') return 0;
    Take();
    SkipBlanks();
    bool negative = false;
    if (Peek() == '-' || Peek() == '+') {
      negative = Take() == '-';
      SkipBlanks();
    }
    // Anything beyond a million is as good as infinite; stop counting there.
    constexpr long long kSaturated = 1'000'000;
    long long exponent = 0;
    while (IsDigit(Peek())) {
      exponent = std::min(kSaturated, exponent * 10 + (Take() - '0'));
      SkipBlanks();
    }
    return negative ? -exponent : exponent;
  }

  char Peek() const { return at_ < text_.size() ? text_[at_] : '\0'; }
  char Take() { return text_[at_++]; }
  void SkipBlanks() {
    while (at_ < text_.size() && IsBlank(text_[at_])) ++at_;
  }

  std::string_view text_;
  size_t at_ = 0;
};

}  // namespace

std::string& StripLead(std::string& text) {
  text.erase(text.begin(), std::find_if_not(text.begin(), text.end(), IsBlank));
  return text;
}

std::string& StripTrail(std::string& text) {
  text.erase(std::find_if_not(text.rbegin(), text.rend(), IsBlank).base(), text.end());
  return text;
}

bool IsNum(std::string_view text) {
  return !text.empty() && IsDigit(text[0]);
}

double NumericValue(std::string_view field) {
  return NumberScanner(field).Read();
}

int16_t NumericValue16(std::string_view field) {
  // nearbyint rounds in the default mode: to nearest, a half to the even neighbour.
  double rounded = std::nearbyint(NumericValue(field));
  if (!(rounded >= INT16_MIN && rounded <= INT16_MAX)) throw RunError(err::kOverflow);
  return static_cast<int16_t>(rounded);
}

std::string UpperCase(std::string_view text) {
  std::string upper(text);
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return upper;
}

}  // namespace hx
