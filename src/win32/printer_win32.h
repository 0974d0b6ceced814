// The system's default printer, through GDI and the spooler.
//
// One print job per run: it begins at the first printed line or page eject
// and is handed to the spooler by EndJob().  Lines are drawn one below the
// other in the chosen font from the top left of the printable area; a line
// that would pass its bottom starts a new page.  A line wider than the
// printable width goes on in the next printed rows (output/printed_rows.h).
// The paper, orientation and other settings are the user's defaults for the
// printer (its DEVMODE), read once per run.
//
// User-interface thread only.

#ifndef HX_WIN32_PRINTER_WIN32_H_
#define HX_WIN32_PRINTER_WIN32_H_

#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace hx {

class Win32Printer : public Printer {
 public:
  explicit Win32Printer(const CodePage& code_page);
  ~Win32Printer() override;
  Win32Printer(const Win32Printer&) = delete;
  Win32Printer& operator=(const Win32Printer&) = delete;

  void SetFontName(const std::string& name) override;
  void SetFontSize(double points) override;
  std::string DeviceName() override;
  void FollowDefault() override;
  int Orientation() override;
  void PrintLine(const std::string& text) override;
  void EjectPage() override;
  void EndJob() override;

 private:
  struct Job;

  // Asks the system for its default printer and the user's settings for it,
  // once per run.  Whether there is a default printer.
  bool LookUp();
  Job& BeginJob();

  const CodePage& code_page_;
  std::string font_name_{kStartFontName};
  double font_points_ = kStartFontSize;
  bool looked_up_ = false;
  std::wstring name_;                   // empty: no default printer
  std::vector<unsigned char> devmode_;  // empty: the printer would not tell its settings
  std::unique_ptr<Job> job_;
};

}  // namespace hx

#endif  // HX_WIN32_PRINTER_WIN32_H_
