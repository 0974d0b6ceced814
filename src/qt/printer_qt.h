// The system's default printer: pages are drawn with Qt's PDF writer and the
// finished document is handed to the print server through libcups, which
// also tells the queue's orientation, paper and printable area.  The server
// is asked only what the run needs, each thing once: the destination with
// its defaults (for the page length, also when nothing is printed), the
// paper when the job begins, and one request that carries the job with its
// document.  Every request is bounded (print_server_link.h).
//
// One print job per run: it begins at the first printed line or page eject
// and is handed to the printing system by EndJob().  Lines are drawn one
// below the other in the chosen font; a line wider than the printable area
// goes on in further rows below it (output/printed_rows.h); a row that would
// pass the bottom of the printable area starts a new page.  Until EndJob()
// the job lives in memory, so a run that fails half-way never leaves half a
// job in the queue.
//
// Used from the program's single user-interface thread.

#ifndef HX_QT_PRINTER_QT_H_
#define HX_QT_PRINTER_QT_H_

#include <QFont>
#include <memory>

#include "platform/platform.h"
#include "qt/print_server_link.h"

namespace hx {

class QtPrinter : public Printer {
 public:
  explicit QtPrinter(const CodePage& code_page = Windows1252());
  ~QtPrinter() override;
  QtPrinter(const QtPrinter&) = delete;
  QtPrinter& operator=(const QtPrinter&) = delete;

  void SetFontName(const std::string& name) override;
  void SetFontSize(double points) override;
  std::string DeviceName() override;
  void FollowDefault() override;
  int Orientation() override;
  void PrintLine(const std::string& text) override;
  void EjectPage() override;
  void EndJob() override;

 private:
  struct Destination;
  struct Job;

  // The system's default destination, asked of the print server once per
  // run; null when there is no printer or the server did not answer, and
  // then no_printer_ says why.
  Destination* Default();
  Job& BeginJob();

  const CodePage& code_page_;
  QFont font_;
  PrintServerLink server_;
  bool looked_up_ = false;
  std::unique_ptr<Destination> default_;
  std::string no_printer_;
  std::unique_ptr<Job> job_;
};

}  // namespace hx

#endif  // HX_QT_PRINTER_QT_H_
