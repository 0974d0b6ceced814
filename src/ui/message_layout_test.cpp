#include "ui/message_layout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace hx {
namespace {

// A 1920 x 1080 screen at 96 dots per inch.
constexpr double kScreenWidth = 28800;
constexpr double kScreenHeight = 16200;

std::string Icons(const MessageLayout& m) {
  std::string s;
  if (m.information.visible) s += "information ";
  if (m.critical.visible) s += "critical ";
  if (m.exclamation.visible) s += "exclamation ";
  if (m.question.visible) s += "question ";
  return s;
}

std::string Buttons(const MessageLayout& m) {
  std::string s;
  if (m.ok.visible) s += "OK ";
  if (m.yes.visible) s += "Yes ";
  if (m.no.visible) s += "No ";
  if (m.cancel.visible) s += "Cancel ";
  return s;
}

TEST(LayoutMessageTest, FlagsChooseTheIconAndTheButtons) {
  struct Case {
    int16_t flags;
    std::string icons;
    std::string buttons;
  };
  const Case cases[] = {
      {0, "", "OK "},
      {16, "critical ", "OK "},
      {32, "question ", "OK "},
      {48, "exclamation ", "OK "},
      {64, "information ", "OK "},
      {4, "", "Yes No "},
      {3, "", "Yes No Cancel "},
      {1, "", "Yes No Cancel "},
      {2, "", "Yes No Cancel "},
      {5, "", "Yes No "},  // Yes/No is tested first
      {6, "", "Yes No "},
      {7, "", "Yes No "},
      {8, "", "OK "},  // bits the dialog does not know are ignored
      {16 + 4, "critical ", "Yes No "},
      {48 + 3, "exclamation ", "Yes No Cancel "},
      {0x100 + 32, "question ", "OK "},
  };
  for (const Case& c : cases) {
    const MessageLayout m = LayoutMessage(2000, 195, c.flags, kScreenWidth, kScreenHeight);
    EXPECT_EQ(Icons(m), c.icons) << c.flags;
    EXPECT_EQ(Buttons(m), c.buttons) << c.flags;
  }
}

TEST(LayoutMessageTest, CriticalErrorAsTheErrorHandlerShowsIt) {
  // Two lines of text, 2000 twips wide.
  const MessageLayout m = LayoutMessage(2000, 390, 16, kScreenWidth, kScreenHeight);
  EXPECT_EQ(m.label_left, 1000);
  EXPECT_EQ(m.label_top, 360);
  EXPECT_EQ(m.critical.left, 200);
  EXPECT_EQ(m.critical.top, 345);  // (1890 - 1200) / 2
  EXPECT_EQ(m.width, 2000 + 1800 + 570);
  EXPECT_EQ(m.height, 390 + 1500);
  EXPECT_EQ(m.left, (kScreenWidth - 4370) / 2);
  EXPECT_EQ(m.top, (kScreenHeight - 1890) / 2);
  // x = (4370 - 200) / 2 = 2085; the lone OK stands at x - 200.
  EXPECT_EQ(m.ok.left, 1885);
  EXPECT_EQ(m.ok.top, 1890 - 850);
  EXPECT_FALSE(m.label_cut);
  EXPECT_EQ(m.label_width, 2000);
  EXPECT_EQ(m.label_height, 390);
}

TEST(LayoutMessageTest, CommunicationMessageHasNoIcon) {
  const MessageLayout m = LayoutMessage(2000, 195, 0, kScreenWidth, kScreenHeight);
  EXPECT_EQ(m.label_left, 300);
  EXPECT_EQ(m.width, 3800);
  EXPECT_EQ(m.height, 1695);
  EXPECT_EQ(m.top, 7252.5);  // the dialog's own position is not rounded
  EXPECT_EQ(m.ok.left, 1600);
  EXPECT_EQ(m.ok.top, 845);
}

TEST(LayoutMessageTest, ButtonRowsAroundTheCentreLine) {
  const double b = 1095;
  const double x = 1800;  // (3800 - 200) / 2

  const MessageLayout yes_no = LayoutMessage(2000, 195, 4, kScreenWidth, kScreenHeight);
  EXPECT_EQ(yes_no.yes.left, 505);
  EXPECT_EQ(yes_no.no.left, 2000);
  EXPECT_EQ(yes_no.no.left - (yes_no.yes.left + b), 400);
  EXPECT_EQ((yes_no.yes.left + yes_no.no.left + b) / 2, x);

  const MessageLayout three = LayoutMessage(2000, 195, 3, kScreenWidth, kScreenHeight);
  EXPECT_EQ(three.yes.left, -242.5);
  EXPECT_EQ(three.no.left, 1252.5);
  EXPECT_EQ(three.cancel.left, 2747.5);
  EXPECT_EQ(three.no.left + b / 2, x);
  EXPECT_EQ(three.no.left - (three.yes.left + b), 400);
  EXPECT_EQ(three.cancel.left - (three.no.left + b), 400);

  // Every button shares the Top, shown or not.
  for (const Placement* p : {&three.ok, &three.yes, &three.no, &three.cancel})
    EXPECT_EQ(p->top, 845);
}

TEST(LayoutMessageTest, RoundsHalvesToTheEvenTwip) {
  struct Case {
    double label_width;
    int16_t flags;
    int16_t width;
    double ok_left;
  };
  const Case cases[] = {
      {481, 0, 2281, 840},     // x = [1040.5] = 1040
      {483, 0, 2283, 842},     // x = [1041.5] = 1042
      {480.5, 0, 2280, 840},   // W = [2280.5] = 2280
      {481.5, 0, 2282, 841},   // W = [2281.5] = 2282
      {2000, 64, 4355, 1878},  // x = [2077.5] = 2078
  };
  for (const Case& c : cases) {
    const MessageLayout m = LayoutMessage(c.label_width, 195, c.flags, kScreenWidth, kScreenHeight);
    EXPECT_EQ(m.width, c.width) << c.label_width;
    EXPECT_EQ(m.ok.left, c.ok_left) << c.label_width;
  }
  // The icon's Top keeps its half twip.
  EXPECT_EQ(LayoutMessage(2000, 195, 64, kScreenWidth, kScreenHeight).information.top, 247.5);
}

TEST(LayoutMessageTest, ASecondLineGrowsTheDialogByItsHeight) {
  const MessageLayout one = LayoutMessage(2000, 195, 16, kScreenWidth, kScreenHeight);
  const MessageLayout two = LayoutMessage(2000, 390, 16, kScreenWidth, kScreenHeight);
  EXPECT_EQ(two.height - one.height, 195);
  EXPECT_EQ(two.ok.top - one.ok.top, 195);
  EXPECT_EQ(two.critical.top - one.critical.top, 97.5);
}

TEST(LayoutMessageTest, MessageAtTheLimitOf16BitsIsShownWhole) {
  // A screen larger than 16-bit twips leaves the limit to the arithmetic.
  const double wide_screen = 40000;
  const MessageLayout m =
      LayoutMessage(32767 - 1800 - 570, 32767 - 1500, 16, wide_screen, wide_screen);
  EXPECT_FALSE(m.label_cut);
  EXPECT_EQ(m.width, 32767);
  EXPECT_EQ(m.height, 32767);

  const MessageLayout over =
      LayoutMessage(32767 - 1800 - 570 + 1, 32767 - 1500 + 1, 16, wide_screen, wide_screen);
  EXPECT_TRUE(over.label_cut);
  EXPECT_EQ(over.width, 32767);
  EXPECT_EQ(over.height, 32767);
  EXPECT_EQ(over.label_width, 32767 - 1800 - 570);
}

TEST(LayoutMessageTest, MessagesTooLargeAreShownInPartWithinTheScreen) {
  struct Case {
    const char* what;
    double label_width, label_height;
    int16_t flags;
  };
  // At 15 twips a pixel: 5000 characters of 7 pixels, 3000 lines of 13.
  const Case cases[] = {
      {"5000-character line", 5000 * 7 * 15, 195, 16},
      {"3000-line message", 2000, 3000 * 195, 16},
      {"both", 5000 * 7 * 15, 3000 * 195, 0},
      {"wider than the screen only", 30000, 195, 64},
      {"taller than the screen only", 2000, 20000, 48},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    MessageLayout m;
    ASSERT_NO_THROW(
        m = LayoutMessage(c.label_width, c.label_height, c.flags, kScreenWidth, kScreenHeight));
    EXPECT_TRUE(m.label_cut);
    EXPECT_LE(m.width, kScreenWidth);
    EXPECT_LE(m.height, kScreenHeight);
    EXPECT_GE(m.left, 0);
    EXPECT_GE(m.top, 0);
    EXPECT_LE(m.label_left + m.label_width, m.width);
    EXPECT_LE(m.label_top + m.label_height, m.ok.top);  // the buttons stay clear of the text
    const Placement& button = m.ok.visible ? m.ok : m.yes;
    EXPECT_GE(button.left, 0);
    EXPECT_LE(button.left + 1095, m.width);
  }
}

TEST(LayoutMessageTest, NeverFailsOnOddSizes) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double huge = 1e300;
  const double sizes[][4] = {
      {-100, -100, kScreenWidth, kScreenHeight},
      {nan, nan, kScreenWidth, kScreenHeight},
      {huge, huge, kScreenWidth, kScreenHeight},
      {2000, 195, 0, 0},  // screen size unknown
      {huge, huge, nan, nan},
      {2000, 195, 500, 500},  // a screen smaller than an empty dialog
  };
  for (const auto& s : sizes) {
    for (int16_t flags : {int16_t{0}, int16_t{16}, int16_t{-1}, int16_t{0x7fff}}) {
      MessageLayout m;
      ASSERT_NO_THROW(m = LayoutMessage(s[0], s[1], flags, s[2], s[3]));
      EXPECT_GE(m.width, 1800);
      EXPECT_GE(m.height, 1500);
      EXPECT_FALSE(std::isnan(m.label_width));
    }
  }
}

TEST(MessageTextTest, LineBreaksBecomeSingleNewlines) {
  struct Case {
    std::string in, out;
  };
  const Case cases[] = {
      {"Error: 6  \r\nOverflow in: Do This", "Error: 6  \nOverflow in: Do This"},
      {"PLC1\rNo reply", "PLC1\nNo reply"},
      {"a\nb", "a\nb"},
      {"a\r\r\nb\r", "a\n\nb\n"},
      {"\n\r", "\n\n"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(WithPlainLineBreaks(c.in), c.out);
}

TEST(MessageTextTest, EchoIsCaptionColonTextNewline) {
  EXPECT_EQ(MessageEcho("HX_RPT Error Handler", "Error: 53  \r\nFile not found in: FormLoad"),
            "HX_RPT Error Handler: Error: 53  \nFile not found in: FormLoad\n");
  EXPECT_EQ(MessageEcho("", "x\ry"), ": x\ny\n");
}

}  // namespace
}  // namespace hx
