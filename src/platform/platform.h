// The platform seams of HX_RPT: everything the portable core needs from the
// outside world.  One small interface per service (printer, screen, message
// dialog, vendor libraries, clock, files, notes) plus the program's own
// folder.  The toolkit layer (qt/ on Linux, win32/ on Windows) implements the
// screen and the dialog, and the system's services (posix/ on Linux, win32/
// on Windows) the clock and the files.  The rest are the core's own: the
// printer is the print job (output/print_job.h) on the platform's print
// device (platform/print_device.h), the vendor libraries are HostedVendor
// (comm/hosted_vendor.h), each library in a host process, and the notes
// StandardErrorNotes (ui/message_layout.h).  Tests implement them with fakes
// (see testing/fake_platform.h).  It includes nothing of the program but
// base/ and its own folder.
//
// Everything runs on the program's single user-interface thread but the log
// file's writes: FileSystem is also called from the log's own thread
// (base/bounded_call.h) and is safe from any thread.  A method that fails
// raises RunError with the platform's run-time error number; the caller's
// trap reports it.

#ifndef HX_PLATFORM_PLATFORM_H_
#define HX_PLATFORM_PLATFORM_H_

#include <chrono>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/code_page.h"
#include "platform/file_system.h"
#include "platform/vendor.h"

namespace hx {

// Window and dialog sizes are given in twips, 1/1440 inch.
inline constexpr double kTwipsPerInch = 1440;
inline int TwipsToPixels(double twips, double dpi) {
  return static_cast<int>(std::lround(twips * dpi / kTwipsPerInch));
}

// The system's current printer, shared by start-up, the definition file
// reader, the report pass and the printer channel.  One print job per run:
// it begins with the first printed line and must be handed to the printing
// system by EndJob() before the process ends.
class Printer {
 public:
  static constexpr int kLandscape = 2;
  // Every line the printer channel hands over begins with the report's left
  // margin; a row that continues a line too wide for the paper begins with
  // the same margin, so that the report's left edge stays straight.
  static constexpr std::string_view kMargin = "      ";
  // The font of the printed report until the definition file chooses
  // another; a FONTSIZE that is no number gives the size again.
  static constexpr std::string_view kStartFontName = "Courier New";
  static constexpr double kStartFontSize = 12;

  virtual ~Printer() = default;
  // The font takes effect on the printed lines; setting it never talks to a printer.
  virtual void SetFontName(const std::string& name) = 0;
  // A size no printer can draw keeps the last good one (output/print_job.h).
  virtual void SetFontSize(double points) = 0;
  // Name of the current printer; also the identifying text in printer failure messages.
  virtual std::string DeviceName() = 0;
  // From now on the output goes to whatever printer the system has as its default.
  virtual void FollowDefault() = 0;
  // Paper orientation of the current printer; kLandscape (2) or anything else.
  virtual int Orientation() = 0;
  // Prints one line below the previous one, starting a new page when it
  // would not fit, and going on in the next row when it is wider than the
  // paper; a font too large for the margin and one character is a failure.
  virtual void PrintLine(const std::string& text) = 0;
  // The next printed line starts on a new page.
  virtual void EjectPage() = 0;
  // Completes the print job, if one was begun, and hands it to the printing system.
  virtual void EndJob() = 0;
};

// The main window Main and its text box txtShow.
class Screen {
 public:
  // Main has no menu and no other control, and the system places it;
  // txtShow keeps its place and size when Main is resized.  In twips, Main's
  // size without its frame.
  static constexpr std::string_view kMainCaption = "Main";
  static constexpr double kMainWidth = 11235, kMainHeight = 6930;
  struct Area {
    double left, top, width, height;
  };
  static constexpr Area kTxtShow{300, 360, 10575, 5895};
  // txtShow scrolls both ways, never wraps, and is read-only: the report is
  // the only thing that writes in it.
  static constexpr std::string_view kTxtShowFontName = "Courier New";
  static constexpr double kTxtShowFontSize = 8.25;

  virtual ~Screen() = default;
  virtual void ShowMain() = 0;
  // Inserts text at txtShow's insertion point and leaves the point after it.
  virtual void InsertText(const std::string& text) = 0;
  // Lets the window repaint and the message dialog answer clicks.
  virtual void ProcessEvents() = 0;
  // Whether anyone can see Main and close it: not a window drawn off
  // screen for want of a display, nor one on a window station nobody looks at.
  virtual bool SomeoneCanClose() = 0;
  // Shows Main, with the message dialog in front of it when that is on
  // show, and returns once the user has closed it (at once when the user
  // already closed it while the report was produced).
  virtual void StayOpen() = 0;
};

// The style flags ShowMessage takes, numbered like the standard message
// box, and the answers the dialog keeps in its Reply.
namespace mbox {
inline constexpr int16_t kCritical = 0x10;
inline constexpr int16_t kQuestion = 0x20;
inline constexpr int16_t kExclamation = 0x30;
inline constexpr int16_t kIconBits = 0x30;  // read together as one two-bit value
inline constexpr int16_t kInformation = 0x40;
inline constexpr int16_t kYesNoCancel = 0x3;  // either low bit will do
inline constexpr int16_t kYesNo = 0x4;        // wins over the low bits

inline constexpr int16_t kOk = 1;
inline constexpr int16_t kCancel = 2;
inline constexpr int16_t kYes = 6;
inline constexpr int16_t kNo = 7;
}  // namespace mbox

// The program's own non-waiting message dialog MBox1.
class MessageDialog {
 public:
  virtual ~MessageDialog() = default;
  // Shows message with the style flags (mbox) and caption and returns at once.
  virtual void ShowMessage(const std::string& message, int16_t flags,
                           const std::string& caption) = 0;
};

// Local wall-clock time, read for each date or time field of the template.
struct LocalTime {
  int year = 2000, month = 1, day = 1;
  int hour = 0, minute = 0, second = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalTime Now() = 0;
  // Lets time pass before the run goes on: the pause before a log file
  // that another program holds is tried again.
  virtual void Pause(std::chrono::milliseconds time) = 0;
};

// What a run says beyond its messages, a line at a time: a tag it did not
// query, a reply without a number, the detail of a failure it reported.
// HX_RPT writes it on standard error, after its name; HX_CHECK keeps it to
// itself and says what it found in its own words.
class RunNotes {
 public:
  virtual ~RunNotes() = default;
  // text without the program's name or a line end; never fails.
  virtual void Note(const std::string& text) = 0;
};

// The seams one run works with.  Owned by main (or a test), outliving the run.
struct Platform {
  Printer& printer;
  Screen& screen;
  MessageDialog& dialog;
  VendorLibraries& vendor;
  Clock& clock;
  FileSystem& files;
  RunNotes& notes;
  // Folder holding the executable, without a trailing separator unless it is a root.
  std::string program_folder;
  // The code page of all program text: the definition file's, the
  // controllers' and the log's (base/code_page.h).  The platform layer
  // decides it once, from the system's settings.
  const CodePage& code_page = Windows1252();
};

}  // namespace hx

#endif  // HX_PLATFORM_PLATFORM_H_
