// MBox1 drawn off screen, driven through the message dialog seam as the
// program drives it.

#include "ui/mbox1.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <string>

#include "ui/message_dialog_qt.h"

namespace hx {
namespace {

void Settle() {
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
}

std::string Shown(MBox1* box) {
  std::string s;
  for (const char* name : {"imgInformation", "imgCritical", "imgExclamation", "imgQuestion",
                           "cmdOk", "cmdYes", "cmdNo", "cmdCancel"})
    if (box->findChild<QWidget*>(QString::fromLatin1(name))->isVisible())
      s += std::string(name) + " ";
  return s;
}

int TopLevelBoxes() {
  int n = 0;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (qobject_cast<MBox1*>(w)) ++n;
  return n;
}

void Press(MBox1* box, int key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QApplication::sendEvent(box, &press);
  Settle();
}

TEST(MBox1Test, SecondMessageReusesTheDialogWithOnlyItsOwnIconAndButtons) {
  QtMessageDialog dialog;
  dialog.ShowMessage("Error: 6  \r\nOverflow in: Do This", 16, "HX_RPT Error Handler");
  Settle();
  MBox1* first = dialog.Box();
  ASSERT_NE(first, nullptr);
  EXPECT_TRUE(first->isVisible());
  EXPECT_EQ(Shown(first), "imgCritical cmdOk ");

  dialog.ShowMessage("PLC1\rNo reply", 32 + 4, "Communication Error Message");
  Settle();
  EXPECT_EQ(dialog.Box(), first);
  EXPECT_EQ(TopLevelBoxes(), 1);
  EXPECT_EQ(Shown(first), "imgQuestion cmdYes cmdNo ");
  EXPECT_EQ(first->windowTitle(), QStringLiteral("Communication Error Message"));
  EXPECT_EQ(first->findChild<QLabel*>("lblMsg")->text(), QStringLiteral("PLC1\nNo reply"));
  EXPECT_EQ(first->Flags(), 36);
}

TEST(MBox1Test, AnswersHideTheDialogAndKeepItForTheNextMessage) {
  struct Case {
    int16_t flags;
    const char* button;  // clicked, or null to press key
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
      {16, nullptr, Qt::Key_Escape, 99},  // no Cancel: Esc only hides
  };
  QtMessageDialog dialog;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.flags << " " << (c.button ? c.button : "key"));
    dialog.ShowMessage("Question", c.flags, "Caption");
    Settle();
    MBox1* box = dialog.Box();
    box->SetReply(99);  // so that an answer that sets nothing shows up
    if (c.button)
      box->findChild<QPushButton*>(c.button)->click();
    else
      Press(box, c.key);
    Settle();
    EXPECT_FALSE(box->isVisible());
    EXPECT_EQ(dialog.Box(), box);
    EXPECT_EQ(box->findChild<QLabel*>("lblMsg")->text(), QStringLiteral("Question"));
    EXPECT_EQ(box->Reply(), c.reply);
  }
}

TEST(MBox1Test, WindowCloseHidesUnlessUnloadIsRequested) {
  QtMessageDialog dialog;
  dialog.ShowMessage("one", 0, "");
  Settle();
  MBox1* box = dialog.Box();
  EXPECT_EQ(box->windowTitle(), QString());
  EXPECT_FALSE(box->close());
  EXPECT_FALSE(box->isVisible());
  EXPECT_EQ(dialog.Box(), box);

  dialog.ShowMessage("two", 0, "x");
  Settle();
  box->SetUnloadReq(true);
  EXPECT_TRUE(box->close());
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(dialog.Box(), nullptr);
  dialog.ShowMessage("three", 0, "x");
  EXPECT_NE(dialog.Box(), nullptr);
  EXPECT_FALSE(dialog.Box()->UnloadReq());
}

TEST(MBox1Test, PlacesTheLayoutInPixelsCentredOnTheScreen) {
  QtMessageDialog dialog;
  dialog.ShowMessage("Error: 6  ", 16, "HX_RPT Error Handler");
  Settle();
  MBox1* box = dialog.Box();
  const int one_line = box->frameGeometry().height();
  const QScreen* screen = QGuiApplication::primaryScreen();
  const double per_twip = screen->logicalDotsPerInch() / 1440;
  const MessageLayout& m = box->CurrentLayout();
  EXPECT_EQ(box->frameGeometry().width(), qRound(m.width * per_twip));
  EXPECT_NEAR(box->frameGeometry().center().x(), screen->geometry().center().x(), 1);
  EXPECT_EQ(box->findChild<QPushButton*>("cmdOk")->x(), qRound(m.ok.left * per_twip));
  EXPECT_EQ(box->findChild<QLabel*>("imgCritical")->x(), qRound(200 * per_twip));

  dialog.ShowMessage("Error: 6  \r\nOverflow in: Do This", 16, "HX_RPT Error Handler");
  Settle();
  const int label = box->findChild<QLabel*>("lblMsg")->fontMetrics().lineSpacing();
  EXPECT_NEAR(box->frameGeometry().height() - one_line, label, 1);
}

TEST(MBox1Test, HugeMessagesStayOnTheScreenAndScroll) {
  QtMessageDialog dialog;
  std::string tall;
  for (int i = 0; i < 3000; ++i) tall += "line\r\n";
  for (const std::string& text : {std::string(5000, 'W'), tall}) {
    testing::internal::CaptureStderr();  // the echo of 3000 lines is of no interest here
    dialog.ShowMessage(text, 16, "HX_RPT Error Handler");
    Settle();
    testing::internal::GetCapturedStderr();
    MBox1* box = dialog.Box();
    EXPECT_TRUE(box->CurrentLayout().label_cut);
    EXPECT_TRUE(QGuiApplication::primaryScreen()->geometry().contains(box->frameGeometry()));
    const QScrollArea* area = box->findChild<QScrollArea*>();
    EXPECT_TRUE(area->horizontalScrollBar()->maximum() > 0 ||
                area->verticalScrollBar()->maximum() > 0);
  }
}

TEST(MBox1Test, ComingBackToTheDialogLaysItOutAgain) {
  QtMessageDialog dialog;
  dialog.ShowMessage("Overflow", 16, "HX_RPT Error Handler");
  Settle();
  MBox1* box = dialog.Box();
  QWidget main_window;
  main_window.show();
  main_window.activateWindow();
  Settle();
  box->SetReply(7);
  box->SetFlags(4);
  box->activateWindow();
  Settle();
  EXPECT_EQ(box->Reply(), 1);
  EXPECT_EQ(Shown(box), "cmdYes cmdNo ");
}

TEST(MBox1Test, EchoesToStandardErrorAndDropsTheBusyPointer) {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  QApplication::setOverrideCursor(Qt::WaitCursor);
  QtMessageDialog dialog;
  testing::internal::CaptureStderr();
  dialog.ShowMessage("PLC1\rNo reply", 0, "Communication Error Message");
  const std::string echo = "Communication Error Message: PLC1\nNo reply\n";
  EXPECT_EQ(testing::internal::GetCapturedStderr().substr(0, echo.size()), echo);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

}  // namespace
}  // namespace hx

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
