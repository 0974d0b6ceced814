// Main, the program's main window, with the text box txtShow that shows the
// report as it is produced.  It is created hidden; SHOWIT shows it while the
// definition file is still being read.

#ifndef HX_QT_MAIN_WINDOW_QT_H_
#define HX_QT_MAIN_WINDOW_QT_H_

#include <QWidget>
#include <functional>
#include <utility>

#include "platform/platform.h"

class QPlainTextEdit;

namespace hx {

class MainWindow : public QWidget, public Screen {
  Q_OBJECT

 public:
  // closable: whether anyone can close the window (not when it is drawn off
  // screen for want of a display).
  explicit MainWindow(const CodePage& code_page = Windows1252(), bool closable = true);

  void ShowMain() override;
  void InsertText(const std::string& text) override;
  void ProcessEvents() override;
  bool SomeoneCanClose() override { return closable_; }
  void StayOpen() override;

  // The message dialog, which StayOpen keeps in front of the window.
  void KeepInFront(std::function<QWidget*()> dialog) { keep_in_front_ = std::move(dialog); }

  QPlainTextEdit* txtShow() const { return txtShow_; }

 signals:
  void closed();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  const CodePage& code_page_;
  bool closable_;
  std::function<QWidget*()> keep_in_front_;
  QPlainTextEdit* txtShow_;
  bool closed_by_user_ = false;
};

}  // namespace hx

#endif  // HX_QT_MAIN_WINDOW_QT_H_
