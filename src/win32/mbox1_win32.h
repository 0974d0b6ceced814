// MBox1, the program's own message dialog: a window class of its own, not
// the system's message box, because it must not wait for the user.  It shows
// one message at a time with the icon and buttons its style flags select,
// lays itself out around the text (ui/message_layout.h) each time it becomes
// the active window, centres itself on the screen and beeps.  A close
// request only hides it, so that the one instance can be shown again with
// the next message.  A tool window: no task bar button, no minimise or
// maximise box, a frame that does not size.
//
// User-interface thread only, like every window.

#ifndef HX_WIN32_MBOX1_WIN32_H_
#define HX_WIN32_MBOX1_WIN32_H_

#include <windows.h>

#include <cstdint>
#include <string>

#include "base/code_page.h"
#include "ui/message_layout.h"

namespace hx {

class MBox1 {
 public:
  // owner: the window the dialog stays in front of (it may be hidden).
  MBox1(HINSTANCE instance, HWND owner, const CodePage& code_page);
  ~MBox1();
  MBox1(const MBox1&) = delete;
  MBox1& operator=(const MBox1&) = delete;

  int16_t Flags() const { return flags_; }
  void SetFlags(int16_t flags) { flags_ = flags; }
  // The answer of the button that closed the dialog; back to OK at every activation.
  int16_t Reply() const { return reply_; }
  // While false, a close request hides the dialog instead of closing it.
  bool UnloadReq() const { return unload_req_; }
  void SetUnloadReq(bool unload_req) { unload_req_ = unload_req; }

  // The title bar text; an empty caption leaves the title bar empty.
  void SetCaption(const std::string& caption);
  // Puts the message into lblMsg, which takes the size of the text.
  void SetText(const std::string& message);
  // Shows the dialog laid out for the current flags and text, brings it to
  // the front and returns at once.
  void Present();

  HWND hwnd() const { return hwnd_; }
  // The layout the dialog applied last, in twips (for tests).
  const MessageLayout& CurrentLayout() const { return layout_; }

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT Handle(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

  // Steps that run whenever the dialog becomes the active window.
  void Activate();
  void ApplyLayout();
  int Pixels(double twips) const;

  int16_t flags_ = 0;
  int16_t reply_ = mbox::kOk;
  bool unload_req_ = false;
  bool presenting_ = false;  // Present() has run the steps of the activation it brings
  MessageLayout layout_;
  const CodePage& code_page_;
  int dpi_ = 96;
  SIZE label_size_{};  // of the whole text, in pixels

  HWND hwnd_ = nullptr;
  HFONT font_ = nullptr;
  HWND lblMsg_ = nullptr;
  HWND cmdOk_ = nullptr;
  HWND cmdYes_ = nullptr;
  HWND cmdNo_ = nullptr;
  HWND cmdCancel_ = nullptr;
  HWND imgInformation_ = nullptr;
  HWND imgCritical_ = nullptr;
  HWND imgExclamation_ = nullptr;
  HWND imgQuestion_ = nullptr;
};

}  // namespace hx

#endif  // HX_WIN32_MBOX1_WIN32_H_
