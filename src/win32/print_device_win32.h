// The system's default printer, through GDI and the spooler.  The paper,
// orientation and other settings are the user's defaults for the printer
// (its DEVMODE), read once per run.  What the job prints, and when, is
// output/print_job.h's to say.
//
// User-interface thread only.

#ifndef HX_WIN32_PRINT_DEVICE_WIN32_H_
#define HX_WIN32_PRINT_DEVICE_WIN32_H_

#include <memory>
#include <string>
#include <vector>

#include "base/code_page.h"
#include "platform/print_device.h"

namespace hx {

class Win32PrintDevice : public PrintDevice {
 public:
  explicit Win32PrintDevice(const CodePage& code_page);
  ~Win32PrintDevice() override;
  Win32PrintDevice(const Win32PrintDevice&) = delete;
  Win32PrintDevice& operator=(const Win32PrintDevice&) = delete;

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
  struct Job;

  // Asks the system for its default printer and the user's settings for it,
  // once per run.  Whether there is a default printer.
  bool LookUp();

  const CodePage& code_page_;
  bool looked_up_ = false;
  std::wstring name_;                   // empty: no default printer
  std::vector<unsigned char> devmode_;  // empty: the printer would not tell its settings
  std::unique_ptr<Job> job_;
};

}  // namespace hx

#endif  // HX_WIN32_PRINT_DEVICE_WIN32_H_
