#include "win32/gdi_printer.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string_view>

#include "base/run_error.h"
#include "win32/system_text.h"

namespace hx {

namespace {

constexpr char kJobName[] = "HX_RPT";

RunError PrinterError(const std::string& what) {
  return RunError(err::kPrinterError, what + ": " + LastSystemError());
}

const DEVMODEA* Settings(const std::vector<unsigned char>& devmode) {
  return devmode.empty() ? nullptr : reinterpret_cast<const DEVMODEA*>(devmode.data());
}

}  // namespace

struct GdiPrinter::Job {
  Job(const std::string& printer, const DEVMODEA* settings, const std::string& font_name,
      double font_points) {
    dc = CreateDCA("WINSPOOL", printer.c_str(), nullptr, settings);
    if (dc == nullptr) throw PrinterError("the printer could not be opened");
    DOCINFOA doc{};
    doc.cbSize = sizeof doc;
    doc.lpszDocName = kJobName;
    if (StartDocA(dc, &doc) <= 0) {
      const RunError error = PrinterError("the print job could not be started");
      DeleteDC(dc);
      dc = nullptr;
      throw error;
    }
    // From here on a failure aborts the job begun; the destructor of an
    // object whose constructor fails does not run.
    try {
      const int height =
          static_cast<int>(std::lround(font_points * GetDeviceCaps(dc, LOGPIXELSY) / 72));
      font = CreateFontA(-height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                         OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                         DEFAULT_PITCH | FF_DONTCARE, font_name.c_str());
      if (font == nullptr) throw PrinterError("the font could not be made");
      page_width = GetDeviceCaps(dc, HORZRES);
      page_height = GetDeviceCaps(dc, VERTRES);
      StartPage();
      TEXTMETRICA metrics{};
      if (!GetTextMetricsA(dc, &metrics)) throw PrinterError("the font could not be measured");
      line_height = metrics.tmHeight + metrics.tmExternalLeading;
      // Such a font could put nothing of a line on paper, however it was cut.
      const std::string margin_and_one = std::string(kMargin) + "M";
      SIZE extent{};
      if (!GetTextExtentPoint32A(dc, margin_and_one.data(), static_cast<int>(margin_and_one.size()),
                                 &extent) ||
          extent.cx > page_width || line_height > page_height)
        throw RunError(err::kPrinterError, "the font is too large for the paper");
    } catch (...) {
      Release();
      throw;
    }
  }
  ~Job() { Release(); }
  Job(const Job&) = delete;
  Job& operator=(const Job&) = delete;

  // Only a job that failed half-way is still open here: nothing of it goes
  // to paper.
  void Release() {
    if (dc != nullptr) {
      AbortDoc(dc);
      DeleteDC(dc);
      dc = nullptr;
    }
    if (font != nullptr) DeleteObject(font);
    font = nullptr;
  }

  void StartPage() {
    if (::StartPage(dc) <= 0) throw PrinterError("could not start a page");
    // A new page may come with the device's default font and background.
    if (font != nullptr) SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextAlign(dc, TA_TOP | TA_LEFT | TA_NOUPDATECP);
    y = 0;
  }

  void NewPage() {
    if (EndPage(dc) <= 0) throw PrinterError("could not end a page");
    StartPage();
  }

  void PrintRow(std::string_view row) {
    if (y > 0 && y + line_height > page_height) NewPage();
    if (!TextOutA(dc, 0, y, row.data(), static_cast<int>(row.size())))
      throw PrinterError("a line could not be printed");
    y += line_height;
  }

  // How many characters of text, from its start, fit the printable width.
  size_t Fitting(std::string_view text) {
    INT fit = 0;
    SIZE size{};
    if (!GetTextExtentExPointA(dc, text.data(), static_cast<int>(text.size()), page_width, &fit,
                               nullptr, &size))
      throw PrinterError("a line could not be measured");
    return static_cast<size_t>(std::max(fit, 0));
  }

  HDC dc = nullptr;
  HFONT font = nullptr;
  int page_width = 0;
  int page_height = 0;
  int line_height = 0;
  int y = 0;  // top of the next row, in device pixels from the printable area's top
};

GdiPrinter::GdiPrinter() = default;
GdiPrinter::~GdiPrinter() = default;

void GdiPrinter::SetFontName(const std::string& name) {
  font_name_ = name;
}

void GdiPrinter::SetFontSize(double points) {
  // A size no font can take (0, negative, absurd) keeps the last good one.
  if (points > 0 && points < 1638) font_points_ = points;
}

bool GdiPrinter::LookUp() {
  if (looked_up_) return !name_.empty();
  looked_up_ = true;
  DWORD size = 0;
  GetDefaultPrinterA(nullptr, &size);
  if (size == 0) return false;
  std::string name(size, '\0');
  if (!GetDefaultPrinterA(name.data(), &size)) return false;
  name.resize(std::strlen(name.c_str()));
  name_ = name;

  HANDLE printer = nullptr;
  if (OpenPrinterA(name_.data(), &printer, nullptr)) {
    const LONG bytes = DocumentPropertiesA(nullptr, printer, name_.data(), nullptr, nullptr, 0);
    if (bytes > 0) {
      devmode_.assign(static_cast<size_t>(bytes), 0);
      if (DocumentPropertiesA(nullptr, printer, name_.data(),
                              reinterpret_cast<DEVMODEA*>(devmode_.data()), nullptr,
                              DM_OUT_BUFFER) != IDOK)
        devmode_.clear();
    }
    ClosePrinter(printer);
  }
  return true;
}

std::string GdiPrinter::DeviceName() {
  LookUp();
  return name_;
}

// The job always goes to the system's default printer, so following the
// default needs nothing more.
void GdiPrinter::FollowDefault() {}

int GdiPrinter::Orientation() {
  if (!LookUp()) throw RunError(err::kPrinterError, "no default printer");
  const DEVMODEA* settings = Settings(devmode_);
  if (settings == nullptr) throw RunError(err::kPrinterError, name_ + ": no printer settings");
  const bool landscape =
      (settings->dmFields & DM_ORIENTATION) != 0 && settings->dmOrientation == DMORIENT_LANDSCAPE;
  return landscape ? kLandscape : DMORIENT_PORTRAIT;
}

GdiPrinter::Job& GdiPrinter::BeginJob() {
  if (job_) return *job_;
  if (!LookUp()) throw RunError(err::kPrinterError, "no printer is set up");
  job_ = std::make_unique<Job>(name_, Settings(devmode_), font_name_, font_points_);
  return *job_;
}

void GdiPrinter::PrintLine(const std::string& text) {
  Job& job = BeginJob();
  std::string row = text;  // the first row brings its own margin
  for (size_t least = 1;; least = kMargin.size() + 1) {
    // Every row takes something of the line beyond its margin.
    const size_t fit = std::max(job.Fitting(row), least);
    if (fit >= row.size()) {
      job.PrintRow(row);
      return;
    }
    job.PrintRow(std::string_view(row).substr(0, fit));
    const std::string rest = row.substr(fit);
    // Blanks at the end of a line put nothing on paper; they get no row of their own.
    if (rest.find_first_not_of(' ') == std::string::npos) return;
    row = std::string(kMargin) + rest;
  }
}

void GdiPrinter::EjectPage() {
  BeginJob().NewPage();
}

void GdiPrinter::EndJob() {
  if (!job_) return;
  const std::unique_ptr<Job> job = std::move(job_);
  const bool ended = EndPage(job->dc) > 0;
  if (!ended || EndDoc(job->dc) <= 0) throw PrinterError("the print job could not be completed");
  DeleteDC(job->dc);
  job->dc = nullptr;
}

}  // namespace hx
