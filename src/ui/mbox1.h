// MBox1, the program's own message dialog, as it behaves whatever toolkit
// draws it: what a showing, an activation, a button, the close request and
// the Esc key do to its properties Flags, Reply and UnloadReq and to its
// controls.  It never waits for the user, and a close request only hides it,
// so that the one instance can be shown again with the next message.
//
// Each platform layer's MBox1 (qt/mbox1_qt.h, win32/mbox1_win32.h) owns an
// MBox1Controller and passes its window's events on to it; its controls
// realise MBox1View: they are created, placed and drawn in pixels there.
// Where things go is ui/message_layout.h.
//
// Lives on the user-interface thread, like the window.

#ifndef HX_UI_MBOX1_H_
#define HX_UI_MBOX1_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/platform.h"
#include "ui/message_layout.h"

namespace hx {

// The controls the layout places, then the label lblMsg.
enum class MBox1Control {
  kInformation,  // imgInformation
  kCritical,     // imgCritical
  kExclamation,  // imgExclamation
  kQuestion,     // imgQuestion
  kOk,           // cmdOk
  kYes,          // cmdYes
  kNo,           // cmdNo
  kCancel,       // cmdCancel
  kLabel,        // lblMsg
};
// How many controls the layout places: all but the label.
inline constexpr size_t kMBox1PlacedControls = 8;

// The dialog as it is made, before its first message lays it out.
inline constexpr std::string_view kMBox1Title = "System Message";
inline constexpr double kMBox1Width = 4620, kMBox1Height = 1995;  // twips
inline constexpr std::string_view kMBox1LabelText = "Label1";

// The buttons: their names, captions (a "&" before the key that presses
// it) and the answers they give.
struct MBox1Button {
  MBox1Control control;
  std::string_view name, caption;
  int16_t answer;
};
inline constexpr MBox1Button kMBox1Buttons[] = {
    {MBox1Control::kOk, "cmdOk", "OK", mbox::kOk},
    {MBox1Control::kYes, "cmdYes", "&Yes", mbox::kYes},
    {MBox1Control::kNo, "cmdNo", "&No", mbox::kNo},
    {MBox1Control::kCancel, "cmdCancel", "&Cancel", mbox::kCancel},
};
// The order the buttons and the label are made in, which is their tab order.
inline constexpr MBox1Control kMBox1TabOrder[] = {MBox1Control::kOk, MBox1Control::kLabel,
                                                  MBox1Control::kYes, MBox1Control::kNo,
                                                  MBox1Control::kCancel};

// The toolkit's part of MBox1.  Sizes and positions in twips.
class MBox1View {
 public:
  virtual ~MBox1View() = default;

  // The title bar text; an empty caption leaves the title bar empty.
  virtual void SetCaption(const std::string& caption) = 0;
  // Puts the message, its lines ending in LF, into lblMsg, which takes the
  // size of the text.
  virtual void SetText(const std::string& message) = 0;
  struct Sizes {
    double label_width, label_height;  // of lblMsg with the whole text
    double screen_width, screen_height;
  };
  virtual Sizes Measure() = 0;
  // Shows or hides control at its place, at the size the layout keeps for it.
  virtual void Place(MBox1Control control, const Placement& at, MessageControls::Size size) = 0;
  // Places the part of lblMsg on show (see MessageLayout::label_cut).
  virtual void PlaceLabel(const MessageLayout& layout) = 0;
  // Sizes the window, frame included, and places it on the screen.
  virtual void PlaceWindow(const MessageLayout& layout) = 0;
  // The button the Enter key presses; it also takes the focus.
  virtual void SetDefaultButton(MBox1Control button) = 0;
  // The system's default beep.
  virtual void Beep() = 0;
  // Shows the window in front of the program's others, as the active
  // window, and returns at once: true when the window system tells of the
  // activation this brings only later (MBox1Controller::WindowActivated),
  // false when it has told of it already, or brings none.
  virtual bool Present() = 0;
  virtual void Hide() = 0;
  // Asks the window to close, as its close command does; the window passes
  // the request to MBox1Controller::CloseRequested.
  virtual void RequestClose() = 0;
};

class MBox1Controller {
 public:
  explicit MBox1Controller(MBox1View& view) : view_(view) {}
  MBox1Controller(const MBox1Controller&) = delete;
  MBox1Controller& operator=(const MBox1Controller&) = delete;

  int16_t Flags() const { return flags_; }
  void SetFlags(int16_t flags) { flags_ = flags; }
  // The answer of the button that closed the dialog; back to OK at every activation.
  int16_t Reply() const { return reply_; }
  void SetReply(int16_t reply) { reply_ = reply; }
  // While false, a close request hides the dialog instead of closing it.
  bool UnloadReq() const { return unload_req_; }
  void SetUnloadReq(bool unload_req) { unload_req_ = unload_req; }

  // ShowMessage's part: the flags, caption and text of the message, and the
  // showing.  The showing is an activation of its own: the dialog lays
  // itself out and beeps here, not only when the window system gets round to
  // activating it, which some never do for a window of a busy program.
  void Show(const std::string& message, int16_t flags, const std::string& caption);

  // The window system made the dialog the active window.  The activation a
  // showing brings only lays the dialog out again (the frame the window
  // system gave it may have changed its room); coming back from another
  // program is no activation of this one; coming back from another window
  // of this program is: Activate().  from_another_program: no window of this
  // program was active since the dialog last was.
  void WindowActivated(bool from_another_program);
  // The window was hidden: a showing it had not yet been activated for is over.
  void WindowHidden() { showing_pending_ = false; }

  // The steps of an activation: the dialog lays itself out anew, Reply goes
  // back to OK, and it beeps.
  void Activate();
  // The layout alone, for the current flags and text.
  void LayOut();

  // A button, or the key that presses it, answered: Reply, then a close request.
  void Answer(int16_t reply);
  // The Esc key: Cancel where Cancel is shown; otherwise a close request alone.
  void Escape();
  // A close request, from a button or the window's close command.  While
  // UnloadReq is false the dialog hides instead, with its text and Reply;
  // true when the window is to close and be discarded.
  bool CloseRequested();

  // The layout applied last, in twips.
  const MessageLayout& Layout() const { return layout_; }

 private:
  MBox1View& view_;
  int16_t flags_ = 0;
  int16_t reply_ = mbox::kOk;
  bool unload_req_ = false;
  // A showing whose activation the window system has yet to tell of.
  bool showing_pending_ = false;
  MessageLayout layout_;
};

}  // namespace hx

#endif  // HX_UI_MBOX1_H_
