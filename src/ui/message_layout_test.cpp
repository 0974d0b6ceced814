#include "ui/message_layout.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace hx {
namespace {

// A 1920 x 1080 screen at 96 dots per inch.
constexpr double kScreenWidth = 28800, kScreenHeight = 16200;

MessageLayout Lay(double label_width, double label_height, int16_t flags) {
  return LayoutMessage(label_width, label_height, flags, kScreenWidth, kScreenHeight);
}

std::string Shown(const MessageLayout& m) {
  std::string s;
  const std::pair<const Placement*, const char*> all[] = {{&m.information, "information "},
                                                          {&m.critical, "critical "},
                                                          {&m.exclamation, "exclamation "},
                                                          {&m.question, "question "},
                                                          {&m.ok, "OK "},
                                                          {&m.yes, "Yes "},
                                                          {&m.no, "No "},
                                                          {&m.cancel, "Cancel "}};
  for (const auto& [p, name] : all)
    if (p->visible) s += name;
  return s;
}

TEST(LayoutMessageTest, FlagsChooseTheIconAndTheButtons) {
  const std::pair<int16_t, std::string> cases[] = {
      {0, "OK "},
      {16, "critical OK "},
      {32, "question OK "},
      {48, "exclamation OK "},
      {64, "information OK "},
      {4, "Yes No "},
      {3, "Yes No Cancel "},
      {2, "Yes No Cancel "},
      {5, "Yes No "},  // Yes/No is tested first
      {7, "Yes No "},
      {8, "OK "},
      {48 + 3, "exclamation Yes No Cancel "},
  };
  for (const auto& [flags, shown] : cases) EXPECT_EQ(Shown(Lay(2000, 195, flags)), shown) << flags;
}

TEST(LayoutMessageTest, CriticalErrorWithTwoLines) {
  const MessageLayout m = Lay(2000, 390, 16);
  EXPECT_EQ(m.label_left, 1000);
  EXPECT_EQ(m.label_top, 360);
  EXPECT_EQ(m.critical.left, 200);
  EXPECT_EQ(m.critical.top, 345);  // (1890 - 1200) / 2
  EXPECT_EQ(m.width, 2000 + 1800 + 570);
  EXPECT_EQ(m.height, 390 + 1500);
  EXPECT_EQ(m.left, (kScreenWidth - 4370) / 2);
  EXPECT_EQ(m.top, (kScreenHeight - 1890) / 2);
  EXPECT_EQ(m.ok.left, 1885);  // x = 2085; the lone OK stands right of it
  EXPECT_EQ(m.ok.top, 1040);
  EXPECT_FALSE(m.label_cut);
}

TEST(LayoutMessageTest, PositionsAndRounding) {
  struct Case {
    double label_width;
    int16_t flags;
    int16_t width;
    double label_left, yes, no, cancel_or_ok;
  };
  const Case cases[] = {
      {2000, 0, 3800, 300, 0, 0, 1600},
      {2000, 4, 3800, 300, 505, 2000, 0},            // 400 apart, symmetric about x = 1800
      {2000, 3, 3800, 300, -242.5, 1252.5, 2747.5},  // No centred on x, 400 between
      {481, 0, 2281, 300, 0, 0, 840},                // x = [1040.5] = 1040
      {483, 0, 2283, 300, 0, 0, 842},                // x = [1041.5] = 1042
      {480.5, 0, 2280, 300, 0, 0, 840},              // W = [2280.5] = 2280
      {481.5, 0, 2282, 300, 0, 0, 841},              // W = [2281.5] = 2282
      {2000, 64, 4355, 1000, 0, 0, 1878},            // x = [2077.5] = 2078
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.label_width << " flags " << c.flags);
    const MessageLayout m = Lay(c.label_width, 195, c.flags);
    EXPECT_EQ(m.width, c.width);
    EXPECT_EQ(m.label_left, c.label_left);
    EXPECT_EQ(m.yes.left, c.yes);
    EXPECT_EQ(m.no.left, c.no);
    EXPECT_EQ((m.cancel.visible ? m.cancel : m.ok).left, c.cancel_or_ok);
    for (const Placement* p : {&m.ok, &m.yes, &m.no, &m.cancel}) EXPECT_EQ(p->top, 845);
  }
  EXPECT_EQ(Lay(2000, 195, 64).information.top, 247.5);  // the icon keeps its half twip
}

TEST(LayoutMessageTest, TooLargeMessagesAreShownInPartAndNeverFail) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    const char* what;
    double label_width, label_height, screen_width, screen_height;
    bool cut;
  };
  const Case cases[] = {
      {"5000-character line", 5000 * 7 * 15, 195, kScreenWidth, kScreenHeight, true},
      {"3000-line message", 2000, 3000 * 195, kScreenWidth, kScreenHeight, true},
      {"at the 16-bit limit", 32767 - 1800 - 570, 32767 - 1500, 40000, 40000, false},
      {"one twip over it", 32767 - 1800 - 569, 32767 - 1499, 40000, 40000, true},
      {"screen unknown", 1e300, nan, 0, nan, true},
      {"screen smaller than the frame", 2000, 195, 500, 500, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    MessageLayout m;
    ASSERT_NO_THROW(
        m = LayoutMessage(c.label_width, c.label_height, 16, c.screen_width, c.screen_height));
    EXPECT_EQ(m.label_cut, c.cut);
    EXPECT_LE(m.label_left + m.label_width, m.width);
    EXPECT_LE(m.label_top + m.label_height, m.ok.top);  // the button stays clear of the text
    if (c.screen_width > m.width) {
      EXPECT_LE(m.width, c.screen_width);
      EXPECT_LE(m.height, c.screen_height);
      EXPECT_GE(m.left, 0);
      EXPECT_GE(m.top, 0);
    }
  }
}

TEST(MessageTextTest, LineBreaksBecomeSingleNewlines) {
  EXPECT_EQ(WithPlainLineBreaks("Error: 6  \r\nOverflow in: Do This"),
            "Error: 6  \nOverflow in: Do This");
  EXPECT_EQ(WithPlainLineBreaks("PLC1\rNo reply\r\r\n\n"), "PLC1\nNo reply\n\n\n");
  EXPECT_EQ(MessageEcho("Communication Error Message", "PLC1\rNo reply"),
            "Communication Error Message: PLC1\nNo reply\n");
}

}  // namespace
}  // namespace hx
