// Main, the program's main window, with the text box txtShow that shows the
// report as it is produced.  It is created hidden; SHOWIT shows it while the
// definition file is still being read.  Closing it does not stop a report in
// progress: the report still reaches the log and the printer, and the
// process then ends instead of waiting.
//
// A window the system refuses to make (a window station without room for
// it, as a scheduled task's may be) does not cost the report either: the
// object then stands for no window, and everything the report would show in
// it is dropped.
//
// User-interface thread only, like every window.

#ifndef HX_WIN32_MAIN_WINDOW_WIN32_H_
#define HX_WIN32_MAIN_WINDOW_WIN32_H_

#include <windows.h>

#include <string>

#include "platform/platform.h"

namespace hx {

class MainWindow : public Screen {
 public:
  MainWindow(HINSTANCE instance, const CodePage& code_page);
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  void ShowMain() override;
  void InsertText(const std::string& text) override;
  void ProcessEvents() override;

  // A scheduled run without a logged-on user has a window station nobody
  // looks at.
  bool SomeoneCanClose() override;
  // Returns at once without a window, as for one the user already closed.
  void StayOpen() override;

  // Whether the system made the window; when it did not, why not.
  bool made() const { return hwnd_ != nullptr; }
  const std::string& failure() const { return failure_; }

  HWND hwnd() const { return hwnd_; }
  HWND txtShow() const { return txtShow_; }

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

  const CodePage& code_page_;
  HWND hwnd_ = nullptr;
  HWND txtShow_ = nullptr;
  HFONT font_ = nullptr;
  bool closed_by_user_ = false;
  std::string failure_;
};

}  // namespace hx

#endif  // HX_WIN32_MAIN_WINDOW_WIN32_H_
