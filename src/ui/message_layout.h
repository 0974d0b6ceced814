// How MBox1 arranges itself around a message: which icon and buttons its
// style flags select, where they go, and how large the dialog is.  The
// arithmetic is done in twips (1/1440 inch), so that the dialog looks the
// same at every screen resolution; each toolkit's dialog converts the
// result to pixels.  Also the message text as the dialog and standard error
// show it, and the dialog wrapper that leaves every message on standard error.
//
// No toolkit.  The functions are pure: thread-compatible; EchoingDialog lives
// on the user-interface thread, like the dialog it wraps.

#ifndef HX_UI_MESSAGE_LAYOUT_H_
#define HX_UI_MESSAGE_LAYOUT_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace hx {

// The sizes of MBox1's controls that its layout keeps, in twips.  The icon
// pictures themselves are the pixel sizes next to each control.
struct MessageControls {
  struct Size {
    int16_t width, height;
  };
  int16_t label_top = 360;
  Size information{555, 555};  // picture 37 x 37
  Size critical{570, 570};     // picture 38 x 38
  Size exclamation{570, 570};  // picture 38 x 38
  Size question{570, 555};     // picture 38 x 37
  Size button{1095, 375};      // the same for all four buttons
};
inline constexpr MessageControls kMessageControls{};

struct Placement {
  bool visible = false;
  double left = 0;  // twips; a half twip is possible where the layout halves a size
  double top = 0;
};

// Everything the layout decides, in twips.  Positions of controls are
// relative to the dialog's client area; the dialog's own Left and Top are on
// the screen, its Width and Height include its frame.
struct MessageLayout {
  Placement information, critical, exclamation, question;
  Placement ok, yes, no, cancel;  // hidden buttons keep Left 0 but share the Top
  double label_left = 0;
  double label_top = 0;
  // The part of the label that is on show.  It is the whole label unless the
  // message is too large for the screen or for 16-bit twips (label_cut); the
  // dialog then lets the user scroll through the rest.
  double label_width = 0;
  double label_height = 0;
  bool label_cut = false;
  double left = 0;
  double top = 0;
  int16_t width = 0;
  int16_t height = 0;
};

// Lays the dialog out around a label of the given size for the style flags,
// centred on a screen of the given size.  Never fails: a message the dialog
// cannot hold is shown in part (see MessageLayout::label_cut).
MessageLayout LayoutMessage(double label_width, double label_height, int16_t flags,
                            double screen_width, double screen_height);

// The message with each line break (CR LF, or a CR alone as the
// communication messages have it) turned into a single LF.
std::string WithPlainLineBreaks(std::string_view text);

// The trace of a message on standard error: caption, ": ", the text, LF.
std::string MessageEcho(std::string_view caption, std::string_view text);

// Any message dialog, with every message also written to standard error
// (MessageEcho) before it is shown, so that unattended runs leave a trace,
// also where nobody sees the dialog.
class EchoingDialog : public MessageDialog {
 public:
  explicit EchoingDialog(MessageDialog& dialog) : dialog_(dialog) {}

  void ShowMessage(const std::string& message, int16_t flags, const std::string& caption) override;

 private:
  MessageDialog& dialog_;
};

// HX_RPT's notes on standard error, one line each after the program's name.
// Standard error that cannot be written is no failure of the run.
class StandardErrorNotes : public RunNotes {
 public:
  void Note(const std::string& text) override;
};

}  // namespace hx

#endif  // HX_UI_MESSAGE_LAYOUT_H_
