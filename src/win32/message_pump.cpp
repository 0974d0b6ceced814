#include "win32/message_pump.h"

namespace hx {

namespace {

// The window property that marks a dialog-like window; kept on the window
// itself, so that the pump needs no list of its own.
constexpr char kDialogKeys[] = "HX_RPT.DialogKeys";

}  // namespace

void HandleKeysLikeADialog(HWND window) {
  SetPropA(window, kDialogKeys, reinterpret_cast<HANDLE>(1));
}

void DispatchOne(MSG& message) {
  if (message.hwnd != nullptr) {
    const HWND top = GetAncestor(message.hwnd, GA_ROOT);
    if (top != nullptr && GetPropA(top, kDialogKeys) != nullptr && IsDialogMessageA(top, &message))
      return;
  }
  TranslateMessage(&message);
  DispatchMessageA(&message);
}

void DispatchPending() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    // A quit request is the end of the wait for the user; nothing here waits.
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    DispatchOne(message);
  }
}

}  // namespace hx
