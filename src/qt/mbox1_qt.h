// MBox1 in Qt Widgets.  The dialog window passes its events on to the
// MBox1Controller (ui/mbox1.h), which decides what the dialog does; the
// controls, which the controller places and shows, are MBox1::Controls in
// mbox1_qt.cpp.  A tool window: no minimise or maximise button, not shown in
// the task bar.
//
// Lives on the user-interface thread, like every widget.

#ifndef HX_QT_MBOX1_QT_H_
#define HX_QT_MBOX1_QT_H_

#include <QDialog>
#include <memory>

#include "platform/platform.h"
#include "ui/mbox1.h"

namespace hx {

class MBox1 : public QDialog {
  Q_OBJECT

 public:
  explicit MBox1(const CodePage& code_page = Windows1252());
  ~MBox1() override;

  // Flags, Reply and UnloadReq, and what the dialog does.
  MBox1Controller& controller() { return controller_; }

 protected:
  bool event(QEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;

 private:
  class Controls;

  std::unique_ptr<Controls> controls_;
  MBox1Controller controller_;
  // The dialog was the program's last active window: its next activation
  // is a return from another program.
  bool last_active_ = false;
};

}  // namespace hx

#endif  // HX_QT_MBOX1_QT_H_
