#include "app/main_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QScreen>
#include <cmath>

namespace hx {

int TwipsToPixels(double twips, double dpi) {
  return static_cast<int>(std::lround(twips * dpi / 1440.0));
}

MainWindow::MainWindow() : txtShow_(new QPlainTextEdit(this)) {
  setWindowTitle(QStringLiteral("Main"));
  setObjectName(QStringLiteral("Main"));
  const double dpi = screen() ? screen()->logicalDotsPerInch() : 96.0;
  auto px = [dpi](double twips) { return TwipsToPixels(twips, dpi); };
  resize(px(11235), px(6930));

  txtShow_->setObjectName(QStringLiteral("txtShow"));
  txtShow_->setGeometry(px(300), px(360), px(10575), px(5895));
  txtShow_->setLineWrapMode(QPlainTextEdit::NoWrap);
  txtShow_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  txtShow_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  QFont font(QStringLiteral("Courier New"));
  font.setStyleHint(QFont::Monospace);
  font.setPointSizeF(8.25);
  txtShow_->setFont(font);
}

void MainWindow::ShowMain() {
  show();
}

void MainWindow::InsertText(const std::string& text) {
  // The report's line ends are CR LF; the text box wants one line break.
  QString s = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
  s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  txtShow_->insertPlainText(s);
}

void MainWindow::ProcessEvents() {
  QCoreApplication::processEvents();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  event->accept();
  emit closed();
}

}  // namespace hx
