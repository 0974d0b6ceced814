#include "platform/qt_printer.h"

#include <cups/cups.h>

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPrinter>
#include <cstdlib>
#include <optional>

#include "ui/run_error.h"

namespace hx {

namespace {

struct Destination {
  std::string name;
  int orientation;
};

// The system's default print destination and the orientation it prints in,
// from its orientation-requested option (the server's default or the user's
// lpoptions; 4 or 5 is landscape).  One request to the print server; none
// when there is no printer at all.
std::optional<Destination> DefaultDestination() {
  cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, nullptr, nullptr);
  if (dest == nullptr) return std::nullopt;
  const char* value = cupsGetOption("orientation-requested", dest->num_options, dest->options);
  if (value == nullptr)
    value = cupsGetOption("orientation-requested-default", dest->num_options, dest->options);
  const int code = value ? std::atoi(value) : 3;
  Destination d{dest->name, (code == 4 || code == 5) ? Printer::kLandscape : 1};
  cupsFreeDests(1, dest);
  return d;
}

}  // namespace

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
  const auto dest = DefaultDestination();
  return dest ? dest->name : std::string();
}

// The job always goes to the system's default printer at the moment it
// begins, so following the default needs nothing more.
void QtPrinter::FollowDefault() {}

int QtPrinter::Orientation() {
  const auto dest = DefaultDestination();
  if (!dest) throw RunError(err::kPrinterError, "no default printer");
  return dest->orientation;
}

void QtPrinter::BeginJob() {
  if (painter_.isActive()) return;
  // Without any printer Qt still offers a printer object, one that writes
  // PDF under an empty name: that is no printer for a report.
  auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  if (printer->outputFormat() != QPrinter::NativeFormat || printer->printerName().isEmpty())
    throw RunError(err::kPrinterError, "no printer is set up");
  printer->setDocName(QStringLiteral("HX_RPT"));
  // The page is laid out in the queue's own orientation, so that a landscape
  // queue gets landscape pages rather than portrait pages turned sideways.
  const auto dest = DefaultDestination();
  const bool landscape = dest && dest->orientation == kLandscape;
  printer->setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
  if (!painter_.begin(printer.get()))
    throw RunError(err::kPrinterError, "the print job could not be started");
  printer_ = std::move(printer);
  painter_.setFont(QFont(font_, printer_.get()));
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
  if (!painter_.isActive()) return;
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
