#include "qt/qt_printer.h"

#include <cups/cups.h>

#include <QBuffer>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <cstdlib>

#include "base/run_error.h"
#include "qt/program_text.h"

namespace hx {

namespace {

constexpr const char kJobName[] = "HX_RPT";

// The printable area when the print server cannot tell the paper: A4 with a
// quarter inch all round, which every printer can print.
QPageLayout FallbackLayout() {
  return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                     QMarginsF(6.35, 6.35, 6.35, 6.35), QPageLayout::Millimeter);
}

RunError PrintServerError(const char* what) {
  return RunError(err::kPrinterError, std::string(what) + ": " + cupsLastErrorString());
}

}  // namespace

struct QtPrinter::Destination {
  explicit Destination(cups_dest_t* d) : dest(d) {
    // The server's default orientation or the user's own choice (lpoptions).
    const char* value = cupsGetOption("orientation-requested", dest->num_options, dest->options);
    if (value == nullptr)
      value = cupsGetOption("orientation-requested-default", dest->num_options, dest->options);
    if (value != nullptr) orientation_requested = value;
  }
  ~Destination() {
    cupsFreeDestInfo(info);
    cupsFreeDests(1, dest);
  }
  Destination(const Destination&) = delete;
  Destination& operator=(const Destination&) = delete;

  // 4 is landscape, 5 landscape turned the other way.
  bool Landscape() const {
    const int code = std::atoi(orientation_requested.c_str());
    return code == 4 || code == 5;
  }

  // The page as the queue prints it by default: its paper and printable area,
  // turned to its orientation.
  QPageLayout PageLayout() {
    if (info == nullptr) info = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest);
    if (info == nullptr) throw PrintServerError("the printer's capabilities could not be read");
    QPageLayout layout = FallbackLayout();
    cups_size_t size;
    // Sizes come in hundredths of a millimetre; margins that leave no room
    // for a line are not taken.
    if (cupsGetDestMediaDefault(CUPS_HTTP_DEFAULT, dest, info, 0, &size) && size.width > 0 &&
        size.length > 0) {
      const bool fits = size.left + size.right < size.width && size.top + size.bottom < size.length;
      const QMarginsF margins =
          fits ? QMarginsF(size.left, size.top, size.right, size.bottom) / 100 : QMarginsF();
      layout = QPageLayout(QPageSize(QSizeF(size.width, size.length) / 100, QPageSize::Millimeter),
                           QPageLayout::Portrait, margins, QPageLayout::Millimeter);
    }
    // The page is laid out in the queue's own orientation, so that a
    // landscape queue gets landscape pages rather than portrait pages turned
    // sideways.
    layout.setOrientation(Landscape() ? QPageLayout::Landscape : QPageLayout::Portrait);
    return layout;
  }

  cups_dest_t* dest;
  cups_dinfo_t* info = nullptr;       // asked for when a job begins
  std::string orientation_requested;  // empty when neither the queue nor the user sets one
};

struct QtPrinter::Job {
  Job(const QPageLayout& layout, const QFont& font) : buffer(&pdf), writer(&buffer) {
    buffer.open(QIODevice::WriteOnly);
    writer.setCreator(QString::fromLatin1(kJobName));
    writer.setTitle(QString::fromLatin1(kJobName));
    writer.setPageLayout(layout);
    if (!painter.begin(&writer))
      throw RunError(err::kPrinterError, "the print job could not be started");
    painter.setFont(QFont(font, &writer));
    const QFontMetricsF metrics(painter.font(), &writer);
    line_height = metrics.lineSpacing();
    ascent = metrics.ascent();
    page_height = writer.pageLayout().paintRectPixels(writer.resolution()).height();
  }

  void NewPage() {
    if (!writer.newPage()) throw RunError(err::kPrinterError, "could not start a new page");
    y = 0;
  }

  QByteArray pdf;
  QBuffer buffer;
  QPdfWriter writer;
  QPainter painter;
  double line_height = 0;
  double ascent = 0;
  double page_height = 0;
  double y = 0;  // top of the next line, in device pixels from the printable area's top
};

QtPrinter::QtPrinter() : font_(QStringLiteral("Courier New"), 12) {
  font_.setStyleHint(QFont::Monospace);
}

QtPrinter::~QtPrinter() = default;

void QtPrinter::SetFontName(const std::string& name) {
  font_.setFamily(FromProgramText(name));
}

void QtPrinter::SetFontSize(double points) {
  // A size the font system cannot take (0, negative, absurd) keeps the last good one.
  if (points > 0 && points < 1638) font_.setPointSizeF(points);
}

// One request to the print server per run, when the printer is first needed
// (at the latest for the page length of the report pass).  Within one run the
// default stays the printer it was when first asked for.
QtPrinter::Destination* QtPrinter::Default() {
  if (!looked_up_) {
    looked_up_ = true;
    if (cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, nullptr, nullptr))
      default_ = std::make_unique<Destination>(dest);
  }
  return default_.get();
}

std::string QtPrinter::DeviceName() {
  const Destination* dest = Default();
  return dest ? dest->dest->name : std::string();
}

// The job always goes to the system's default printer, so following the
// default needs nothing more.
void QtPrinter::FollowDefault() {}

int QtPrinter::Orientation() {
  const Destination* dest = Default();
  if (dest == nullptr) throw RunError(err::kPrinterError, "no default printer");
  return dest->Landscape() ? kLandscape : 1;
}

QtPrinter::Job& QtPrinter::BeginJob() {
  if (job_) return *job_;
  Destination* dest = Default();
  if (dest == nullptr) throw RunError(err::kPrinterError, "no printer is set up");
  job_ = std::make_unique<Job>(dest->PageLayout(), font_);
  return *job_;
}

void QtPrinter::PrintLine(const std::string& text) {
  Job& job = BeginJob();
  if (job.y > 0 && job.y + job.line_height > job.page_height) job.NewPage();
  job.painter.drawText(QPointF(0, job.y + job.ascent), FromProgramText(text));
  job.y += job.line_height;
}

void QtPrinter::EjectPage() {
  BeginJob().NewPage();
}

void QtPrinter::EndJob() {
  if (!job_) return;
  const std::unique_ptr<Job> job = std::move(job_);
  if (!job->painter.end() || job->pdf.isEmpty())
    throw RunError(err::kPrinterError, "the print job could not be completed");

  Destination& dest = *default_;
  // The orientation the page was laid out for goes with the job, also when
  // it came from the user's own options rather than the queue's default.
  cups_option_t* options = nullptr;
  int num_options = 0;
  if (!dest.orientation_requested.empty())
    num_options = cupsAddOption("orientation-requested", dest.orientation_requested.c_str(),
                                num_options, &options);
  int job_id = 0;
  const ipp_status_t created = cupsCreateDestJob(CUPS_HTTP_DEFAULT, dest.dest, dest.info, &job_id,
                                                 kJobName, num_options, options);
  cupsFreeOptions(num_options, options);
  if (created > IPP_STATUS_OK_EVENTS_COMPLETE || job_id <= 0)
    throw PrintServerError("the print server did not take the job");

  // The whole document in one request; the server's answer to it says
  // whether the job is in the queue.
  bool sent = cupsStartDestDocument(CUPS_HTTP_DEFAULT, dest.dest, dest.info, job_id, kJobName,
                                    CUPS_FORMAT_PDF, 0, nullptr, 1) == HTTP_STATUS_CONTINUE;
  sent = sent && cupsWriteRequestData(CUPS_HTTP_DEFAULT, job->pdf.constData(),
                                      static_cast<size_t>(job->pdf.size())) == HTTP_STATUS_CONTINUE;
  const ipp_status_t finished = cupsFinishDestDocument(CUPS_HTTP_DEFAULT, dest.dest, dest.info);
  if (!sent || finished > IPP_STATUS_OK_EVENTS_COMPLETE) {
    const RunError error = PrintServerError("the print server did not take the document");
    // A job left waiting for its document would hold up the queue.
    cupsCancelDestJob(CUPS_HTTP_DEFAULT, dest.dest, job_id);
    throw error;
  }
}

}  // namespace hx
