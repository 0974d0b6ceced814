// MBox1 in the Win32 API: a window class of its own, not the system's
// message box, because it must not wait for the user.  The window passes its
// messages on to the MBox1Controller (ui/mbox1.h), which decides what the
// dialog does; the window and its controls, which the controller places and
// shows, are MBox1::Window in mbox1_win32.cpp.  A tool window: no task bar
// button, no minimise or maximise box, a frame that does not size.
//
// User-interface thread only, like every window.

#ifndef HX_WIN32_MBOX1_WIN32_H_
#define HX_WIN32_MBOX1_WIN32_H_

#include <windows.h>

#include <memory>

#include "base/code_page.h"
#include "ui/mbox1.h"

namespace hx {

class MBox1 {
 public:
  // owner: the window the dialog stays in front of (it may be hidden).
  MBox1(HINSTANCE instance, HWND owner, const CodePage& code_page);
  ~MBox1();
  MBox1(const MBox1&) = delete;
  MBox1& operator=(const MBox1&) = delete;

  // Flags, Reply and UnloadReq, and what the dialog does.
  MBox1Controller& controller() { return controller_; }
  // Null once a close request with UnloadReq set has discarded the window.
  HWND hwnd() const;

 private:
  class Window;

  std::unique_ptr<Window> window_;
  MBox1Controller controller_;
};

}  // namespace hx

#endif  // HX_WIN32_MBOX1_WIN32_H_
