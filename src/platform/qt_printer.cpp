#include "platform/qt_printer.h"

#include <cups/cups.h>

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>
#include <cstdlib>

#include "ui/run_error.h"

namespace hx {

int CupsDefaultOrientation() {
  cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, nullptr, nullptr);
  if (dest == nullptr) throw RunError(err::kPrinterError, "no default printer");
  const char* value = cupsGetOption("orientation-requested", dest->num_options, dest->options);
  if (value == nullptr)
    value = cupsGetOption("orientation-requested-default", dest->num_options, dest->options);
  int code = value ? std::atoi(value) : 3;
  cupsFreeDests(1, dest);
  return (code == 4 || code == 5) ? Printer::kLandscape : 1;
}

QtPrinter::QtPrinter() : font_(QStringLiteral("Courier New"), 12) {
  font_.setStyleHint(QFont::Monospace);
}

QtPrinter::~QtPrinter() = default;

void QtPrinter::SetFontName(const std::string& name) {
  font_.setFamily(QString::fromLatin1(name));
}

void QtPrinter::SetFontSize(double points) {
  // A size the font system cannot take (0, negative, absurd) keeps the last good one.
  if (points > 0 && points < 1638) font_.setPointSizeF(points);
}

std::string QtPrinter::DeviceName() {
  if (printer_) return printer_->printerName().toLatin1().toStdString();
  return QPrinterInfo::defaultPrinterName().toLatin1().toStdString();
}

// The job always goes to the system's default printer at the moment it
// begins, so following the default needs nothing more.
void QtPrinter::FollowDefault() {}

int QtPrinter::Orientation() {
  return CupsDefaultOrientation();
}

void QtPrinter::BeginJob() {
  if (job_open_) return;
  QPrinterInfo info = QPrinterInfo::defaultPrinter();
  if (info.isNull()) throw RunError(err::kPrinterError, "no printer is set up");
  printer_ = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
  printer_->setDocName(QStringLiteral("HX_RPT"));
  int orientation = 1;
  try {
    orientation = CupsDefaultOrientation();
  } catch (const RunError&) {
  }
  printer_->setPageOrientation(orientation == kLandscape ? QPageLayout::Landscape
                                                         : QPageLayout::Portrait);
  if (!painter_.begin(printer_.get())) {
    printer_.reset();
    throw RunError(err::kPrinterError, "the print job could not be started");
  }
  painter_.setFont(QFont(font_, printer_.get()));
  job_open_ = true;
  y_ = 0;
}

void QtPrinter::PrintLine(const std::string& text) {
  BeginJob();
  QFontMetricsF metrics(painter_.font(), printer_.get());
  const double height = metrics.lineSpacing();
  const double page = printer_->pageLayout().paintRectPixels(printer_->resolution()).height();
  if (y_ > 0 && y_ + height > page) {
    if (!printer_->newPage()) throw RunError(err::kPrinterError, "could not start a new page");
    y_ = 0;
  }
  painter_.drawText(QPointF(0, y_ + metrics.ascent()), QString::fromLatin1(text));
  y_ += height;
}

void QtPrinter::EjectPage() {
  BeginJob();
  if (!printer_->newPage()) throw RunError(err::kPrinterError, "could not start a new page");
  y_ = 0;
}

void QtPrinter::EndJob() {
  if (!job_open_) return;
  job_open_ = false;
  // Qt hands the finished job to the print server inside end() without
  // telling whether the server took it.  libcups keeps the status of its last
  // request, which is that hand-over; one request just before makes sure an
  // older failure is not taken for it.
  cupsFreeDests(1, cupsGetNamedDest(CUPS_HTTP_DEFAULT, nullptr, nullptr));
  if (!painter_.end()) throw RunError(err::kPrinterError, "the print job could not be completed");
  if (cupsLastError() >= IPP_STATUS_REDIRECTION_OTHER_SITE)
    throw RunError(err::kPrinterError,
                   std::string("the print server did not take the job: ") + cupsLastErrorString());
}

}  // namespace hx
