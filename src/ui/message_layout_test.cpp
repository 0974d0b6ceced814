#include "ui/message_layout.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "testing/fake_platform.h"

namespace hx {
namespace {

// A 1920 x 1080 screen at 96 dots per inch.
constexpr double kScreenWidth = 28800, kScreenHeight = 16200;

MessageLayout Lay(double label_width, double label_height, int16_t flags) {
  return LayoutMessage(label_width, label_height, flags, kScreenWidth, kScreenHeight);
}

std::string Shown(const MessageLayout& m) {
  const Placement* all[] = {&m.information, &m.critical, &m.exclamation, &m.question,
                            &m.ok,          &m.yes,      &m.no,          &m.cancel};
  const char* names[] = {"information", "critical", "exclamation", "question",
                         "OK",          "Yes",      "No",          "Cancel"};
  std::string s;
  for (size_t i = 0; i < std::size(all); ++i)
    if (all[i]->visible) s += std::string(names[i]) + " ";
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

TEST(LayoutMessageTest, PositionsAndRounding) {
  struct Case {
    double label_width, label_height;
    int16_t flags;
    int16_t width, height;
    double label_left, yes, no, cancel_or_ok;
  };
  const Case cases[] = {
      {2000, 195, 0, 3800, 1695, 300, 0, 0, 1600},
      {2000, 390, 16, 4370, 1890, 1000, 0, 0, 1885},            // x = 2085; OK right of it
      {2000, 195, 4, 3800, 1695, 300, 505, 2000, 0},            // 400 apart, symmetric about x
      {2000, 195, 3, 3800, 1695, 300, -242.5, 1252.5, 2747.5},  // No centred on x, 400 between
      {481, 195, 0, 2281, 1695, 300, 0, 0, 840},                // x = [1040.5] = 1040
      {480.5, 195, 0, 2280, 1695, 300, 0, 0, 840},              // W = [2280.5] = 2280
      {481.5, 195, 0, 2282, 1695, 300, 0, 0, 841},              // W = [2281.5] = 2282
      {2000, 195, 64, 4355, 1695, 1000, 0, 0, 1878},            // x = [2077.5] = 2078
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.label_width << " flags " << c.flags);
    const MessageLayout m = Lay(c.label_width, c.label_height, c.flags);
    EXPECT_EQ(m.width, c.width);
    EXPECT_EQ(m.height, c.height);
    EXPECT_EQ(m.left, (kScreenWidth - c.width) / 2);
    EXPECT_EQ(m.top, (kScreenHeight - c.height) / 2);
    EXPECT_EQ(m.label_left, c.label_left);
    EXPECT_EQ(m.yes.left, c.yes);
    EXPECT_EQ(m.no.left, c.no);
    EXPECT_EQ((m.cancel.visible ? m.cancel : m.ok).left, c.cancel_or_ok);
    for (const Placement* p : {&m.ok, &m.yes, &m.no, &m.cancel}) EXPECT_EQ(p->top, c.height - 850);
  }
  const MessageLayout two_lines = Lay(2000, 390, 16);
  EXPECT_EQ(two_lines.critical.left, 200);
  EXPECT_EQ(two_lines.critical.top, 345);                // (1890 - 1200) / 2
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

TEST(MessageTextTest, PlainLineBreaksInTheDialogAndOnStandardError) {
  EXPECT_EQ(WithPlainLineBreaks("Error: 6  \r\nOverflow in: Do This"),
            "Error: 6  \nOverflow in: Do This");
  EXPECT_EQ(WithPlainLineBreaks("PLC1\rNo reply\r\r\n\n"), "PLC1\nNo reply\n\n\n");

  // Every message also goes to standard error before it is shown.
  testing::FakeDialog shown;
  EchoingDialog dialog(shown);
  ::testing::internal::CaptureStderr();
  dialog.ShowMessage("PLC1\rNo reply", 0, "Communication Error Message");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "Communication Error Message: PLC1\nNo reply\n");
  EXPECT_EQ(shown.Texts(), std::vector<std::string>{"PLC1\rNo reply"});
}

}  // namespace
}  // namespace hx
