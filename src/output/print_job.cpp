#include "output/print_job.h"

#include <algorithm>

#include "base/run_error.h"

namespace hx {

void PrintJob::SetFontSize(double points) {
  if (TakesFontSize(points)) font_points_ = points;
}

const PrintDevice::Page& PrintJob::Begin() {
  if (page_) return *page_;
  const PrintDevice::Page page = device_.BeginJob(std::string(kJobName), font_name_, font_points_);
  try {
    // Such a font could put nothing of a line on paper, however it was cut.
    if (device_.TextWidth(std::string(kMargin) + "M") > page.width ||
        page.line_spacing > page.height)
      throw RunError(err::kPrinterError, "the font is too large for the paper");
  } catch (...) {
    device_.AbandonJob();
    throw;
  }
  top_ = 0;
  return page_.emplace(page);
}

void PrintJob::PrintLine(const std::string& text) {
  const double width = Begin().width;
  std::string row = text;  // the first row brings its own margin
  // Every row takes at least one character beyond its margin, however
  // little the device says fits; blanks at the end of the line get no row
  // of their own.
  for (size_t least = 1;; least = kMargin.size() + 1) {
    const size_t fit = std::max(device_.Fitting(row, width), least);
    if (fit >= row.size()) {
      PrintRow(row);
      return;
    }
    PrintRow(std::string_view(row).substr(0, fit));
    std::string rest = row.substr(fit);
    if (rest.find_first_not_of(' ') == std::string::npos) return;
    row = std::string(kMargin) + rest;
  }
}

void PrintJob::PrintRow(std::string_view row) {
  if (top_ > 0 && top_ + page_->line_spacing > page_->height) {
    device_.NewPage();
    top_ = 0;
  }
  device_.DrawRow(row, top_);
  top_ += page_->line_spacing;
}

void PrintJob::EjectPage() {
  Begin();
  device_.NewPage();
  top_ = 0;
}

void PrintJob::EndJob() {
  if (!page_) return;
  page_.reset();
  device_.EndJob();
}

}  // namespace hx
