#include "ui/mbox1.h"

#include <gtest/gtest.h>

#include <string>

namespace hx {
namespace {

// A window that records what MBox1 asks of it; its close command goes to
// the controller as a toolkit's does.
class FakeWindow : public MBox1View {
 public:
  MBox1Controller box{*this};
  std::string caption, text, shown;  // shown: the controls on show, by MBox1Control
  MBox1Control default_button{};
  int beeps = 0;
  bool visible = false, discarded = false;

  void SetCaption(const std::string& c) override { caption = c; }
  void SetText(const std::string& t) override { text = t; }
  Sizes Measure() override { return {2000, 195, 28800, 16200}; }
  void Place(MBox1Control control, const Placement& at, MessageControls::Size) override {
    if (control == MBox1Control::kInformation) shown.clear();
    if (at.visible) shown += "iceqOYNC"[static_cast<int>(control)];
  }
  void PlaceLabel(const MessageLayout&) override {}
  void PlaceWindow(const MessageLayout&) override {}
  void SetDefaultButton(MBox1Control button) override { default_button = button; }
  void Beep() override { ++beeps; }
  bool Present() override {
    visible = true;
    return true;
  }
  void Hide() override { visible = false; }
  void RequestClose() override { discarded = box.CloseRequested(); }
};

TEST(MBox1ControllerTest, EveryShowingAndActivationLaysOutResetsReplyAndBeeps) {
  FakeWindow window;
  window.box.Show("Error: 6  \r\nOverflow in: Do This", 16, "HX_RPT Error Handler");
  EXPECT_EQ(window.caption, "HX_RPT Error Handler");
  EXPECT_EQ(window.text, "Error: 6  \nOverflow in: Do This");
  EXPECT_EQ(window.shown, "cO");
  EXPECT_EQ(window.default_button, MBox1Control::kOk);
  EXPECT_TRUE(window.visible);
  EXPECT_EQ(window.beeps, 1);

  // The activation the showing brings, and a return from another program:
  // neither is an activation of its own.
  window.box.SetReply(7);
  window.box.WindowActivated(false);
  window.box.WindowActivated(true);
  EXPECT_EQ(window.box.Reply(), 7);
  EXPECT_EQ(window.beeps, 1);

  window.box.SetFlags(32 + 4);
  window.box.WindowActivated(false);  // back from the main window
  EXPECT_EQ(window.box.Reply(), mbox::kOk);
  EXPECT_EQ(window.shown, "qYN");
  EXPECT_EQ(window.default_button, MBox1Control::kYes);  // no OK: Yes answers Enter
  EXPECT_EQ(window.beeps, 2);
}

TEST(MBox1ControllerTest, AnswersAndCloseRequestsOnlyHideTheDialog) {
  const struct {
    int16_t flags, answer, reply;  // answer 0: Esc; -1: the window's close command
  } cases[] = {{0, mbox::kOk, 1}, {3, mbox::kCancel, 2}, {3, mbox::kYes, 6}, {4, mbox::kNo, 7},
               {3, 0, 2},         {16, 0, 99},  // Esc answers Cancel only where Cancel is shown
               {16, -1, 99}};
  FakeWindow window;
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.flags << " " << c.answer);
    window.box.Show("Question", c.flags, "Caption");
    window.box.SetReply(99);  // so that an answer that sets nothing shows up
    if (c.answer > 0) window.box.Answer(c.answer);
    if (c.answer == 0) window.box.Escape();
    if (c.answer < 0) window.RequestClose();
    EXPECT_FALSE(window.visible || window.discarded);
    EXPECT_EQ(window.text, "Question");
    EXPECT_EQ(window.box.Reply(), c.reply);
  }
  window.box.SetUnloadReq(true);
  window.RequestClose();
  EXPECT_TRUE(window.discarded);
  window.box.Show("again", 0, "Caption");
  EXPECT_FALSE(window.box.UnloadReq());
}

}  // namespace
}  // namespace hx
