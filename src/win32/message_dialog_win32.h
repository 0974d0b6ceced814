// The Win32 realisation of the message dialog seam: MBox1, created on first
// use and reused, never waiting for the user.  RunProgram (app/form_load.h)
// wraps it in an EchoingDialog, which leaves every message on standard
// error as well, when the process has one.

#ifndef HX_WIN32_MESSAGE_DIALOG_WIN32_H_
#define HX_WIN32_MESSAGE_DIALOG_WIN32_H_

#include <windows.h>

#include <memory>

#include "platform/platform.h"
#include "win32/mbox1_win32.h"

namespace hx {

class Win32MessageDialog : public MessageDialog {
 public:
  // owner: the window the dialog stays in front of.  Without one (the
  // system would not make the main window) no message is shown.
  Win32MessageDialog(HINSTANCE instance, HWND owner, const CodePage& code_page);
  ~Win32MessageDialog() override;
  Win32MessageDialog(const Win32MessageDialog&) = delete;
  Win32MessageDialog& operator=(const Win32MessageDialog&) = delete;

  void ShowMessage(const std::string& message, int16_t flags, const std::string& caption) override;

  // The dialog of the latest message, or null before the first one.
  MBox1* Box() const { return box_.get(); }

 private:
  HINSTANCE instance_;
  HWND owner_;
  const CodePage& code_page_;
  std::unique_ptr<MBox1> box_;
};

}  // namespace hx

#endif  // HX_WIN32_MESSAGE_DIALOG_WIN32_H_
