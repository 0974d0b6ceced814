#include "ui/mbox1.h"

namespace hx {

void MBox1Controller::Show(const std::string& message, int16_t flags, const std::string& caption) {
  flags_ = flags;
  view_.SetCaption(caption);
  view_.SetText(WithPlainLineBreaks(message));
  unload_req_ = false;
  Activate();
  // An activation the window system tells of while presenting belongs to the showing too.
  showing_pending_ = true;
  showing_pending_ = view_.Present();
}

void MBox1Controller::WindowActivated(bool from_another_program) {
  if (showing_pending_) {
    showing_pending_ = false;
    LayOut();
  } else if (!from_another_program) {
    Activate();
  }
}

void MBox1Controller::Activate() {
  LayOut();
  reply_ = mbox::kOk;
  view_.Beep();
}

void MBox1Controller::LayOut() {
  const MBox1View::Sizes sizes = view_.Measure();
  layout_ = LayoutMessage(sizes.label_width, sizes.label_height, flags_, sizes.screen_width,
                          sizes.screen_height);
  const MessageLayout& m = layout_;
  const MessageControls& controls = kMessageControls;
  // Every control, shown or not, so that only what the current flags select is on show.
  view_.Place(MBox1Control::kInformation, m.information, controls.information);
  view_.Place(MBox1Control::kCritical, m.critical, controls.critical);
  view_.Place(MBox1Control::kExclamation, m.exclamation, controls.exclamation);
  view_.Place(MBox1Control::kQuestion, m.question, controls.question);
  view_.Place(MBox1Control::kOk, m.ok, controls.button);
  view_.Place(MBox1Control::kYes, m.yes, controls.button);
  view_.Place(MBox1Control::kNo, m.no, controls.button);
  view_.Place(MBox1Control::kCancel, m.cancel, controls.button);
  // OK, or Yes where there is no OK, answers the Enter key.
  view_.SetDefaultButton(m.ok.visible ? MBox1Control::kOk : MBox1Control::kYes);
  view_.PlaceLabel(m);
  view_.PlaceWindow(m);
}

void MBox1Controller::Answer(int16_t reply) {
  reply_ = reply;
  view_.RequestClose();
}

void MBox1Controller::Escape() {
  if (layout_.cancel.visible)
    Answer(mbox::kCancel);
  else
    view_.RequestClose();
}

bool MBox1Controller::CloseRequested() {
  if (unload_req_) return true;
  // Kept for the next message, with its text and answer.
  view_.Hide();
  return false;
}

}  // namespace hx
