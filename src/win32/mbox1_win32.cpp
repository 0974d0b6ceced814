#include "win32/mbox1_win32.h"

#include <array>
#include <string>

#include "base/run_error.h"
#include "platform/platform.h"
#include "win32/message_pump.h"
#include "win32/program_text.h"
#include "win32/system_text.h"

namespace hx {

namespace {

constexpr wchar_t kClassName[] = L"HX_RPT.MBox1";

// The buttons' control identifiers are the answers they give, which are
// also the identifiers a dialog box's Enter and Esc keys send.
static_assert(IDOK == mbox::kOk && IDCANCEL == mbox::kCancel && IDYES == mbox::kYes &&
              IDNO == mbox::kNo);

HWND MakeButton(HWND parent, HINSTANCE instance, const MBox1Button& b) {
  const std::string caption(b.caption);
  return CreateWindowExA(0, "BUTTON", caption.c_str(), WS_CHILD | WS_TABSTOP | BS_PUSHBUTTON, 0, 0,
                         0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(b.answer)),
                         instance, nullptr);
}

HWND MakeIcon(HWND parent, HINSTANCE instance, LPCSTR which) {
  // Stretched to the control's size, which the layout keeps per icon.
  const HWND icon = CreateWindowExA(0, "STATIC", nullptr, WS_CHILD | SS_ICON | SS_REALSIZECONTROL,
                                    0, 0, 0, 0, parent, nullptr, instance, nullptr);
  if (icon != nullptr)
    SendMessageA(icon, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconA(nullptr, which)), 0);
  return icon;
}

bool BelongsToThisProgram(HWND window) {
  DWORD process = 0;
  return window != nullptr && GetWindowThreadProcessId(window, &process) != 0 &&
         process == GetCurrentProcessId();
}

}  // namespace

// The window and its controls, and what the controller asks of them, in
// pixels at the screen's resolution.
class MBox1::Window : public MBox1View {
 public:
  Window(MBox1& box, HINSTANCE instance, HWND owner, const CodePage& code_page)
      : box_(box), code_page_(code_page) {
    // A window of wide characters, like its label: caption and message show
    // in the program's code page whatever the system's.
    WNDCLASSEXW window_class{};
    window_class.cbSize = sizeof window_class;
    window_class.lpfnWndProc = WindowProc;
    window_class.hInstance = instance;
    window_class.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    window_class.lpszClassName = kClassName;
    RegisterClassExW(&window_class);

    HDC screen = GetDC(nullptr);
    if (screen != nullptr) {
      dpi_ = GetDeviceCaps(screen, LOGPIXELSY);
      ReleaseDC(nullptr, screen);
    }
    if (dpi_ <= 0) dpi_ = 96;

    hwnd_ = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_DLGMODALFRAME, kClassName,
                            WideFromProgramText(kMBox1Title, code_page_).c_str(),
                            WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, Pixels(kMBox1Width),
                            Pixels(kMBox1Height), owner, nullptr, instance, this);
    if (hwnd_ == nullptr) throw RunError(err::kInternal, "MBox1: " + LastSystemError());
    HandleKeysLikeADialog(hwnd_);

    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
      font_ = CreateFontIndirectA(&metrics.lfMessageFont);
    if (font_ == nullptr) font_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));

    // Made in tab order, each in the dialog's font.
    for (const MBox1Control control : kMBox1TabOrder) {
      HWND made = nullptr;
      if (control == MBox1Control::kLabel) {
        // Sized to its text by the layout; a line break only where the text has one.
        made = lblMsg_ =
            CreateWindowExW(0, L"STATIC", WideFromProgramText(kMBox1LabelText, code_page_).c_str(),
                            WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0, 0, 0, 0,
                            hwnd_, nullptr, instance, nullptr);
      }
      for (const MBox1Button& b : kMBox1Buttons) {
        if (b.control == control)
          made = controls_[static_cast<size_t>(control)] = MakeButton(hwnd_, instance, b);
      }
      if (made != nullptr) SendMessageA(made, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    }
    const auto icon = [&](MBox1Control control, LPCSTR which) {
      controls_[static_cast<size_t>(control)] = MakeIcon(hwnd_, instance, which);
    };
    icon(MBox1Control::kInformation, reinterpret_cast<LPCSTR>(IDI_INFORMATION));
    icon(MBox1Control::kCritical, reinterpret_cast<LPCSTR>(IDI_ERROR));
    icon(MBox1Control::kExclamation, reinterpret_cast<LPCSTR>(IDI_WARNING));
    icon(MBox1Control::kQuestion, reinterpret_cast<LPCSTR>(IDI_QUESTION));
  }

  ~Window() override {
    if (hwnd_ != nullptr) DestroyWindow(hwnd_);
    if (font_ != nullptr && font_ != GetStockObject(DEFAULT_GUI_FONT)) DeleteObject(font_);
  }
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  HWND hwnd() const { return hwnd_; }

  void SetCaption(const std::string& caption) override {
    SetWindowTextW(hwnd_, WideFromProgramText(caption, code_page_).c_str());
  }

  void SetText(const std::string& message) override {
    // The label breaks lines at CR LF.
    std::string text;
    for (char c : message) {
      if (c == '\n') text += '\r';
      text += c;
    }
    const std::wstring wide = WideFromProgramText(text, code_page_);
    SetWindowTextW(lblMsg_, wide.c_str());

    RECT bounds{0, 0, 0, 0};
    if (HDC dc = GetDC(lblMsg_)) {
      const HGDIOBJ old = SelectObject(dc, font_);
      DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &bounds,
                DT_CALCRECT | DT_NOPREFIX | DT_LEFT | DT_EXPANDTABS);
      SelectObject(dc, old);
      ReleaseDC(lblMsg_, dc);
    }
    label_size_ = {bounds.right - bounds.left, bounds.bottom - bounds.top};
  }

  Sizes Measure() override {
    const auto twips = [this](int pixels) { return pixels * kTwipsPerInch / dpi_; };
    return {twips(label_size_.cx), twips(label_size_.cy), twips(GetSystemMetrics(SM_CXSCREEN)),
            twips(GetSystemMetrics(SM_CYSCREEN))};
  }

  void Place(MBox1Control control, const Placement& at, MessageControls::Size size) override {
    SetWindowPos(Control(control), nullptr, Pixels(at.left), Pixels(at.top), Pixels(size.width),
                 Pixels(size.height),
                 SWP_NOZORDER | SWP_NOACTIVATE | (at.visible ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
  }

  void SetDefaultButton(MBox1Control button) override {
    // The dialog's keyboard handling asks for it (DM_GETDEFID), and each
    // activation gives it the focus.
    default_button_ = button;
    for (MBox1Control b : {MBox1Control::kOk, MBox1Control::kYes})
      SendMessageA(Control(b), BM_SETSTYLE, b == button ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
  }

  void PlaceLabel(const MessageLayout& m) override {
    // Beyond the screen, the label shows its top left part.
    SetWindowPos(lblMsg_, nullptr, Pixels(m.label_left), Pixels(m.label_top), Pixels(m.label_width),
                 Pixels(m.label_height), SWP_NOZORDER | SWP_NOACTIVATE);
  }

  void PlaceWindow(const MessageLayout& m) override {
    // The layout sizes the whole window, frame included.
    SetWindowPos(hwnd_, nullptr, Pixels(m.left), Pixels(m.top), Pixels(m.width), Pixels(m.height),
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }

  void Beep() override { MessageBeep(MB_OK); }

  bool Present() override {
    // The system tells of the activation while it makes it, here; where it
    // does not let a busy program take the foreground, there is none.
    SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    SetForegroundWindow(hwnd_);
    return false;
  }

  void Hide() override { ShowWindow(hwnd_, SW_HIDE); }

  void RequestClose() override { SendMessageA(hwnd_, WM_CLOSE, 0, 0); }

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
      const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self == nullptr || self->hwnd_ != hwnd)
      return DefWindowProcW(hwnd, message, wparam, lparam);
    return self->Handle(hwnd, message, wparam, lparam);
  }

  LRESULT Handle(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    MBox1Controller& controller = box_.controller_;
    switch (message) {
      case WM_ACTIVATE:
        if (LOWORD(wparam) == WA_INACTIVE) break;
        // The window it took over from tells where the user came from.
        controller.WindowActivated(!BelongsToThisProgram(reinterpret_cast<HWND>(lparam)));
        SetFocus(Control(default_button_));
        return 0;
      case DM_GETDEFID:
        return MAKELRESULT(default_button_ == MBox1Control::kOk ? IDOK : IDYES, DC_HASDEFID);
      case WM_COMMAND: {
        const int id = LOWORD(wparam);
        if (HIWORD(wparam) != BN_CLICKED) break;
        // The Esc key sends the Cancel button's identifier, also while that
        // button is hidden.
        if (id == IDCANCEL) {
          controller.Escape();
          return 0;
        }
        if (id == IDOK || id == IDYES || id == IDNO) {
          controller.Answer(static_cast<int16_t>(id));
          return 0;
        }
        break;
      }
      case WM_CLOSE:
        if (!controller.CloseRequested()) return 0;
        break;
      case WM_NCDESTROY:
        hwnd_ = nullptr;
        break;
      default:
        break;
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
  }

  int Pixels(double twips) const { return TwipsToPixels(twips, dpi_); }
  HWND Control(MBox1Control control) const { return controls_[static_cast<size_t>(control)]; }

  MBox1& box_;
  const CodePage& code_page_;
  int dpi_ = 96;
  SIZE label_size_{};  // of the whole text, in pixels
  MBox1Control default_button_ = MBox1Control::kOk;
  HWND hwnd_ = nullptr;
  HFONT font_ = nullptr;
  HWND lblMsg_ = nullptr;
  std::array<HWND, kMBox1PlacedControls> controls_{};  // by MBox1Control
};

MBox1::MBox1(HINSTANCE instance, HWND owner, const CodePage& code_page)
    : window_(std::make_unique<Window>(*this, instance, owner, code_page)), controller_(*window_) {}

MBox1::~MBox1() {
  // The window goes first: while it is destroyed, its messages still reach
  // the controller.
  window_.reset();
}

HWND MBox1::hwnd() const {
  return window_->hwnd();
}

}  // namespace hx
