// The platform HX_CHECK reads a definition file with: every seam answers,
// and nothing is opened, printed or shown.  The printer keeps the font the
// file asks for, the vendor libraries know no controller, the dialog keeps
// its messages to itself (a controller that cannot be opened is what a check
// expects, not news).  No toolkit and no system library is needed, so
// HX_CHECK runs as a plain console program.
//
// Single-threaded, like the report state that uses it.

#ifndef HX_CHECK_CHECK_PLATFORM_H_
#define HX_CHECK_CHECK_PLATFORM_H_

#include <cstdint>
#include <ctime>
#include <istream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/run_error.h"
#include "platform/platform.h"
#include "platform/vendor.h"

namespace hx {

class CheckPrinter : public Printer {
 public:
  // What the definition file set; empty until it sets something.
  std::optional<std::string> font_name;
  std::optional<double> font_size;
  bool follows_default = false;

  // The name PRINTERNAME=Default records; no printer is asked.
  static constexpr const char* kDefaultPrinterName = "(the system's default printer)";

  void SetFontName(const std::string& name) override { font_name = name; }
  void SetFontSize(double points) override { font_size = points; }
  std::string DeviceName() override { return kDefaultPrinterName; }
  void FollowDefault() override { follows_default = true; }
  int Orientation() override { return 1; }
  void PrintLine(const std::string&) override {}
  void EjectPage() override {}
  void EndJob() override {}
};

class CheckScreen : public Screen {
 public:
  void ShowMain() override {}
  void InsertText(const std::string&) override {}
  void ProcessEvents() override {}
  bool SomeoneCanClose() override { return false; }
  void StayOpen() override {}
};

class CheckDialog : public MessageDialog {
 public:
  std::vector<std::string> messages;
  void ShowMessage(const std::string& message, int16_t, const std::string&) override {
    messages.push_back(message);
  }
};

// Opens nothing: every controller is "not found", every other call answers
// nothing.  Reading a definition file calls only the open (and, with SHOWIT,
// the error text of its failure).
class AbsentVendor : public VendorLibraries {
 public:
  static constexpr int16_t kNotFound = -2;

  int16_t T31MdsOpenController(int32_t* handle, char*) override {
    *handle = 0;
    return kNotFound;
  }
  int16_t T31MdsSendRece(int32_t, char*, int32_t, char*, int32_t, int32_t* reply_length) override {
    *reply_length = 0;
    return kNotFound;
  }
  int16_t T31MdsSendReceSz(int32_t, char*, char*, int32_t) override { return kNotFound; }
  int16_t T31ErrorAsString(int16_t, char*, int32_t, int32_t* text_length) override {
    *text_length = 0;
    return 0;
  }
  int16_t StringAsLong(int32_t* value, char*) override {
    *value = 0;
    return 0;
  }
  int16_t StringAsFloat(float* value, char*) override {
    *value = 0;
    return 0;
  }
};

class CheckClock : public Clock {
 public:
  LocalTime Now() override { return {}; }
  void Pause(std::chrono::milliseconds) override {}
};

// The system's local time, for the date and time fields of a preview.
class LocalClock : public Clock {
 public:
  LocalTime Now() override {
    const std::time_t now = std::time(nullptr);
    const std::tm* t = std::localtime(&now);
    if (t == nullptr) return {};
    return {t->tm_year + 1900, t->tm_mon + 1, t->tm_mday, t->tm_hour, t->tm_min, t->tm_sec};
  }
  void Pause(std::chrono::milliseconds) override {}  // the check writes no log to wait for
};

// The check reads its file itself and writes no log: no file is opened here.
class CheckFiles : public FileSystem {
 public:
  std::string NameOf(std::string_view text, const CodePage&, bool) override {
    return std::string(text);
  }
  std::string ProgramTextOf(std::string_view name, const CodePage&) override {
    return std::string(name);
  }
  PathKind KindOf(const std::string&) override { return PathKind::kMissing; }
  std::unique_ptr<std::istream> OpenForReading(const std::string& path) override {
    throw RunError(err::kFileNotFound, path);
  }
  Appended Append(const std::string& path, std::string_view) override {
    throw RunError(err::kPathFileAccess, path);
  }
};

// What HX_RPT would note on standard error the check finds and says
// itself; the notes are only kept.
class CheckNotes : public RunNotes {
 public:
  std::vector<std::string> notes;
  void Note(const std::string& text) override { notes.push_back(text); }
};

// All of it, wired into one Platform.
struct CheckPlatform {
  explicit CheckPlatform(const CodePage& code_page)
      : platform{printer, screen, dialog, vendor, clock, files, notes, {}, code_page} {}
  CheckPlatform(const CheckPlatform&) = delete;
  CheckPlatform& operator=(const CheckPlatform&) = delete;

  CheckPrinter printer;
  CheckScreen screen;
  CheckDialog dialog;
  AbsentVendor vendor;
  CheckClock clock;
  CheckFiles files;
  CheckNotes notes;
  Platform platform;
};

}  // namespace hx

#endif  // HX_CHECK_CHECK_PLATFORM_H_
