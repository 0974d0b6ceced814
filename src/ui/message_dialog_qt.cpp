#include "ui/message_dialog_qt.h"

#include <QMessageBox>
#include <cstdio>

// Placeholder until MBox1 lands: a plain non-modal box.
namespace hx {
QtMessageDialog::QtMessageDialog() = default;
QtMessageDialog::~QtMessageDialog() = default;
void QtMessageDialog::ShowMessage(const std::string& message, int16_t, const std::string& caption) {
  std::string echo = message;
  for (char& c : echo)
    if (c == '\r') c = '\n';
  std::fprintf(stderr, "%s: %s\n", caption.c_str(), echo.c_str());
  if (!box_) box_ = std::make_unique<QMessageBox>();
  box_->setWindowTitle(QString::fromLatin1(caption));
  box_->setText(QString::fromLatin1(message));
  box_->show();
}
}  // namespace hx
