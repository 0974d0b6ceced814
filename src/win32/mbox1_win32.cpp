#include "win32/mbox1_win32.h"

#include <cmath>

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

HWND MakeButton(HWND parent, HINSTANCE instance, int id, const char* caption) {
  return CreateWindowExA(0, "BUTTON", caption, WS_CHILD | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 0, 0,
                         parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance,
                         nullptr);
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

MBox1::MBox1(HINSTANCE instance, HWND owner, const CodePage& code_page) : code_page_(code_page) {
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

  hwnd_ = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_DLGMODALFRAME, kClassName, L"System Message",
                          WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, Pixels(4620), Pixels(1995),
                          owner, nullptr, instance, this);
  if (hwnd_ == nullptr) throw RunError(err::kInternal, "MBox1: " + LastSystemError());
  HandleKeysLikeADialog(hwnd_);

  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof metrics;
  if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
    font_ = CreateFontIndirectA(&metrics.lfMessageFont);
  if (font_ == nullptr) font_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));

  // Created in tab order: cmdOk, lblMsg, cmdYes, cmdNo, cmdCancel.
  cmdOk_ = MakeButton(hwnd_, instance, IDOK, "OK");
  // Sized to its text by the layout; a line break only where the text has one.
  lblMsg_ = CreateWindowExW(0, L"STATIC", L"Label1",
                            WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0, 0, 0, 0,
                            hwnd_, nullptr, instance, nullptr);
  cmdYes_ = MakeButton(hwnd_, instance, IDYES, "&Yes");
  cmdNo_ = MakeButton(hwnd_, instance, IDNO, "&No");
  cmdCancel_ = MakeButton(hwnd_, instance, IDCANCEL, "&Cancel");
  for (HWND control : {cmdOk_, lblMsg_, cmdYes_, cmdNo_, cmdCancel_}) {
    if (control != nullptr)
      SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  }

  imgInformation_ = MakeIcon(hwnd_, instance, reinterpret_cast<LPCSTR>(IDI_INFORMATION));
  imgCritical_ = MakeIcon(hwnd_, instance, reinterpret_cast<LPCSTR>(IDI_ERROR));
  imgExclamation_ = MakeIcon(hwnd_, instance, reinterpret_cast<LPCSTR>(IDI_WARNING));
  imgQuestion_ = MakeIcon(hwnd_, instance, reinterpret_cast<LPCSTR>(IDI_QUESTION));
}

MBox1::~MBox1() {
  if (hwnd_ != nullptr) DestroyWindow(hwnd_);
  if (font_ != nullptr && font_ != GetStockObject(DEFAULT_GUI_FONT)) DeleteObject(font_);
}

int MBox1::Pixels(double twips) const {
  return TwipsToPixels(twips, dpi_);
}

void MBox1::SetCaption(const std::string& caption) {
  SetWindowTextW(hwnd_, WideFromProgramText(caption, code_page_).c_str());
}

void MBox1::SetText(const std::string& message) {
  // The label breaks lines at CR LF; the messages also have CR alone.
  std::string text;
  for (char c : WithPlainLineBreaks(message)) {
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

void MBox1::Present() {
  // The showing is an activation of its own: the dialog lays itself out and
  // beeps here, also when the system does not let a busy program take the
  // foreground.  The activation this showing brings is then not run twice.
  Activate();
  presenting_ = true;
  SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  SetForegroundWindow(hwnd_);
  presenting_ = false;
}

void MBox1::Activate() {
  ApplyLayout();
  reply_ = mbox::kOk;
  MessageBeep(MB_OK);
}

void MBox1::ApplyLayout() {
  const auto twips = [this](int pixels) { return pixels * kTwipsPerInch / dpi_; };
  layout_ =
      LayoutMessage(twips(label_size_.cx), twips(label_size_.cy), flags_,
                    twips(GetSystemMetrics(SM_CXSCREEN)), twips(GetSystemMetrics(SM_CYSCREEN)));
  const MessageLayout& m = layout_;
  const MessageControls& controls = kMessageControls;

  const auto place = [this](HWND control, const Placement& p, MessageControls::Size size) {
    SetWindowPos(control, nullptr, Pixels(p.left), Pixels(p.top), Pixels(size.width),
                 Pixels(size.height),
                 SWP_NOZORDER | SWP_NOACTIVATE | (p.visible ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
  };
  place(imgInformation_, m.information, controls.information);
  place(imgCritical_, m.critical, controls.critical);
  place(imgExclamation_, m.exclamation, controls.exclamation);
  place(imgQuestion_, m.question, controls.question);
  place(cmdOk_, m.ok, controls.button);
  place(cmdYes_, m.yes, controls.button);
  place(cmdNo_, m.no, controls.button);
  place(cmdCancel_, m.cancel, controls.button);
  // OK, or Yes where there is no OK, answers the Enter key.
  SendMessageA(cmdOk_, BM_SETSTYLE, m.ok.visible ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
  SendMessageA(cmdYes_, BM_SETSTYLE, m.ok.visible ? BS_PUSHBUTTON : BS_DEFPUSHBUTTON, TRUE);
  // Beyond the screen, the label shows its top left part.
  SetWindowPos(lblMsg_, nullptr, Pixels(m.label_left), Pixels(m.label_top), Pixels(m.label_width),
               Pixels(m.label_height), SWP_NOZORDER | SWP_NOACTIVATE);
  // The layout sizes the whole window, frame included.
  SetWindowPos(hwnd_, nullptr, Pixels(m.left), Pixels(m.top), Pixels(m.width), Pixels(m.height),
               SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK MBox1::WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<MBox1*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self == nullptr || self->hwnd_ != hwnd) return DefWindowProcW(hwnd, message, wparam, lparam);
  return self->Handle(hwnd, message, wparam, lparam);
}

LRESULT MBox1::Handle(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_ACTIVATE:
      if (LOWORD(wparam) == WA_INACTIVE) break;
      // Coming back from another program is not an activation of this one.
      if (!presenting_ && BelongsToThisProgram(reinterpret_cast<HWND>(lparam))) Activate();
      SetFocus(layout_.ok.visible ? cmdOk_ : cmdYes_);
      return 0;
    case DM_GETDEFID:
      return MAKELRESULT(layout_.ok.visible ? IDOK : IDYES, DC_HASDEFID);
    case WM_COMMAND: {
      const int id = LOWORD(wparam);
      if (HIWORD(wparam) != BN_CLICKED) break;
      // Esc closes the dialog; it answers Cancel only where Cancel is shown.
      if (id == IDCANCEL && !layout_.cancel.visible) {
        SendMessageA(hwnd_, WM_CLOSE, 0, 0);
        return 0;
      }
      if (id == IDOK || id == IDCANCEL || id == IDYES || id == IDNO) {
        reply_ = static_cast<int16_t>(id);
        SendMessageA(hwnd_, WM_CLOSE, 0, 0);
        return 0;
      }
      break;
    }
    case WM_CLOSE:
      if (!unload_req_) {
        // Kept for the next message, with its text and answer.
        ShowWindow(hwnd_, SW_HIDE);
        return 0;
      }
      break;
    case WM_NCDESTROY:
      hwnd_ = nullptr;
      break;
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

}  // namespace hx
