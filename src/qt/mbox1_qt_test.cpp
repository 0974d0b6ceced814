// MBox1 drawn off screen, driven through the message dialog seam as the
// program drives it: that the Qt window passes its buttons, keys, close
// command and activations on, and where it puts things in pixels.  What the
// dialog then does is ui/mbox1_test.cpp's.

#include "qt/mbox1_qt.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <string>

#include "qt/message_dialog_qt.h"

namespace hx {
namespace {

void Settle() {
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
}

std::string Shown(MBox1* box) {
  std::string s;
  for (const char* name : {"imgInformation", "imgCritical", "imgExclamation", "imgQuestion",
                           "cmdOk", "cmdYes", "cmdNo", "cmdCancel"})
    if (box->findChild<QWidget*>(name)->isVisible()) s += std::string(name) + " ";
  return s;
}

TEST(MBox1Test, SecondMessageReusesTheDialogWithOnlyItsOwnIconAndButtons) {
  QApplication::setOverrideCursor(Qt::WaitCursor);  // left by the work that failed
  QtMessageDialog dialog;
  dialog.ShowMessage("Error: 6  \r\nOverflow in: Do This", 16, "HX_RPT Error Handler");
  Settle();
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  MBox1* box = dialog.Box();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(Shown(box), "imgCritical cmdOk ");

  dialog.ShowMessage("PLC1\rNo reply", 32 + 4, "");
  Settle();
  EXPECT_EQ(dialog.Box(), box);
  EXPECT_EQ(Shown(box), "imgQuestion cmdYes cmdNo ");
  // Blank, not empty: the window system would show the program's name instead.
  EXPECT_EQ(box->windowTitle(), QStringLiteral(" "));
  EXPECT_EQ(box->findChild<QLabel*>("lblMsg")->text(), QStringLiteral("PLC1\nNo reply"));
}

TEST(MBox1Test, ButtonsKeysAndTheCloseCommandReachTheDialog) {
  struct Case {
    int16_t flags;
    const char* button;  // or null: the key is pressed
    int key;
    int16_t reply;
  };
  const Case cases[] = {
      {0, "cmdOk", 0, 1},
      {3, "cmdCancel", 0, 2},
      {3, "cmdYes", 0, 6},
      {4, "cmdNo", 0, 7},
      {3, nullptr, Qt::Key_Escape, 2},
      {4, nullptr, Qt::Key_Return, 6},
      {16, nullptr, Qt::Key_Enter, 1},
      {16, nullptr, 0, 99},  // the window's close command
  };
  QtMessageDialog dialog;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.flags << " " << (c.button ? c.button : "key"));
    dialog.ShowMessage("Question", c.flags, "Caption");
    Settle();
    MBox1* box = dialog.Box();
    box->controller().SetReply(99);  // so that an answer that sets nothing shows up
    if (c.button) {
      box->findChild<QPushButton*>(c.button)->click();
    } else if (c.key) {
      QKeyEvent press(QEvent::KeyPress, c.key, Qt::NoModifier);
      QApplication::sendEvent(box, &press);
    } else {
      EXPECT_FALSE(box->close());
    }
    Settle();
    EXPECT_FALSE(box->isVisible());
    EXPECT_EQ(box->controller().Reply(), c.reply);
  }

  dialog.Box()->controller().SetUnloadReq(true);
  EXPECT_TRUE(dialog.Box()->close());
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(dialog.Box(), nullptr);
  dialog.ShowMessage("again", 0, "Caption");
  EXPECT_NE(dialog.Box(), nullptr);
}

TEST(MBox1Test, PlacesTheLayoutInPixelsCentredOnTheScreen) {
  QtMessageDialog dialog;
  dialog.ShowMessage("Error: 6  ", 16, "HX_RPT Error Handler");
  Settle();
  MBox1* box = dialog.Box();
  const int one_line = box->frameGeometry().height();
  const QScreen* screen = QGuiApplication::primaryScreen();
  const double per_twip = screen->logicalDotsPerInch() / 1440;
  const MessageLayout& m = box->controller().Layout();
  EXPECT_EQ(box->frameGeometry().width(), qRound(m.width * per_twip));
  EXPECT_NEAR(box->frameGeometry().center().x(), screen->geometry().center().x(), 1);
  EXPECT_EQ(box->findChild<QPushButton*>("cmdOk")->x(), qRound(m.ok.left * per_twip));

  dialog.ShowMessage("Error: 6  \r\nOverflow in: Do This", 16, "HX_RPT Error Handler");
  Settle();
  const int line = box->findChild<QLabel*>("lblMsg")->fontMetrics().lineSpacing();
  EXPECT_NEAR(box->frameGeometry().height() - one_line, line, 1);

  std::string tall;
  for (int i = 0; i < 3000; ++i) tall += "line\r\n";
  for (const std::string& text : {std::string(5000, 'W'), tall}) {
    dialog.ShowMessage(text, 16, "HX_RPT Error Handler");
    Settle();
    EXPECT_TRUE(screen->geometry().contains(box->frameGeometry()));
    const QScrollArea* area = box->findChild<QScrollArea*>();
    EXPECT_GT(area->horizontalScrollBar()->maximum() + area->verticalScrollBar()->maximum(), 0);
  }
}

TEST(MBox1Test, ComingBackFromAnotherWindowOfTheProgramActivatesItAgain) {
  QtMessageDialog dialog;
  dialog.ShowMessage("Overflow", 16, "HX_RPT Error Handler");
  Settle();
  MBox1* box = dialog.Box();
  box->controller().SetReply(7);
  // Away to another program and straight back: no new activation.
  QApplication::setActiveWindow(nullptr);
  QApplication::setActiveWindow(box);
  EXPECT_EQ(box->controller().Reply(), 7);

  QWidget main_window;
  main_window.show();
  main_window.activateWindow();
  Settle();
  box->activateWindow();
  Settle();
  EXPECT_EQ(box->controller().Reply(), 1);
}

}  // namespace
}  // namespace hx
