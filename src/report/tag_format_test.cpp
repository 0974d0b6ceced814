#include "report/tag_format.h"

#include <gtest/gtest.h>

#include <limits>
#include <tuple>

#include "base/run_error.h"

namespace hx {
namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

Tag MakeTag(int16_t digits, int16_t decimals, std::string mask, std::string on = "",
            std::string off = "") {
  return Tag{0, 0, "", digits, decimals, std::move(on), std::move(off), std::move(mask), ""};
}

TEST(TagFormatTest, IntegerText) {
  const std::tuple<Tag, int32_t, std::string> cases[] = {
      {MakeTag(3, 0, "###0"), 5, "  5"},
      {MakeTag(3, 0, "###0"), 1000, "***"},
      {MakeTag(3, 0, "###0"), -123, "***"},
      {MakeTag(20, 0, "0"), 5, std::string(12, ' ') + "5"},
      {MakeTag(0, 0, "", "ON", "OFF"), 0, "OFF"},
      {MakeTag(0, 0, "", "ON", "OFF"), -1, "ON "},
      {MakeTag(0, 0, ""), 42, ""}};
  for (const auto& [tag, value, expected] : cases)
    EXPECT_EQ(IntegerText(tag, value), expected) << value;
}

TEST(TagFormatTest, FloatText) {
  const std::tuple<Tag, float, std::string> cases[] = {
      {MakeTag(3, 2, "###0.00"), -12.5f, "-12.50"},
      {MakeTag(3, 2, "###0.00"), 2.675f, "  2.68"},   // the value as sent, not its binary neighbour
      {MakeTag(3, 2, "###0.00"), -0.001f, "  0.00"},  // no sign on a value shown as zero
      {MakeTag(3, 2, "###0.00"), 1000.5f, "******"},
      {MakeTag(3, 2, "###0.00"), -123.4f, "******"},
      {MakeTag(3, 2, "###0.00"), kNaN, "******"},
      {MakeTag(3, 0, "###0."), 12.6f, "  13"},
      {MakeTag(3, 0, "###0."), 99.5f, " 100"},
      {MakeTag(5, 1, ""), 3.14159f, "3.14159"},
      // Without a mask the general form has no separator to lose, and keeps its digits.
      {MakeTag(5, 0, ""), 12.5f, "  12.5"},
      {MakeTag(5, 0, ""), 0.f, "     0"},
      {MakeTag(5, 0, ""), 1e-5f, " 1E-05"},
      {MakeTag(0, 0, "", "HIGH", "LOW"), -0.f, "LOW "},
      {MakeTag(0, 0, "", "HIGH", "LOW"), kNaN, "LOW "},
      {MakeTag(0, 0, "", "HIGH", "LOW"), 1e-3f, "HIGH"}};
  for (const auto& [tag, value, expected] : cases)
    EXPECT_EQ(FloatText(tag, value), expected) << value;
}

TEST(TagFormatTest, StringTextCutsThenStrips) {
  const std::tuple<int16_t, std::string, std::string, std::string> cases[] = {
      {5, "  HELLO", "", "HEL"},
      {5, "AB CDEFG", "", "AB CD"},
      {5, "\tA\r\n", "", "A"},
      {5, "", " NOTHING", "NOTH"},
      {0, "XYZ", "", "X"},
      {5, "\xE9t\xE9", "", "\xE9t\xE9"},  // bytes above 127 are no blanks
  };
  for (const auto& [digits, reply, off, expected] : cases)
    EXPECT_EQ(StringText(MakeTag(digits, 0, "", "", off), reply), expected) << reply;
}

TEST(TagFormatTest, FailureFill) {
  const std::tuple<Tag, std::string> cases[] = {{MakeTag(5, 0, ""), "?TAG?"},
                                                {MakeTag(3, 2, ""), "?TAG??"},
                                                {MakeTag(3, 0, ""), "?TA"},
                                                {MakeTag(1, 0, ""), "?"},
                                                {MakeTag(0, 0, "", "HIGH", "LOW"), "?TAG"},
                                                {MakeTag(0, 0, ""), "?TA"}};
  for (const auto& [tag, marked] : cases) {
    EXPECT_EQ(FailureFill(tag, true), marked);
    EXPECT_EQ(FailureFill(tag, false), std::string(marked.size(), '?')) << marked;
  }
}

TEST(TagFormatTest, WidthBeyondSixteenBitsIsOverflow) {
  for (auto format : {+[] { FloatText(MakeTag(32766, 1, "0.0"), 1.f); },
                      +[] { FailureFill(MakeTag(32767, 1, ""), true); }}) {
    try {
      format();
      ADD_FAILURE() << "no overflow";
    } catch (const RunError& e) {
      EXPECT_EQ(e.number(), err::kOverflow);
    }
  }
}

}  // namespace
}  // namespace hx
