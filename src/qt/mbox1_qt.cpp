#include "qt/mbox1_qt.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QWindow>
#include <algorithm>
#include <cmath>

#include "qt/program_text.h"

namespace hx {

namespace {

QPushButton* MakeButton(QWidget* parent, const char* name, const char* caption) {
  auto* button = new QPushButton(QString::fromLatin1(caption), parent);
  button->setObjectName(QString::fromLatin1(name));
  button->hide();
  return button;
}

QLabel* MakeIcon(QWidget* parent, const char* name, QStyle::StandardPixmap which, QSize picture) {
  auto* icon = new QLabel(parent);
  icon->setObjectName(QString::fromLatin1(name));
  icon->setPixmap(parent->style()->standardIcon(which, nullptr, parent).pixmap(picture));
  icon->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  icon->hide();
  return icon;
}

}  // namespace

MBox1::MBox1(const CodePage& code_page)
    : QDialog(nullptr,
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      code_page_(code_page) {
  setObjectName(QStringLiteral("MBox1"));
  setWindowTitle(QStringLiteral("System Message"));
  setModal(false);

  // Created in tab order: cmdOk, lblMsg, cmdYes, cmdNo, cmdCancel.
  cmdOk_ = MakeButton(this, "cmdOk", "OK");

  scroller_ = new QScrollArea(this);
  scroller_->setObjectName(QStringLiteral("lblMsgArea"));
  scroller_->setFrameShape(QFrame::NoFrame);
  scroller_->setFocusPolicy(Qt::NoFocus);
  scroller_->setWidgetResizable(false);
  lblMsg_ = new QLabel(QStringLiteral("Label1"));
  lblMsg_->setObjectName(QStringLiteral("lblMsg"));
  // Messages carry file names and controller replies; none of it is markup.
  lblMsg_->setTextFormat(Qt::PlainText);
  lblMsg_->setWordWrap(false);
  lblMsg_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  scroller_->setWidget(lblMsg_);

  cmdYes_ = MakeButton(this, "cmdYes", "&Yes");
  cmdNo_ = MakeButton(this, "cmdNo", "&No");
  cmdCancel_ = MakeButton(this, "cmdCancel", "&Cancel");
  setTabOrder(cmdOk_, cmdYes_);
  setTabOrder(cmdYes_, cmdNo_);
  setTabOrder(cmdNo_, cmdCancel_);

  imgInformation_ =
      MakeIcon(this, "imgInformation", QStyle::SP_MessageBoxInformation, QSize(37, 37));
  imgCritical_ = MakeIcon(this, "imgCritical", QStyle::SP_MessageBoxCritical, QSize(38, 38));
  imgExclamation_ = MakeIcon(this, "imgExclamation", QStyle::SP_MessageBoxWarning, QSize(38, 38));
  imgQuestion_ = MakeIcon(this, "imgQuestion", QStyle::SP_MessageBoxQuestion, QSize(38, 37));

  connect(cmdOk_, &QPushButton::clicked, this, [this] { Answer(mbox::kOk); });
  connect(cmdCancel_, &QPushButton::clicked, this, [this] { Answer(mbox::kCancel); });
  connect(cmdYes_, &QPushButton::clicked, this, [this] { Answer(mbox::kYes); });
  connect(cmdNo_, &QPushButton::clicked, this, [this] { Answer(mbox::kNo); });

  connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow* w) {
    if (w && w != windowHandle()) last_active_ = false;
  });

  if (const QScreen* s = QGuiApplication::primaryScreen()) dpi_ = s->logicalDotsPerInch();
  setFixedSize(Pixels(4620), Pixels(1995));
}

int MBox1::Pixels(double twips) const {
  return TwipsToPixels(twips, dpi_);
}

void MBox1::SetText(const std::string& message) {
  const std::string text = WithPlainLineBreaks(message);
  lblMsg_->setText(FromProgramText(text, code_page_));
  lblMsg_->adjustSize();
}

void MBox1::SetCaption(const std::string& caption) {
  // Given an empty title, the window system shows the program's name instead;
  // a blank one leaves the title bar empty as asked.
  const QString title = FromProgramText(caption, code_page_);
  setWindowTitle(title.isEmpty() ? QStringLiteral(" ") : title);
}

void MBox1::Present() {
  // The showing is an activation of its own: the dialog lays itself out and
  // beeps here, not only when the window system gets round to activating it,
  // which some window managers never do for a window of a busy program.  The
  // activation event this showing brings is then not run a second time.
  if (!(isVisible() && isActiveWindow())) showing_pending_ = true;
  Activate();
  show();
  raise();
  activateWindow();
}

void MBox1::Activate() {
  ApplyLayout();
  reply_ = mbox::kOk;
  QApplication::beep();
}

void MBox1::ApplyLayout() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QRect area = screen ? screen->geometry() : QRect();
  if (screen) dpi_ = screen->logicalDotsPerInch();
  const auto px = [this](double twips) { return Pixels(twips); };
  const auto twips = [this](int pixels) { return pixels * kTwipsPerInch / dpi_; };

  layout_ = LayoutMessage(twips(lblMsg_->width()), twips(lblMsg_->height()), flags_,
                          twips(area.width()), twips(area.height()));
  const MessageLayout& m = layout_;
  const MessageControls& controls = kMessageControls;

  const auto place = [&](QWidget* w, const Placement& p, MessageControls::Size size) {
    w->setGeometry(px(p.left), px(p.top), px(size.width), px(size.height));
    w->setVisible(p.visible);
  };
  place(imgInformation_, m.information, controls.information);
  place(imgCritical_, m.critical, controls.critical);
  place(imgExclamation_, m.exclamation, controls.exclamation);
  place(imgQuestion_, m.question, controls.question);
  place(cmdOk_, m.ok, controls.button);
  place(cmdYes_, m.yes, controls.button);
  place(cmdNo_, m.no, controls.button);
  place(cmdCancel_, m.cancel, controls.button);
  cmdOk_->setDefault(m.ok.visible);
  cmdYes_->setDefault(!m.ok.visible);
  cmdNo_->setDefault(false);
  cmdCancel_->setDefault(false);
  // Also while hidden: the window's focus would otherwise stay on a button of
  // the previous message, and that button would take the default back.
  (m.ok.visible ? cmdOk_ : cmdYes_)->setFocus();

  const Qt::ScrollBarPolicy bars = m.label_cut ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff;
  scroller_->setHorizontalScrollBarPolicy(bars);
  scroller_->setVerticalScrollBarPolicy(bars);
  scroller_->setGeometry(px(m.label_left), px(m.label_top), px(m.label_width), px(m.label_height));

  // The layout sizes the whole window, frame included; the frame is known
  // once the window system has decorated the dialog, and is 0 before.
  const QMargins frame = windowHandle() ? windowHandle()->frameMargins() : QMargins();
  const int client_width = std::max(1, px(m.width) - frame.left() - frame.right());
  const int client_height = std::max(1, px(m.height) - frame.top() - frame.bottom());
  setFixedSize(client_width, client_height);
  move(area.x() + px(m.left), area.y() + px(m.top));  // a window's position is its frame's
}

void MBox1::Answer(int16_t reply) {
  reply_ = reply;
  close();
}

bool MBox1::event(QEvent* e) {
  switch (e->type()) {
    case QEvent::WindowActivate:
      if (showing_pending_) {
        // Only the frame may have changed since: the window system decorates
        // a window when it first shows it.
        showing_pending_ = false;
        ApplyLayout();
      } else if (!last_active_) {
        Activate();
      }
      last_active_ = true;
      break;
    case QEvent::WindowDeactivate:
      // Coming back from another program is not an activation of this one:
      // the dialog stays the program's last active window until another of
      // its windows takes over.
      last_active_ = QApplication::activeWindow() == nullptr;
      break;
    case QEvent::Hide:
      showing_pending_ = false;
      last_active_ = false;
      break;
    default:
      break;
  }
  return QDialog::event(e);
}

void MBox1::closeEvent(QCloseEvent* e) {
  if (!unload_req_) {
    // Kept for the next message, with its text and answer.
    e->ignore();
    hide();
    return;
  }
  setAttribute(Qt::WA_DeleteOnClose);
  QDialog::closeEvent(e);
}

void MBox1::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
    if (layout_.cancel.visible)
      cmdCancel_->click();
    else
      close();
    return;
  }
  // Enter and Return press the default button, OK or Yes.
  QDialog::keyPressEvent(e);
}

}  // namespace hx
