// The Qt realisation of the message dialog seam: MBox1, created on first
// use and reused, never waiting for the user.  RunProgram (app/form_load.h)
// wraps it in an EchoingDialog, which leaves every message on standard
// error as well.

#ifndef HX_QT_MESSAGE_DIALOG_QT_H_
#define HX_QT_MESSAGE_DIALOG_QT_H_

#include <QPointer>

#include "platform/platform.h"
#include "qt/mbox1_qt.h"

namespace hx {

class QtMessageDialog : public MessageDialog {
 public:
  explicit QtMessageDialog(const CodePage& code_page = Windows1252());
  ~QtMessageDialog() override;
  QtMessageDialog(const QtMessageDialog&) = delete;
  QtMessageDialog& operator=(const QtMessageDialog&) = delete;

  void ShowMessage(const std::string& message, int16_t flags, const std::string& caption) override;

  // The dialog of the latest message, or null before the first one.
  MBox1* Box() const { return box_; }

 private:
  // Guarded: a dialog whose unload was requested discards itself, and the
  // next message then creates a new one.
  QPointer<MBox1> box_;
  const CodePage& code_page_;
};

}  // namespace hx

#endif  // HX_QT_MESSAGE_DIALOG_QT_H_
