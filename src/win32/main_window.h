// Main, the program's main window, with the text box txtShow that shows the
// report as it is produced.  It is created hidden; SHOWIT shows it while the
// definition file is still being read.  Closing it does not stop a report in
// progress: the report still reaches the log and the printer, and the
// process then ends instead of waiting.
//
// User-interface thread only, like every window.

#ifndef HX_WIN32_MAIN_WINDOW_H_
#define HX_WIN32_MAIN_WINDOW_H_

#include <windows.h>

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

  // Shows the window and returns when the user closes it.  A window the user
  // already closed while the report was produced stays closed, and this
  // returns at once.
  void StayOpen();

  HWND hwnd() const { return hwnd_; }
  HWND txtShow() const { return txtShow_; }

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

  const CodePage& code_page_;
  HWND hwnd_ = nullptr;
  HWND txtShow_ = nullptr;
  HFONT font_ = nullptr;
  bool closed_by_user_ = false;
};

}  // namespace hx

#endif  // HX_WIN32_MAIN_WINDOW_H_
