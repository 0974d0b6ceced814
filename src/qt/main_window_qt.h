// Main, the program's main window, with the text box txtShow that shows the
// report as it is produced.  It is created hidden; SHOWIT shows it while the
// definition file is still being read.

#ifndef HX_QT_MAIN_WINDOW_QT_H_
#define HX_QT_MAIN_WINDOW_QT_H_

#include <QWidget>

#include "platform/platform.h"

class QPlainTextEdit;

namespace hx {

class MainWindow : public QWidget, public Screen {
  Q_OBJECT

 public:
  explicit MainWindow(const CodePage& code_page = Windows1252());

  void ShowMain() override;
  void InsertText(const std::string& text) override;
  void ProcessEvents() override;

  // Shows the window, with keep_in_front (if visible) above it, and returns
  // when the user closes it.  A window the user already closed while the
  // report was produced stays closed, and this returns at once.
  void StayOpen(QWidget* keep_in_front);

  QPlainTextEdit* txtShow() const { return txtShow_; }

 signals:
  void closed();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  const CodePage& code_page_;
  QPlainTextEdit* txtShow_;
  bool closed_by_user_ = false;
};

}  // namespace hx

#endif  // HX_QT_MAIN_WINDOW_QT_H_
