#include "win32/message_dialog_win32.h"

namespace hx {

Win32MessageDialog::Win32MessageDialog(HINSTANCE instance, HWND owner, const CodePage& code_page)
    : instance_(instance), owner_(owner), code_page_(code_page) {}

Win32MessageDialog::~Win32MessageDialog() = default;

void Win32MessageDialog::ShowMessage(const std::string& message, int16_t flags,
                                     const std::string& caption) {
  if (owner_ == nullptr) return;

  // A dialog whose unload was requested has discarded its window; the next
  // message gets a new one.
  if (!box_ || box_->hwnd() == nullptr)
    box_ = std::make_unique<MBox1>(instance_, owner_, code_page_);
  // A busy pointer left by the work that failed would hang over the message.
  SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
  box_->controller().Show(message, flags, caption);
}

}  // namespace hx
