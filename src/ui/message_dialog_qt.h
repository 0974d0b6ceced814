// The Qt realisation of the message dialog seam: MBox1, created on first
// use and reused, never waiting for the user.  Every message also goes to
// standard error so that unattended runs leave a trace.

#ifndef HX_UI_MESSAGE_DIALOG_QT_H_
#define HX_UI_MESSAGE_DIALOG_QT_H_

#include <memory>

#include "platform/platform.h"

class QMessageBox;

namespace hx {

class QtMessageDialog : public MessageDialog {
 public:
  QtMessageDialog();
  ~QtMessageDialog() override;
  void ShowMessage(const std::string& message, int16_t flags, const std::string& caption) override;

 private:
  std::unique_ptr<QMessageBox> box_;
};

}  // namespace hx

#endif  // HX_UI_MESSAGE_DIALOG_QT_H_
