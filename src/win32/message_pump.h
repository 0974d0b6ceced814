// The program's handling of window messages, shared by the main window's
// event processing between report lines and its wait for the user: keyboard
// navigation of the message dialog (Tab, Enter, Esc, access keys) as a
// dialog box has it, everything else to its window.
//
// User-interface thread only.

#ifndef HX_WIN32_MESSAGE_PUMP_H_
#define HX_WIN32_MESSAGE_PUMP_H_

#include <windows.h>

namespace hx {

// Marks a top-level window whose keyboard input is handled like a dialog box's.
void HandleKeysLikeADialog(HWND window);

// Translates and dispatches one message taken from the queue.
void DispatchOne(MSG& message);

// Dispatches every message waiting in the queue and returns when it is empty.
void DispatchPending();

}  // namespace hx

#endif  // HX_WIN32_MESSAGE_PUMP_H_
