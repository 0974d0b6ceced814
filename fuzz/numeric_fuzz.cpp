// The numeric-value rule on any field.  For a field that starts with a digit
// the value is compared with an independent reading: the leading decimal
// number with its blanks dropped, handed to strtod; the 16-bit value with a
// rounding to nearest, a half going to the even neighbour.  Any other field
// must merely come out finite or as error 6.

#include <cmath>
#include <cstdlib>
#include <string>

#include "base/run_error.h"
#include "base/text.h"
#include "fuzz/fuzz_run.h"

namespace hx::fuzz {
namespace {

// The leading decimal number of field (digits, an optional fraction, an
// optional E or D exponent with sign and digits) without the blanks inside it.
std::string LeadingNumber(std::string_view field) {
  size_t at = 0;
  auto skip_blanks = [&] {
    while (at < field.size() && IsBlankByte(field[at])) ++at;
  };
  auto digits = [&](std::string& out) {
    size_t n = 0;
    for (; at < field.size() && IsDigitByte(field[at]); ++n) {
      out += field[at++];
      skip_blanks();
    }
    return n;
  };
  std::string number;
  digits(number);
  if (at < field.size() && field[at] == '.') {
    number += field[at++];
    skip_blanks();
    digits(number);
  }
  if (at < field.size() && std::string_view("EeDd").find(field[at]) != std::string_view::npos) {
    ++at;
    skip_blanks();
    std::string exponent = "e";
    if (at < field.size() && (field[at] == '+' || field[at] == '-')) {
      exponent += field[at++];
      skip_blanks();
    }
    if (digits(exponent) > 0) number += exponent;  // a letter without digits adds nothing
  }
  return number;
}

// x rounded to the nearest integer, a half going to the even neighbour.
double RoundHalfEven(double x) {
  const double below = std::floor(x);
  const double rest = x - below;
  if (rest > 0.5) return below + 1;
  if (rest < 0.5) return below;
  return std::fmod(below, 2) == 0 ? below : below + 1;
}

}  // namespace
}  // namespace hx::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace hx;
  using fuzz::Check;
  const std::string field(fuzz::AsText(data, size));

  bool overflow = false;
  double value = 0;
  try {
    value = NumericValue(field);
    Check(std::isfinite(value), "a numeric value is finite", field);
  } catch (const RunError& e) {
    Check(e.number() == err::kOverflow, "a numeric value fails only with error 6", field);
    overflow = true;
  }
  int16_t value16 = 0;
  bool overflow16 = false;
  try {
    value16 = NumericValue16(field);
  } catch (const RunError& e) {
    Check(e.number() == err::kOverflow, "a 16-bit value fails only with error 6", field);
    overflow16 = true;
  }
  Check(!overflow || overflow16, "a value too large for a number is too large for 16 bits", field);
  if (!overflow && !overflow16)
    Check(value16 == fuzz::RoundHalfEven(value), "the 16-bit value rounds half to even",
          field + "\n=> " + std::to_string(value) + " / " + std::to_string(value16));
  if (!overflow && overflow16) {
    const double rounded = fuzz::RoundHalfEven(value);
    Check(rounded < -32768 || rounded > 32767, "only a value beyond 16 bits overflows them",
          field + "\n=> " + std::to_string(value));
  }

  // The rule is defined for the fields that pass IsNum.
  if (field.empty() || !fuzz::IsDigitByte(field[0])) return 0;
  const std::string number = fuzz::LeadingNumber(field);
  const double expected = std::strtod(number.c_str(), nullptr);
  if (std::isinf(expected)) {
    Check(overflow, "a number beyond the double range is error 6", field);
    return 0;
  }
  Check(!overflow, "a number within the double range reads", field);
  Check(value >= 0, "a field that starts with a digit is not negative", field);
  // Both readings round the same decimal number to a double; beyond that,
  // below the normal range, an underflow to 0 is as good as a tiny value.
  const bool tiny = std::fabs(expected) < 1e-300 && std::fabs(value) < 1e-300;
  Check(tiny || value == expected || std::nextafter(expected, value) == value,
        "the value is the field's leading decimal number",
        field + "\n=> " + number + " = " + std::to_string(expected) + ", read " +
            std::to_string(value));
  return 0;
}
