#include "qt/main_window_qt.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QPlainTextEdit>
#include <QScreen>

#include "qt/program_text.h"
#include "ui/message_layout.h"

namespace hx {

MainWindow::MainWindow(const CodePage& code_page, bool closable)
    : code_page_(code_page), closable_(closable), txtShow_(new QPlainTextEdit(this)) {
  setWindowTitle(QString::fromLatin1(kMainCaption));
  setObjectName(QStringLiteral("Main"));
  const double dpi = screen() ? screen()->logicalDotsPerInch() : 96.0;
  auto px = [dpi](double twips) { return TwipsToPixels(twips, dpi); };
  resize(px(kMainWidth), px(kMainHeight));

  txtShow_->setObjectName(QStringLiteral("txtShow"));
  txtShow_->setGeometry(px(kTxtShow.left), px(kTxtShow.top), px(kTxtShow.width),
                        px(kTxtShow.height));
  txtShow_->setReadOnly(true);
  txtShow_->setLineWrapMode(QPlainTextEdit::NoWrap);
  txtShow_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  txtShow_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  QFont font(QString::fromLatin1(kTxtShowFontName));
  font.setStyleHint(QFont::Monospace);
  font.setPointSizeF(kTxtShowFontSize);
  txtShow_->setFont(font);
}

void MainWindow::ShowMain() {
  show();
}

void MainWindow::InsertText(const std::string& text) {
  // The report's line ends are CR LF; the text box wants one line break.
  const std::string plain = WithPlainLineBreaks(text);
  txtShow_->insertPlainText(FromProgramText(plain, code_page_));
}

void MainWindow::ProcessEvents() {
  QCoreApplication::processEvents();
}

void MainWindow::StayOpen() {
  if (closed_by_user_) return;
  QEventLoop until_closed;
  connect(this, &MainWindow::closed, &until_closed, &QEventLoop::quit);
  show();
  QWidget* keep_in_front = keep_in_front_ ? keep_in_front_() : nullptr;
  if (keep_in_front != nullptr && keep_in_front->isVisible()) keep_in_front->raise();
  until_closed.exec();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  event->accept();
  closed_by_user_ = true;
  emit closed();
}

}  // namespace hx
