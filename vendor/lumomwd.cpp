// Our stand-in for the vendor's string-conversion library LUMOMWD: the
// decimal text of a controller reply as a 32-bit integer or a 32-bit float.
// Leading blanks and a sign are allowed; reading stops at the first character
// that cannot continue the number.  Text without a number gives 0 (and the
// status -1); an integer beyond 32 bits saturates, and so does a float
// beyond the float range.  The decimal point is always ".", whatever the
// locale of the process that loaded us.

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>

#include "comm/vendor_abi.h"

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Skips leading blanks and a sign; returns whether the number is negative.
bool SkipToDigits(const char*& p) {
  while (*p != '\0' && static_cast<unsigned char>(*p) <= ' ') ++p;
  const bool negative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  return negative;
}

constexpr int16_t kConverted = 0;
constexpr int16_t kNotANumber = -1;

// With LUMOMWD_CRASH=N in the environment, the Nth conversion crashes (a
// write through a null pointer), to show what HX_RPT does when the
// conversion library fails.
void CountConversion() {
  static int conversions = 0;
  const char* crash = std::getenv("LUMOMWD_CRASH");
  if (crash != nullptr && ++conversions == std::atoi(crash)) {
    *static_cast<volatile int*>(nullptr) = 0;
    std::abort();  // should the write not end the process
  }
}

}  // namespace

extern "C" {

HX_VENDOR_EXPORT int16_t HX_VENDOR_CALL StringAsLong(int32_t* value, char* text) {
  CountConversion();
  int64_t v = 0;
  bool any = false;
  if (text != nullptr) {
    const char* p = text;
    const bool negative = SkipToDigits(p);
    const int64_t limit = negative ? -static_cast<int64_t>(std::numeric_limits<int32_t>::min())
                                   : std::numeric_limits<int32_t>::max();
    for (; IsDigit(*p); ++p) {
      any = true;
      v = std::min<int64_t>(v * 10 + (*p - '0'), limit);
    }
    if (negative) v = -v;
  }
  if (value != nullptr) *value = static_cast<int32_t>(v);
  return any ? kConverted : kNotANumber;
}

HX_VENDOR_EXPORT int16_t HX_VENDOR_CALL StringAsFloat(float* value, char* text) {
  CountConversion();
  float result = 0.0f;
  bool any = false;
  if (text != nullptr) {
    const char* p = text;
    const bool negative = SkipToDigits(p);
    std::string digits;   // the mantissa's digits, without the point
    long long point = 0;  // digits before the decimal point
    for (; IsDigit(*p); ++p, ++point) digits += *p;
    if (*p == '.') {
      for (++p; IsDigit(*p); ++p) digits += *p;
    }
    any = !digits.empty();
    long long exponent = 0;
    if (any && (*p == 'e' || *p == 'E')) {
      const char* e = p + 1;
      const bool exp_negative = *e == '-';
      if (*e == '-' || *e == '+') ++e;
      // An absurd exponent only needs to stay absurd, not exact.
      for (; IsDigit(*e); ++e) exponent = std::min(exponent * 10 + (*e - '0'), 1000000LL);
      if (exp_negative) exponent = -exponent;
    }
    const size_t first = digits.find_first_not_of('0');
    if (any && first != std::string::npos) {
      // Scale so that the digits read as d.ddd, which keeps the text that
      // from_chars sees short in its exponent however long the input was.
      const long long magnitude = point - static_cast<long long>(first) - 1 + exponent;
      const std::string rest = digits.substr(first + 1);
      const std::string normal = digits.substr(first, 1) + (rest.empty() ? "" : "." + rest) + "e" +
                                 std::to_string(magnitude);
      double d = 0;
      const auto [end, ec] = std::from_chars(normal.data(), normal.data() + normal.size(), d);
      (void)end;
      if (ec == std::errc::result_out_of_range) {
        d = magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
      }
      constexpr float kLargest = std::numeric_limits<float>::max();
      result = d > kLargest ? kLargest : static_cast<float>(d);
    }
    if (negative) result = -result;
  }
  if (value != nullptr) *value = result;
  return any ? kConverted : kNotANumber;
}

}  // extern "C"
