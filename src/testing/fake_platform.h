// In-memory fakes of the platform seams for the core's tests.  Each records
// what reached it so that tests can assert exactly what a user would see, and
// can be told to fail so that the failure paths are exercised.

#ifndef HX_TESTING_FAKE_PLATFORM_H_
#define HX_TESTING_FAKE_PLATFORM_H_

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/run_error.h"
#include "platform/platform.h"
#include "run/report_state.h"
#include "testing/fake_vendor.h"

namespace hx::testing {

class FakePrinter : public Printer {
 public:
  // What the printer received, in order: text lines as printed, "<EJECT>" for a page eject.
  std::vector<std::string> output;
  std::string font_name = "Courier New";
  double font_size = 12;
  std::string device_name = "FakeQueue";
  int orientation = 1;
  bool follows_default = false;
  // Failure injection: the operation raises RunError(fail_number) when set.
  std::optional<int> fail_print_at;  // the n-th PrintLine call (1-based) and every later one
  bool fail_name = false;
  bool fail_orientation = false;
  bool fail_font = false;
  int fail_number = err::kPrinterError;
  int print_calls = 0;

  void SetFontName(const std::string& name) override {
    if (fail_font) throw RunError(fail_number);
    font_name = name;
  }
  void SetFontSize(double points) override {
    if (fail_font) throw RunError(fail_number);
    font_size = points;
  }
  std::string DeviceName() override {
    if (fail_name) throw RunError(fail_number);
    return device_name;
  }
  void FollowDefault() override { follows_default = true; }
  int Orientation() override {
    if (fail_orientation) throw RunError(fail_number);
    return orientation;
  }
  void PrintLine(const std::string& text) override {
    ++print_calls;
    if (fail_print_at && print_calls >= *fail_print_at) throw RunError(fail_number);
    output.push_back(text);
  }
  void EjectPage() override { output.push_back("<EJECT>"); }
  void EndJob() override {}
};

class FakeScreen : public Screen {
 public:
  bool visible = false;
  std::string text;  // everything inserted into txtShow
  int events_processed = 0;
  bool fail_insert = false;

  void ShowMain() override { visible = true; }
  void InsertText(const std::string& t) override {
    if (fail_insert) throw RunError(err::kInternal);
    text += t;
  }
  void ProcessEvents() override { ++events_processed; }
  bool SomeoneCanClose() override { return false; }
  void StayOpen() override {}
};

struct Message {
  std::string text;
  int16_t flags;
  std::string caption;
};

class FakeDialog : public MessageDialog {
 public:
  std::vector<Message> messages;
  // The texts of the messages shown, in order.
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const Message& m : messages) texts.push_back(m.text);
    return texts;
  }
  void ShowMessage(const std::string& message, int16_t flags, const std::string& caption) override {
    messages.push_back({message, flags, caption});
  }
};

class FakeClock : public Clock {
 public:
  LocalTime now{2026, 3, 9, 7, 5, 3};
  // Every pause asked for, in order; none of them takes any time.
  std::vector<std::chrono::milliseconds> pauses;
  LocalTime Now() override { return now; }
  void Pause(std::chrono::milliseconds time) override { pauses.push_back(time); }
};

// The run's notes, kept.
class FakeNotes : public RunNotes {
 public:
  std::vector<std::string> notes;
  void Note(const std::string& text) override { notes.push_back(text); }
};

// The system's own files, with a log that fails or is held on demand (the
// fault injection of a file system wrapper).
class FakeFiles : public SystemFileSystem {
 public:
  // When set, Append asks this instead of the system.
  std::function<Appended(const std::string& path, std::string_view record)> append;

  Appended Append(const std::string& path, std::string_view record) override {
    return append ? append(path, record) : SystemFileSystem::Append(path, record);
  }
};

// A complete fake platform and a report state wired to it.
struct FakePlatform {
  FakePrinter printer;
  FakeScreen screen;
  FakeDialog dialog;
  FakeVendor vendor;
  FakeClock clock;
  FakeFiles files;
  FakeNotes notes;
  Platform platform{printer, screen, dialog, vendor, clock, files, notes, "/plant/hx"};
};

struct FakeRun : FakePlatform {
  ReportState rs{platform};
};

}  // namespace hx::testing

#endif  // HX_TESTING_FAKE_PLATFORM_H_
