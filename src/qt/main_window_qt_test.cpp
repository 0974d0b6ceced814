#include "qt/main_window_qt.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <QTimer>

namespace hx {
namespace {

// A viewer who closes the window while the report is still being produced
// has ended the program: the window must not come back once the run is over.
TEST(MainWindowTest, WindowClosedDuringTheRunStaysClosed) {
  MainWindow main;
  main.ShowMain();
  main.close();

  bool waited_for_a_second_close = false;
  QTimer guard;
  guard.setSingleShot(true);
  QObject::connect(&guard, &QTimer::timeout, [&] {
    waited_for_a_second_close = true;
    main.close();
  });
  guard.start(2000);
  main.StayOpen();

  EXPECT_FALSE(waited_for_a_second_close);
  EXPECT_FALSE(main.isVisible());
  EXPECT_TRUE(main.txtShow()->isReadOnly());  // only the report writes in it
}

}  // namespace
}  // namespace hx
