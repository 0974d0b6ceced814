#include "qt/print_device_qt.h"

#include <cups/cups.h>

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <array>
#include <cstdlib>
#include <string_view>

#include "base/run_error.h"
#include "qt/program_text.h"

namespace hx {

namespace {

std::array<double, 256> MakeUnknownAdvances() {
  std::array<double, 256> advances;
  advances.fill(-1);
  return advances;
}

// The printable area when the print server cannot tell the paper: A4 with a
// quarter inch all round, which every printer can print.
QPageLayout FallbackLayout() {
  return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                     QMarginsF(6.35, 6.35, 6.35, 6.35), QPageLayout::Millimeter);
}

// The paper the queue prints on by default, with its printable area, from the
// server's answer to a question for "media-col-default".
QPageLayout PaperOf(ipp_t* answer) {
  ipp_attribute_t* paper = ippFindAttribute(answer, "media-col-default", IPP_TAG_BEGIN_COLLECTION);
  // libcups reads the paper from a job's "media-col"; the default is the same collection.
  if (paper == nullptr || !ippSetName(answer, &paper, "media-col")) return FallbackLayout();
  pwg_size_t size{};
  int margins_set = 0;
  if (!pwgInitSize(&size, answer, &margins_set) || size.width <= 0 || size.length <= 0)
    return FallbackLayout();
  // Sizes come in hundredths of a millimetre; margins that leave no room for
  // a line are not taken.
  const bool fits = size.left + size.right < size.width && size.top + size.bottom < size.length;
  const QMarginsF margins =
      fits ? QMarginsF(size.left, size.top, size.right, size.bottom) / 100 : QMarginsF();
  return QPageLayout(QPageSize(QSizeF(size.width, size.length) / 100, QPageSize::Millimeter),
                     QPageLayout::Portrait, margins, QPageLayout::Millimeter);
}

}  // namespace

struct QtPrintDevice::Destination {
  explicit Destination(cups_dest_t* d) : dest(d) {
    // The server's default orientation or the user's own choice (lpoptions).
    const char* value = cupsGetOption("orientation-requested", dest->num_options, dest->options);
    if (value != nullptr) orientation_requested = value;
    const char* uri = cupsGetOption("printer-uri-supported", dest->num_options, dest->options);
    if (uri != nullptr) printer_uri = uri;
  }
  ~Destination() { cupsFreeDests(1, dest); }
  Destination(const Destination&) = delete;
  Destination& operator=(const Destination&) = delete;

  // 4 is landscape, 5 landscape turned the other way.
  bool Landscape() const {
    const int code = std::atoi(orientation_requested.c_str());
    return code == 4 || code == 5;
  }

  // The path on the print server that takes the queue's jobs.
  std::string Resource() const {
    char scheme[32], user[256], host[256], resource[1024];
    int port = 0;
    if (httpSeparateURI(HTTP_URI_CODING_ALL, printer_uri.c_str(), scheme, sizeof scheme, user,
                        sizeof user, host, sizeof host, &port, resource,
                        sizeof resource) < HTTP_URI_STATUS_OK)
      throw RunError(err::kPrinterError,
                     "the print server gave no address for " + std::string(dest->name));
    return resource;
  }

  // The page as the queue prints it by default: its paper and printable
  // area, turned to its orientation, so that a landscape queue gets
  // landscape pages rather than portrait pages turned sideways.
  QPageLayout PageLayout(PrintServerLink& server) const {
    ipp_t* question = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(question, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                 printer_uri.c_str());
    ippAddString(question, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 cupsUser());
    ippAddString(question, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr,
                 "media-col-default");
    ipp_t* answer = server.Request(question, Resource());
    QPageLayout layout = PaperOf(answer);
    ippDelete(answer);
    layout.setOrientation(Landscape() ? QPageLayout::Landscape : QPageLayout::Portrait);
    return layout;
  }

  cups_dest_t* dest;
  std::string orientation_requested;  // empty when neither the queue nor the user sets one
  std::string printer_uri;
};

struct QtPrintDevice::Job {
  Job(const std::string& job_name, const QPageLayout& layout, const QFont& font,
      const CodePage& page)
      : name(job_name), code_page(page), buffer(&pdf), writer(&buffer) {
    buffer.open(QIODevice::WriteOnly);
    writer.setCreator(FromProgramText(name, code_page));
    writer.setTitle(FromProgramText(name, code_page));
    writer.setPageLayout(layout);
    if (!painter.begin(&writer))
      throw RunError(err::kPrinterError, "the print job could not be started");
    painter.setFont(QFont(font, &writer));
    metrics = QFontMetricsF(painter.font(), &writer);
  }

  double Advance(char byte) {
    double& width = advances[static_cast<unsigned char>(byte)];
    if (width < 0)
      width = metrics.horizontalAdvance(FromProgramText(std::string_view(&byte, 1), code_page));
    return width;
  }

  const std::string name;
  const CodePage& code_page;
  QByteArray pdf;
  QBuffer buffer;
  QPdfWriter writer;
  QPainter painter;
  QFontMetricsF metrics{QFont()};
  std::array<double, 256> advances = MakeUnknownAdvances();  // by byte; -1 until measured
};

QtPrintDevice::QtPrintDevice(const CodePage& code_page) : code_page_(code_page) {}

QtPrintDevice::~QtPrintDevice() = default;

// One question to the print server per run, when the printer is first needed
// (at the latest for the page length of the report pass).  Within one run the
// default stays the printer it was when first asked for.
QtPrintDevice::Destination* QtPrintDevice::Default() {
  if (!looked_up_) {
    looked_up_ = true;
    no_printer_ = "no printer is set up";
    try {
      if (cups_dest_t* dest = server_.DefaultDestination())
        default_ = std::make_unique<Destination>(dest);
    } catch (const RunError& e) {
      no_printer_ = e.detail();
    }
  }
  return default_.get();
}

// The queue's name; when the print server never said which queue, because it
// did not answer, the server itself is what could not be printed to.
std::string QtPrintDevice::DeviceName() {
  if (const Destination* dest = Default()) return ProgramTextFromUtf8(dest->dest->name, code_page_);
  return server_.TimedOut() ? PrintServerLink::ServerName() : std::string();
}

bool QtPrintDevice::Landscape() {
  const Destination* dest = Default();
  if (dest == nullptr) throw RunError(err::kPrinterError, no_printer_);
  return dest->Landscape();
}

PrintDevice::Page QtPrintDevice::BeginJob(const std::string& name, const std::string& font_name,
                                          double font_points) {
  const Destination* dest = Default();
  if (dest == nullptr) throw RunError(err::kPrinterError, no_printer_);
  QFont font(FromProgramText(font_name, code_page_));
  font.setPointSizeF(font_points);
  font.setStyleHint(QFont::Monospace);
  job_ = std::make_unique<Job>(name, dest->PageLayout(server_), font, code_page_);
  const QRect area = job_->writer.pageLayout().paintRectPixels(job_->writer.resolution());
  return {static_cast<double>(area.width()), static_cast<double>(area.height()),
          job_->metrics.lineSpacing()};
}

double QtPrintDevice::TextWidth(std::string_view text) {
  return job_->metrics.horizontalAdvance(FromProgramText(text, code_page_));
}

// Widths are summed character by character from a cache: shaping every
// line to measure it would cost more than drawing it.
size_t QtPrintDevice::Fitting(std::string_view text, double width) {
  double sum = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    sum += job_->Advance(text[i]);
    if (sum > width) return i;
  }
  return text.size();
}

void QtPrintDevice::DrawRow(std::string_view text, double top) {
  job_->painter.drawText(QPointF(0, top + job_->metrics.ascent()),
                         FromProgramText(text, code_page_));
}

void QtPrintDevice::NewPage() {
  if (!job_->writer.newPage()) throw RunError(err::kPrinterError, "could not start a new page");
}

void QtPrintDevice::AbandonJob() {
  job_.reset();
}

void QtPrintDevice::EndJob() {
  const std::unique_ptr<Job> job = std::move(job_);
  if (!job->painter.end() || job->pdf.isEmpty())
    throw RunError(err::kPrinterError, "the print job could not be completed");

  // The job and its document in one request; the server's answer says
  // whether the job is in the queue.
  const Destination& dest = *default_;
  ipp_t* request = ippNewRequest(IPP_OP_PRINT_JOB);
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
               dest.printer_uri.c_str());
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
               cupsUser());
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr,
               Utf8FromProgramText(job->name, code_page_).c_str());
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_MIMETYPE, "document-format", nullptr,
               CUPS_FORMAT_PDF);
  // The orientation the page was laid out for goes with the job, also when
  // it came from the user's own options rather than the queue's default.
  if (!dest.orientation_requested.empty()) {
    cups_option_t* options = nullptr;
    const int num_options =
        cupsAddOption("orientation-requested", dest.orientation_requested.c_str(), 0, &options);
    cupsEncodeOptions2(request, num_options, options, IPP_TAG_JOB);
    cupsFreeOptions(num_options, options);
  }
  ipp_t* answer =
      server_.Request(request, dest.Resource(),
                      std::string_view(job->pdf.constData(), static_cast<size_t>(job->pdf.size())));
  const int job_id = ippGetInteger(ippFindAttribute(answer, "job-id", IPP_TAG_INTEGER), 0);
  ippDelete(answer);
  if (job_id <= 0) throw RunError(err::kPrinterError, "the print server did not take the job");
}

}  // namespace hx
