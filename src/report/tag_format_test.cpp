#include "report/tag_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "ui/run_error.h"

namespace hx {
namespace {

Tag NumberTag(int16_t digits, int16_t decimals, std::string mask) {
  Tag t;
  t.TagDigits = digits;
  t.TagDecimals = decimals;
  t.TagFormat = std::move(mask);
  return t;
}

Tag TextTag(std::string on, std::string off) {
  Tag t;
  t.TagTrueText = std::move(on);
  t.TagFalseText = std::move(off);
  return t;
}

std::string Blanks(size_t n) {
  return std::string(n, ' ');
}

int RaisedNumber(auto&& call) {
  try {
    call();
  } catch (const RunError& e) {
    return e.number();
  }
  return 0;
}

TEST(JustifyTest, LeftAndRight) {
  EXPECT_EQ(LeftJustify("ON", 3), "ON ");
  EXPECT_EQ(LeftJustify("HELLO", 3), "HEL");
  EXPECT_EQ(LeftJustify("ON", 0), "");
  EXPECT_EQ(RightJustify("5", 3), "  5");
  EXPECT_EQ(RightJustify("12345", 3), "345");
  EXPECT_EQ(RightJustify("5", 20), Blanks(12) + "5");
  EXPECT_EQ(RightJustify("", 0), "");
  EXPECT_EQ(RaisedNumber([] { LeftJustify("x", -1); }), err::kInvalidCall);
}

TEST(FormatWithMaskTest, Integers) {
  struct Case {
    int32_t value;
    std::string mask;
    std::string expected;
  };
  const Case cases[] = {
      {5, "##0", "5"},
      {0, "##0", "0"},
      {-12, "##0", "-12"},
      {123456, "#0", "123456"},  // digits beyond the mask are still written
      {INT32_MIN, "0", "-2147483648"},
      {7, "", "7"},
      {12345678, "", "12345678"},
      {5, "#0.00", "5.00"},  // a float mask left on an integer slot
      {5, "0.", "5."},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FormatWithMask(c.value, c.mask), c.expected) << c.value << " " << c.mask;
}

TEST(FormatWithMaskTest, Floats) {
  struct Case {
    float value;
    std::string mask;
    std::string expected;
  };
  const Case cases[] = {
      {3.14159f, "###0.00", "3.14"},
      {-12.5f, "###0.00", "-12.50"},
      {12.6f, "###0.", "13."},
      {0.4f, "0.", "0."},
      {2.675f, "0.00", "2.68"},  // rounds the value as sent, not its binary neighbour
      {0.125f, "0.00", "0.13"},  // ties away from zero
      {-0.125f, "0.00", "-0.13"},
      {9.999f, "0.00", "10.00"},  // carry into a new integer digit
      {99.5f, "0.", "100."},
      {-0.001f, "0.00", "0.00"},  // no sign on a value that rounds to zero
      {-0.0f, "0.0", "0.0"},
      {0.1f, "0.0000000000", "0.1000000000"},
      {1e-45f, "0.0", "0.0"},
      {1.5f, "##0", "2"},  // an integer mask left on a float slot
      {16777216.0f, "0.0", "16777216.0"},
      {3.14159f, "", "3.14159"},
      {2.5f, "", "2.5"},
      {100.0f, "", "100"},
      {-0.0f, "", "0"},
      {123456789.0f, "", "1.234568E+08"},
      {0.00001f, "", "1E-05"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FormatWithMask(c.value, c.mask), c.expected) << c.value << " " << c.mask;
}

TEST(IntegerTextTest, ValueDisplay) {
  struct Case {
    int16_t digits;
    int32_t value;
    std::string expected;
  };
  const Case cases[] = {
      {3, 5, "  5"},    {3, -12, "-12"},           {3, 999, "999"},
      {3, 1000, "***"}, {3, -123, "***"},          {1, 0, "0"},
      {1, -1, "*"},     {20, 5, Blanks(12) + "5"}, {20, INT32_MIN, Blanks(9) + "-2147483648"},
  };
  for (const Case& c : cases) {
    Tag t = NumberTag(c.digits, 0, std::string(static_cast<size_t>(c.digits), '#') + "0");
    EXPECT_EQ(IntegerText(t, c.value), c.expected) << c.digits << " " << c.value;
  }
}

TEST(IntegerTextTest, TextDisplay) {
  struct Case {
    std::string on, off;
    int32_t value;
    std::string expected;
  };
  const Case cases[] = {
      {"ON", "OFF", 0, "OFF"},       {"ON", "OFF", 7, "ON "}, {"ON", "OFF", -1, "ON "},
      {"RUNNING", "", 0, Blanks(7)}, {"", "", 0, ""},         {"", "", 42, ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(IntegerText(TextTag(c.on, c.off), c.value), c.expected) << c.value;
}

TEST(FloatTextTest, ValueDisplay) {
  const float kNaN = std::numeric_limits<float>::quiet_NaN();
  const float kInf = std::numeric_limits<float>::infinity();
  struct Case {
    int16_t digits, decimals;
    std::string mask;
    float value;
    std::string expected;
  };
  const Case cases[] = {
      {3, 2, "###0.00", 3.14159f, "  3.14"},
      {3, 2, "###0.00", -12.5f, "-12.50"},
      {3, 2, "###0.00", 999.99f, "999.99"},
      {3, 2, "###0.00", 999.996f, "******"},  // rounds up past the field
      {3, 2, "###0.00", 1000.5f, "******"},   // never a cut, wrong number
      {3, 2, "###0.00", -123.4f, "******"},
      {3, 2, "###0.00", kNaN, "******"},
      {3, 2, "###0.00", -kInf, "******"},
      {3, 0, "###0.", 12.6f, "  13"},
      {3, 0, "###0.", 1234.0f, "1234"},
      {3, 0, "###0.", 12345.0f, "****"},
      {0, 2, "0.00", 1.5f, "***"},  // the field has no room for the integer digit
      {20, 2, std::string(20, '#') + "0.00", 1.5f, Blanks(12) + "1.50"},
      {2, 0, "##0", 12.6f, "  1"},  // a mask without separator loses its last digit instead
  };
  for (const Case& c : cases)
    EXPECT_EQ(FloatText(NumberTag(c.digits, c.decimals, c.mask), c.value), c.expected)
        << c.digits << "." << c.decimals << " " << c.value;
}

TEST(FloatTextTest, TextDisplayTakesFalseForZeroAndNaN) {
  const Tag t = TextTag("HIGH", "LOW");
  struct Case {
    float value;
    std::string expected;
  };
  const Case cases[] = {
      {0.0f, "LOW "},   {-0.0f, "LOW "}, {std::numeric_limits<float>::quiet_NaN(), "LOW "},
      {0.001f, "HIGH"}, {-5.0f, "HIGH"}, {std::numeric_limits<float>::infinity(), "HIGH"},
  };
  for (const Case& c : cases) EXPECT_EQ(FloatText(t, c.value), c.expected) << c.value;
}

TEST(FloatTextTest, WidthBeyondSixteenBitsIsOverflow) {
  EXPECT_EQ(RaisedNumber([] { FloatText(NumberTag(32767, 1, "0.0"), 1.0f); }), err::kOverflow);
  EXPECT_EQ(RaisedNumber([] { FloatText(NumberTag(32766, 1, "0.0"), 1.0f); }), err::kOverflow);
  EXPECT_EQ(RaisedNumber([] { FailureFill(NumberTag(32767, 1, "0.0"), true); }), err::kOverflow);
}

TEST(StringTextTest, CutsThenStrips) {
  struct Case {
    int16_t digits;
    std::string off;
    std::string reply;
    std::string expected;
  };
  const Case cases[] = {
      {5, "", "  HELLO", "HEL"},
      {5, "", "HELLO WORLD", "HELLO"},
      {5, "", "AB CDEF", "AB CD"},
      {5, "", "\tA\r\n", "A"},
      {5, "EMPTY", "", "EMPTY"},
      {5, "NOTHING HERE", "", "NOTHI"},
      {5, " NO ", "", "NO"},
      {5, "", "", ""},
      {5, "", "   ", ""},
      {0, "", "XYZ", "X"},
      {-3, "", "XYZ", "X"},
      {5, "", "\xE9t\xE9", "\xE9t\xE9"},  // bytes above 127 are no blanks
  };
  Tag t;
  for (const Case& c : cases) {
    t.TagDigits = c.digits;
    t.TagFalseText = c.off;
    EXPECT_EQ(StringText(t, c.reply), c.expected) << "'" << c.reply << "'";
  }
}

TEST(FailureFillTest, WidthFollowsTheValueDisplay) {
  struct Case {
    Tag tag;
    std::string marked, unmarked;
  };
  const Case cases[] = {
      {NumberTag(5, 0, "#####0"), "?TAG?", "?????"},
      {NumberTag(3, 2, "###0.00"), "?TAG??", "??????"},
      {NumberTag(3, 0, "###0."), "?TA", "???"},
      {NumberTag(2, 0, "##0"), "?T", "??"},
      {NumberTag(1, 0, "#0"), "?", "?"},
      {NumberTag(0, 1, "0.0"), "?T", "??"},
      {TextTag("ON", "OFF"), "?TA", "???"},
      {TextTag("RUNNING", ""), "?TAG???", "???????"},
      {TextTag("", ""), "?TA", "???"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FailureFill(c.tag, true), c.marked) << c.marked;
    EXPECT_EQ(FailureFill(c.tag, false), c.unmarked) << c.marked;
  }
}

}  // namespace
}  // namespace hx
