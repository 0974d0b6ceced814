// The system's default printer: pages are drawn with Qt's PDF writer and the
// finished document is handed to the print server through libcups, which
// also tells the queue's orientation, paper and printable area.  The server
// is asked only what the run needs, each thing once: the destination with
// its defaults (for the page length, also when nothing is printed), the
// paper when the job begins, and one request that carries the job with its
// document.  Every request is bounded (print_server_link.h).
//
// Until EndJob() the job lives in memory, so a run that is ended half-way
// (killed, or crashing) never leaves half a job in the queue; a printer
// failure during a run still hands over the pages drawn before it.  What the job prints, and when,
// is output/print_job.h's to say.
//
// Used from the program's single user-interface thread.

#ifndef HX_QT_PRINT_DEVICE_QT_H_
#define HX_QT_PRINT_DEVICE_QT_H_

#include <memory>

#include "base/code_page.h"
#include "platform/print_device.h"
#include "qt/print_server_link.h"

namespace hx {

class QtPrintDevice : public PrintDevice {
 public:
  explicit QtPrintDevice(const CodePage& code_page);
  ~QtPrintDevice() override;
  QtPrintDevice(const QtPrintDevice&) = delete;
  QtPrintDevice& operator=(const QtPrintDevice&) = delete;

  std::string DeviceName() override;
  bool Landscape() override;
  Page BeginJob(const std::string& name, const std::string& font_name, double font_points) override;
  double TextWidth(std::string_view text) override;
  size_t Fitting(std::string_view text, double width) override;
  void DrawRow(std::string_view text, double top) override;
  void NewPage() override;
  void EndJob() override;
  void AbandonJob() override;

 private:
  struct Destination;
  struct Job;

  // The system's default destination, asked of the print server once per
  // run; null when there is no printer or the server did not answer, and
  // then no_printer_ says why.
  Destination* Default();

  const CodePage& code_page_;
  PrintServerLink server_;
  bool looked_up_ = false;
  std::unique_ptr<Destination> default_;
  std::string no_printer_;
  std::unique_ptr<Job> job_;
};

}  // namespace hx

#endif  // HX_QT_PRINT_DEVICE_QT_H_
