// MBox1, the program's own message dialog.  It shows one message at a time
// with the icon and buttons its style flags select, lays itself out around
// the text each time it becomes the active window, centres itself on the
// screen and beeps.  It never waits for the user: nothing in it runs an event
// loop of its own, and a close request only hides it, so that the one
// instance can be shown again with the next message.
//
// Lives on the user-interface thread, like every widget.

#ifndef HX_QT_MBOX1_QT_H_
#define HX_QT_MBOX1_QT_H_

#include <QDialog>
#include <cstdint>
#include <string>

#include "platform/platform.h"
#include "ui/message_layout.h"

class QLabel;
class QPushButton;
class QScrollArea;

namespace hx {

class MBox1 : public QDialog {
  Q_OBJECT
  Q_PROPERTY(qint16 Flags READ Flags WRITE SetFlags)
  Q_PROPERTY(qint16 Reply READ Reply WRITE SetReply)
  Q_PROPERTY(bool UnloadReq READ UnloadReq WRITE SetUnloadReq)

 public:
  explicit MBox1(const CodePage& code_page = Windows1252());

  int16_t Flags() const { return flags_; }
  void SetFlags(int16_t flags) { flags_ = flags; }
  // The answer of the button that closed the dialog; back to OK at every activation.
  int16_t Reply() const { return reply_; }
  void SetReply(int16_t reply) { reply_ = reply; }
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

  // The layout the dialog applied last, in twips (for tests).
  const MessageLayout& CurrentLayout() const { return layout_; }

 protected:
  bool event(QEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;

 private:
  // Steps that run whenever the dialog becomes the active window.
  void Activate();
  void ApplyLayout();
  void Answer(int16_t reply);
  int Pixels(double twips) const;  // at the screen's logical resolution

  const CodePage& code_page_;
  int16_t flags_ = 0;
  int16_t reply_ = mbox::kOk;
  bool unload_req_ = false;
  bool showing_pending_ = false;  // Present() has run the steps of the coming activation
  // The dialog was the program's last active window: its next activation
  // is a return from another program.
  bool last_active_ = false;
  MessageLayout layout_;
  double dpi_ = 96;

  // Holds lblMsg; it scrolls only for a message too large to show whole.
  QScrollArea* scroller_ = nullptr;
  QLabel* lblMsg_ = nullptr;
  QPushButton* cmdOk_ = nullptr;
  QPushButton* cmdYes_ = nullptr;
  QPushButton* cmdNo_ = nullptr;
  QPushButton* cmdCancel_ = nullptr;
  QLabel* imgInformation_ = nullptr;
  QLabel* imgCritical_ = nullptr;
  QLabel* imgExclamation_ = nullptr;
  QLabel* imgQuestion_ = nullptr;
};

}  // namespace hx

#endif  // HX_QT_MBOX1_QT_H_
