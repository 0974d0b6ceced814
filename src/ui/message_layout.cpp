#include "ui/message_layout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace hx {

namespace {

constexpr double kMaxTwips = INT16_MAX;

// [v]: v to the nearest whole twip, a half going to the even neighbour, as a
// 16-bit value.  The label is fitted beforehand so that no value of a real
// layout leaves 16 bits; should absurd control sizes still push one out, it
// is held at the limit, because a message must never stop the program.
int16_t Round16(double v) {
  const double r = std::nearbyint(v);  // the default rounding mode: half to even
  if (!(r > INT16_MIN)) return INT16_MIN;
  if (r > INT16_MAX) return INT16_MAX;
  return static_cast<int16_t>(r);
}

double NonNegative(double v) {
  return v > 0 ? v : 0;  // also turns NaN into 0
}

// The largest outer size the dialog may take in one direction: the screen,
// when known, and never more than 16-bit twips can hold.
double Limit(double screen) {
  return std::floor(screen > 0 ? std::min(screen, kMaxTwips) : kMaxTwips);
}

}  // namespace

MessageLayout LayoutMessage(double label_width, double label_height, int16_t flags,
                            double screen_width, double screen_height) {
  const MessageControls& controls = kMessageControls;
  MessageLayout m;

  // Which icons the flags select decides how much width is left for the text.
  const bool information = (flags & mbox::kInformation) != 0;
  Placement* second_icon = nullptr;
  MessageControls::Size second_size{0, 0};
  switch (flags & mbox::kIconBits) {
    case mbox::kCritical:
      second_icon = &m.critical;
      second_size = controls.critical;
      break;
    case mbox::kExclamation:
      second_icon = &m.exclamation;
      second_size = controls.exclamation;
      break;
    case mbox::kQuestion:
      second_icon = &m.question;
      second_size = controls.question;
      break;
    default:
      break;
  }
  const double icon_width =
      (information ? controls.information.width : 0) + (second_icon ? second_size.width : 0);

  // A message larger than the screen, or than 16-bit twips can place, is
  // shown in a part of the label that fits; the rest scrolls into view.
  label_width = NonNegative(label_width);
  label_height = NonNegative(label_height);
  const double room_width = NonNegative(Limit(screen_width) - 1800 - icon_width);
  const double room_height = NonNegative(Limit(screen_height) - 1500);
  m.label_width = std::min(label_width, room_width);
  m.label_height = std::min(label_height, room_height);
  m.label_cut = m.label_width < label_width || m.label_height < label_height;
  m.label_top = controls.label_top;

  m.label_left = 300;
  int16_t width = Round16(m.label_width + 1800);
  const int16_t height = Round16(m.label_height + 1500);

  auto show_icon = [&](Placement& icon, MessageControls::Size size) {
    m.label_left = 1000;
    icon.visible = true;
    icon.left = 200;
    icon.top = (height - 1200) / 2.0;
    width = Round16(static_cast<double>(width) + size.width);
  };
  if (information) show_icon(m.information, controls.information);
  if (second_icon) show_icon(*second_icon, second_size);

  m.width = width;
  m.height = height;
  m.left = (std::isfinite(screen_width) ? screen_width - width : 0) / 2;
  m.top = (std::isfinite(screen_height) ? screen_height - height : 0) / 2;

  const int16_t x = Round16((width - 200) / 2.0);
  const int16_t y = Round16(static_cast<double>(height) - 850);
  for (Placement* button : {&m.ok, &m.yes, &m.no, &m.cancel}) button->top = y;

  // One width spaces every button, whichever are shown.
  const double b = controls.button.width;
  if (flags & mbox::kYesNo) {
    m.yes = {true, x - (b + 200), static_cast<double>(y)};
    m.no = {true, x + 200.0, static_cast<double>(y)};
  } else if (flags & mbox::kYesNoCancel) {
    m.yes = {true, x - (1.5 * b + 400), static_cast<double>(y)};
    m.no = {true, x - b / 2, static_cast<double>(y)};
    m.cancel = {true, x + 0.5 * b + 400, static_cast<double>(y)};
  } else {
    // The lone OK button stands right of the centre line, not on it.
    m.ok = {true, x - 200.0, static_cast<double>(y)};
  }
  return m;
}

std::string WithPlainLineBreaks(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r') {
      out += text[i];
      continue;
    }
    out += '\n';
    if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
  }
  return out;
}

std::string MessageEcho(std::string_view caption, std::string_view text) {
  std::string echo(caption);
  echo += ": ";
  echo += WithPlainLineBreaks(text);
  echo += '\n';
  return echo;
}

void EchoingDialog::ShowMessage(const std::string& message, int16_t flags,
                                const std::string& caption) {
  const std::string echo = MessageEcho(caption, message);
  std::fwrite(echo.data(), 1, echo.size(), stderr);
  std::fflush(stderr);
  dialog_.ShowMessage(message, flags, caption);
}

void StandardErrorNotes::Note(const std::string& text) {
  std::fprintf(stderr, "HX_RPT: %s\n", text.c_str());
}

}  // namespace hx
