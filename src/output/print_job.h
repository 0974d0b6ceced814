// The run's printer as the report sees it: one print job on the printing
// system's device (platform/print_device.h), with every rule of the printed
// page kept here, once, whatever the system.
//
// The job is called "HX_RPT" and begins at the first printed line or page
// eject, in the font chosen by then.  A font too large for the margin and
// one character, or for one row, could put nothing of a line on paper: the
// job's start fails.  Lines are printed one below the other; a line wider
// than the paper is not cut but goes on in further rows, each beginning with
// the report's left margin (Printer::kMargin), so that every character
// reaches the paper and the report's left edge stays straight.  A row that
// would pass the bottom of the printable area starts a new page.  EndJob()
// hands the job to the printing system.
//
// Used from the program's single user-interface thread, like its device.

#ifndef HX_OUTPUT_PRINT_JOB_H_
#define HX_OUTPUT_PRINT_JOB_H_

#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.h"
#include "platform/print_device.h"

namespace hx {

class PrintJob : public Printer {
 public:
  static constexpr std::string_view kJobName = "HX_RPT";
  // A font size is taken when it is above 0 and below this many points,
  // about what 16-bit twips (20 a point) hold; no printer draws a larger one.
  static constexpr double kFontSizeLimit = 1638;
  static bool TakesFontSize(double points) { return points > 0 && points < kFontSizeLimit; }

  // device outlives the job.
  explicit PrintJob(PrintDevice& device) : device_(device) {}
  PrintJob(const PrintJob&) = delete;
  PrintJob& operator=(const PrintJob&) = delete;

  void SetFontName(const std::string& name) override { font_name_ = name; }
  void SetFontSize(double points) override;
  std::string DeviceName() override { return device_.DeviceName(); }
  // The job always goes to the system's default printer, so following the
  // default needs nothing more.
  void FollowDefault() override {}
  int Orientation() override { return device_.Landscape() ? kLandscape : 1; }
  void PrintLine(const std::string& text) override;
  void EjectPage() override;
  void EndJob() override;

 private:
  // The page of the job, begun when first needed.
  const PrintDevice::Page& Begin();
  void PrintRow(std::string_view row);

  PrintDevice& device_;
  std::string font_name_{kStartFontName};
  double font_points_ = kStartFontSize;
  std::optional<PrintDevice::Page> page_;  // set while a job is begun
  double top_ = 0;                         // of the next row on the page
};

}  // namespace hx

#endif  // HX_OUTPUT_PRINT_JOB_H_
