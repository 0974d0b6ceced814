#include "qt/message_dialog_qt.h"

#include <QApplication>

namespace hx {

QtMessageDialog::QtMessageDialog(const CodePage& code_page) : code_page_(code_page) {}

QtMessageDialog::~QtMessageDialog() {
  delete box_.data();
}

void QtMessageDialog::ShowMessage(const std::string& message, int16_t flags,
                                  const std::string& caption) {
  if (!box_) box_ = new MBox1(code_page_);
  // A busy pointer left by the work that failed would hang over the message.
  while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
  box_->controller().Show(message, flags, caption);
}

}  // namespace hx
