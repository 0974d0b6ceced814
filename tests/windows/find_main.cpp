// Test helper for the Windows program: waits for HX_RPT's main window to be
// on screen, tells what the message dialog shows in front of it, and closes
// the main window as a user would.
//
// usage: find_main.exe close|look|probe [SECONDS]
// Prints "main: visible" and, when the dialog is on screen,
// "dialog: CAPTION" / "text: TEXT"; exits 1 when no main window showed.
// probe asks the main window ten times in two seconds whether it answers
// within 500 ms, as Windows does before it calls a window "Not Responding",
// prints "answered: N of 10" and then closes it.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void PrintText(const char* what, HWND window) {
  char text[4096] = "";
  GetWindowTextA(window, text, sizeof text);
  std::printf("%s: %s\n", what, text);
}

BOOL CALLBACK PrintLabel(HWND child, LPARAM) {
  char kind[32] = "";
  GetClassNameA(child, kind, sizeof kind);
  if (_stricmp(kind, "STATIC") == 0 && GetWindowTextLengthA(child) > 0 && IsWindowVisible(child))
    PrintText("text", child);
  return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
  const bool close = argc > 1 && std::strcmp(argv[1], "close") == 0;
  const int seconds = argc > 2 ? std::atoi(argv[2]) : 30;
  for (int tenth = 0; tenth < seconds * 10; ++tenth, Sleep(100)) {
    const HWND main = FindWindowA("HX_RPT.Main", "Main");
    if (main == nullptr || !IsWindowVisible(main)) continue;
    std::printf("main: visible\n");
    const HWND dialog = FindWindowA("HX_RPT.MBox1", nullptr);
    if (dialog != nullptr && IsWindowVisible(dialog)) {
      PrintText("dialog", dialog);
      EnumChildWindows(dialog, PrintLabel, 0);
    }
    if (std::strcmp(argv[1], "probe") == 0) {
      int answered = 0;
      for (int i = 0; i < 10; ++i, Sleep(200)) {
        DWORD_PTR result = 0;
        if (SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, 500, &result))
          ++answered;
      }
      std::printf("answered: %d of 10\n", answered);
      PostMessageA(main, WM_CLOSE, 0, 0);
    }
    std::fflush(stdout);
    if (close) PostMessageA(main, WM_CLOSE, 0, 0);
    return 0;
  }
  std::printf("main: not shown\n");
  return 1;
}
