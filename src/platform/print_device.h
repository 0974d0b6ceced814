// What a printing system does for the run's print job, and no more: it
// tells the printable area and the font's row spacing, measures text, draws
// a row where it is told, starts a new page, and hands the finished job
// over.  Every rule of the printed report (when the job begins and what it
// is called, whether the font fits, the rows a wide line takes, when a page
// is full) is the print job's, output/print_job.h, which the rest of the
// program knows as its Printer.  One implementation per printing system
// (qt/print_device_qt.cpp, win32/print_device_win32.cpp); the job's tests
// use a fake.
//
// Text is program text in the code page the device was made with.  Widths
// and positions are in the device's own units, from the top left of the
// printable area.  Everything runs on the program's single user-interface
// thread.  A method that fails raises RunError(err::kPrinterError) with the
// system's reason.

#ifndef HX_PLATFORM_PRINT_DEVICE_H_
#define HX_PLATFORM_PRINT_DEVICE_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace hx {

class PrintDevice {
 public:
  // The printable area of every page of a job and the height of a row, top
  // to top, in the job's font.
  struct Page {
    double width = 0;
    double height = 0;
    double line_spacing = 0;
  };

  virtual ~PrintDevice() = default;

  // The current printer's name, and whether its paper lies in landscape;
  // asking never begins a job.
  virtual std::string DeviceName() = 0;
  virtual bool Landscape() = 0;

  // Begins a job called name on the current printer, on its first page, in
  // the font font_name of font_points points.  At most one job at a time.
  virtual Page BeginJob(const std::string& name, const std::string& font_name,
                        double font_points) = 0;

  // The rest only while a job is begun.
  //
  // How wide text is in the job's font, measured as one piece.
  virtual double TextWidth(std::string_view text) = 0;
  // How many characters of text, from its start, fit in width: the way this
  // system measures a row that may be too wide for the paper.
  virtual size_t Fitting(std::string_view text, double width) = 0;
  // Draws text as one row whose top is top.
  virtual void DrawRow(std::string_view text, double top) = 0;
  // Ends the page and starts the next one.
  virtual void NewPage() = 0;
  // Completes the job and hands it to the printing system; the job is over
  // even when that fails.
  virtual void EndJob() = 0;
  // Drops the job: nothing of it reaches paper.  Never fails.
  virtual void AbandonJob() = 0;
};

}  // namespace hx

#endif  // HX_PLATFORM_PRINT_DEVICE_H_
