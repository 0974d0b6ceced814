#include "win32/main_window_win32.h"

#include <cmath>

#include "win32/message_pump.h"
#include "win32/program_text.h"
#include "win32/system_text.h"

namespace hx {

namespace {

constexpr char kClassName[] = "HX_RPT.Main";

int ScreenDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
  if (screen != nullptr) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

}  // namespace

MainWindow::MainWindow(HINSTANCE instance, const CodePage& code_page) : code_page_(code_page) {
  WNDCLASSEXA window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = WindowProc;
  window_class.hInstance = instance;
  window_class.hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
  window_class.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = kClassName;
  RegisterClassExA(&window_class);

  const int dpi = ScreenDpi();
  const auto px = [dpi](double twips) { return TwipsToPixels(twips, dpi); };
  // The sizes are the client area's; the frame comes on top.
  const DWORD style = WS_OVERLAPPEDWINDOW;
  RECT outer{0, 0, px(kMainWidth), px(kMainHeight)};
  AdjustWindowRectEx(&outer, style, FALSE, 0);
  hwnd_ = CreateWindowExA(0, kClassName, std::string(kMainCaption).c_str(), style, CW_USEDEFAULT,
                          CW_USEDEFAULT, outer.right - outer.left, outer.bottom - outer.top,
                          nullptr, nullptr, instance, this);
  if (hwnd_ == nullptr) {
    failure_ = "Main: " + LastSystemError();
    return;
  }

  // A text box of wide characters, which shows the report in the program's
  // code page whatever the system's.
  txtShow_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                             WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL | ES_MULTILINE |
                                 ES_READONLY | ES_AUTOHSCROLL | ES_AUTOVSCROLL,
                             px(kTxtShow.left), px(kTxtShow.top), px(kTxtShow.width),
                             px(kTxtShow.height), hwnd_, nullptr, instance, nullptr);
  if (txtShow_ == nullptr) {
    failure_ = "txtShow: " + LastSystemError();
    DestroyWindow(hwnd_);
    hwnd_ = nullptr;
    return;
  }
  // A report of 400 lines is more than the text box takes by default.
  SendMessageA(txtShow_, EM_SETLIMITTEXT, 0, 0);
  font_ =
      CreateFontA(-static_cast<int>(std::lround(kTxtShowFontSize * dpi / 72)), 0, 0, 0, FW_NORMAL,
                  FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                  DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, std::string(kTxtShowFontName).c_str());
  if (font_ != nullptr) SendMessageA(txtShow_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
}

MainWindow::~MainWindow() {
  if (hwnd_ != nullptr) DestroyWindow(hwnd_);
  if (font_ != nullptr) DeleteObject(font_);
}

void MainWindow::ShowMain() {
  if (!made()) return;
  ShowWindow(hwnd_, SW_SHOW);
  UpdateWindow(hwnd_);
}

void MainWindow::InsertText(const std::string& text) {
  if (!made()) return;
  // The text box takes the report's CR LF line ends as they are.  It holds
  // text up to its first zero byte.
  const std::wstring wide = WideFromProgramText(text, code_page_);
  SendMessageW(txtShow_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(wide.c_str()));
}

void MainWindow::ProcessEvents() {
  DispatchPending();
}

bool MainWindow::SomeoneCanClose() {
  USEROBJECTFLAGS flags{};
  if (!GetUserObjectInformationA(GetProcessWindowStation(), UOI_FLAGS, &flags, sizeof flags,
                                 nullptr))
    return true;
  return (flags.dwFlags & WSF_VISIBLE) != 0;
}

void MainWindow::StayOpen() {
  if (!made() || closed_by_user_) return;
  ShowMain();
  MSG message;
  while (!closed_by_user_) {
    const BOOL got = GetMessageA(&message, nullptr, 0, 0);
    if (got == 0 || got == -1) break;  // a quit request, or no queue to wait on
    DispatchOne(message);
  }
}

LRESULT CALLBACK MainWindow::WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lparam);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (self != nullptr && message == WM_CLOSE) {
    // Hidden, not destroyed: a report still in progress keeps writing to it.
    self->closed_by_user_ = true;
    ShowWindow(hwnd, SW_HIDE);
    return 0;
  }
  if (self != nullptr && message == WM_CTLCOLORSTATIC &&
      reinterpret_cast<HWND>(lparam) == self->txtShow_) {
    // Read-only for the user, but the report reads as on a page, not greyed.
    const HDC dc = reinterpret_cast<HDC>(wparam);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
  }
  return DefWindowProcA(hwnd, message, wparam, lparam);
}

}  // namespace hx
