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
#include <array>
#include <string>

#include "qt/program_text.h"

namespace hx {

namespace {

QPushButton* MakeButton(QWidget* parent, const MBox1Button& b) {
  auto* button = new QPushButton(QString::fromLatin1(b.caption), parent);
  button->setObjectName(QString::fromLatin1(b.name));
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

// The controls, and what the controller asks of them, in pixels at the
// screen's logical resolution.
class MBox1::Controls : public MBox1View {
 public:
  Controls(MBox1& box, const CodePage& code_page) : box_(box), code_page_(code_page) {
    for (const MBox1Control control : kMBox1TabOrder) {
      if (control == MBox1Control::kLabel) {
        MakeLabel(box);
        continue;
      }
      for (const MBox1Button& b : kMBox1Buttons)
        if (b.control == control) controls_[static_cast<size_t>(control)] = MakeButton(&box, b);
    }
    const auto icon = [&](MBox1Control control, const char* name, QStyle::StandardPixmap which,
                          QSize picture) {
      controls_[static_cast<size_t>(control)] = MakeIcon(&box, name, which, picture);
    };
    icon(MBox1Control::kInformation, "imgInformation", QStyle::SP_MessageBoxInformation,
         QSize(37, 37));
    icon(MBox1Control::kCritical, "imgCritical", QStyle::SP_MessageBoxCritical, QSize(38, 38));
    icon(MBox1Control::kExclamation, "imgExclamation", QStyle::SP_MessageBoxWarning, QSize(38, 38));
    icon(MBox1Control::kQuestion, "imgQuestion", QStyle::SP_MessageBoxQuestion, QSize(38, 37));
    QWidget* previous = nullptr;
    for (const MBox1Button& b : kMBox1Buttons) {
      QWidget* button = controls_[static_cast<size_t>(b.control)];
      if (previous != nullptr) QWidget::setTabOrder(previous, button);
      previous = button;
    }

    if (const QScreen* s = QGuiApplication::primaryScreen()) dpi_ = s->logicalDotsPerInch();
    box.setFixedSize(Pixels(kMBox1Width), Pixels(kMBox1Height));
  }

  QPushButton* Button(MBox1Control control) const {
    return static_cast<QPushButton*>(controls_[static_cast<size_t>(control)]);
  }

  void SetCaption(const std::string& caption) override {
    // Given an empty title, the window system shows the program's name
    // instead; a blank one leaves the title bar empty as asked.
    const QString title = FromProgramText(caption, code_page_);
    box_.setWindowTitle(title.isEmpty() ? QStringLiteral(" ") : title);
  }

  void SetText(const std::string& message) override {
    lblMsg_->setText(FromProgramText(message, code_page_));
    lblMsg_->adjustSize();
  }

  Sizes Measure() override {
    const QRect area = ScreenArea();
    if (const QScreen* s = QGuiApplication::primaryScreen()) dpi_ = s->logicalDotsPerInch();
    const auto twips = [this](int pixels) { return pixels * kTwipsPerInch / dpi_; };
    return {twips(lblMsg_->width()), twips(lblMsg_->height()), twips(area.width()),
            twips(area.height())};
  }

  void Place(MBox1Control control, const Placement& at, MessageControls::Size size) override {
    QWidget* w = controls_[static_cast<size_t>(control)];
    w->setGeometry(Pixels(at.left), Pixels(at.top), Pixels(size.width), Pixels(size.height));
    w->setVisible(at.visible);
  }

  void SetDefaultButton(MBox1Control button) override {
    QWidget* chosen = controls_[static_cast<size_t>(button)];
    for (const MBox1Button& b : kMBox1Buttons) Button(b.control)->setDefault(b.control == button);
    // Also while hidden: the window's focus would otherwise stay on a button
    // of the previous message, and that button would take the default back.
    chosen->setFocus();
  }

  void PlaceLabel(const MessageLayout& m) override {
    const Qt::ScrollBarPolicy bars = m.label_cut ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff;
    scroller_->setHorizontalScrollBarPolicy(bars);
    scroller_->setVerticalScrollBarPolicy(bars);
    scroller_->setGeometry(Pixels(m.label_left), Pixels(m.label_top), Pixels(m.label_width),
                           Pixels(m.label_height));
  }

  void PlaceWindow(const MessageLayout& m) override {
    // The layout sizes the whole window, frame included; the frame is known
    // once the window system has decorated the dialog, and is 0 before.
    const QWindow* window = box_.windowHandle();
    const QMargins frame = window ? window->frameMargins() : QMargins();
    const int client_width = std::max(1, Pixels(m.width) - frame.left() - frame.right());
    const int client_height = std::max(1, Pixels(m.height) - frame.top() - frame.bottom());
    box_.setFixedSize(client_width, client_height);
    // A window's position is its frame's.
    const QRect area = ScreenArea();
    box_.move(area.x() + Pixels(m.left), area.y() + Pixels(m.top));
  }

  void Beep() override { QApplication::beep(); }

  bool Present() override {
    // Qt tells of the activation when the window system has made it, later.
    const bool activation_to_come = !(box_.isVisible() && box_.isActiveWindow());
    box_.show();
    box_.raise();
    box_.activateWindow();
    return activation_to_come;
  }

  void Hide() override { box_.hide(); }

  void RequestClose() override { box_.close(); }

 private:
  static QRect ScreenArea() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect();
  }
  int Pixels(double twips) const { return TwipsToPixels(twips, dpi_); }

  void MakeLabel(MBox1& box) {
    scroller_ = new QScrollArea(&box);
    scroller_->setObjectName(QStringLiteral("lblMsgArea"));
    scroller_->setFrameShape(QFrame::NoFrame);
    scroller_->setFocusPolicy(Qt::NoFocus);
    scroller_->setWidgetResizable(false);
    lblMsg_ = new QLabel(QString::fromLatin1(kMBox1LabelText));
    lblMsg_->setObjectName(QStringLiteral("lblMsg"));
    // Messages carry file names and controller replies; none of it is markup.
    lblMsg_->setTextFormat(Qt::PlainText);
    lblMsg_->setWordWrap(false);
    lblMsg_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    scroller_->setWidget(lblMsg_);
  }

  MBox1& box_;
  const CodePage& code_page_;
  double dpi_ = 96;
  // Holds lblMsg; it scrolls only for a message too large to show whole.
  QScrollArea* scroller_ = nullptr;
  QLabel* lblMsg_ = nullptr;
  std::array<QWidget*, kMBox1PlacedControls> controls_{};  // by MBox1Control
};

MBox1::MBox1(const CodePage& code_page)
    : QDialog(nullptr,
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      controls_(std::make_unique<Controls>(*this, code_page)),
      controller_(*controls_) {
  setObjectName(QStringLiteral("MBox1"));
  setWindowTitle(QString::fromLatin1(kMBox1Title));
  setModal(false);

  for (const MBox1Button& b : kMBox1Buttons) {
    connect(controls_->Button(b.control), &QPushButton::clicked, this,
            [this, answer = b.answer] { controller_.Answer(answer); });
  }
  connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow* w) {
    if (w && w != windowHandle()) last_active_ = false;
  });
}

MBox1::~MBox1() = default;

bool MBox1::event(QEvent* e) {
  switch (e->type()) {
    case QEvent::WindowActivate:
      controller_.WindowActivated(last_active_);
      last_active_ = true;
      break;
    case QEvent::WindowDeactivate:
      // Coming back from another program is not an activation of this one:
      // the dialog stays the program's last active window until another of
      // its windows takes over.
      last_active_ = QApplication::activeWindow() == nullptr;
      break;
    case QEvent::Hide:
      controller_.WindowHidden();
      last_active_ = false;
      break;
    default:
      break;
  }
  return QDialog::event(e);
}

void MBox1::closeEvent(QCloseEvent* e) {
  if (!controller_.CloseRequested()) {
    e->ignore();
    return;
  }
  setAttribute(Qt::WA_DeleteOnClose);
  QDialog::closeEvent(e);
}

void MBox1::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
    controller_.Escape();
    return;
  }
  // Enter and Return press the default button.
  QDialog::keyPressEvent(e);
}

}  // namespace hx
