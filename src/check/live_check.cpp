#include "check/live_check.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "base/code_page.h"
#include "base/run_error.h"
#include "check/check_platform.h"
#include "check/shown_text.h"
#include "comm/controller_link.h"
#include "definition/definition_reader.h"
#include "report/process_list.h"

namespace hx {
namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

// The vendor libraries, timed: how long each controller took to open (its
// open and the power-up clear after it) and each exchange after that.
class TimedVendor : public VendorLibraries {
 public:
  struct Controller {
    double open_ms = 0;
    std::vector<double> exchanges_ms;
  };

  explicit TimedVendor(VendorLibraries& vendor) : vendor_(vendor) {}

  // By handle; a controller that did not open has none.
  std::map<int32_t, Controller> controllers;

  int16_t T31MdsOpenController(int32_t* handle, char* name) override {
    const auto start = Clock::now();
    const int16_t status = vendor_.T31MdsOpenController(handle, name);
    if (*handle != 0) controllers[*handle] = {Milliseconds(Clock::now() - start), {}};
    return status;
  }
  int16_t T31MdsSendRece(int32_t handle, char* command, int32_t command_length, char* reply,
                         int32_t reply_size, int32_t* reply_length) override {
    const auto start = Clock::now();
    const int16_t status =
        vendor_.T31MdsSendRece(handle, command, command_length, reply, reply_size, reply_length);
    controllers[handle].exchanges_ms.push_back(Milliseconds(Clock::now() - start));
    return status;
  }
  int16_t T31MdsSendReceSz(int32_t handle, char* command, char* reply,
                           int32_t reply_size) override {
    const auto start = Clock::now();
    const int16_t status = vendor_.T31MdsSendReceSz(handle, command, reply, reply_size);
    // The power-up clear right after the open belongs to the opening.
    Controller& c = controllers[handle];
    if (c.exchanges_ms.empty()) {
      c.open_ms += Milliseconds(Clock::now() - start);
    } else {
      c.exchanges_ms.push_back(Milliseconds(Clock::now() - start));
    }
    return status;
  }
  int16_t T31ErrorAsString(int16_t code, char* text, int32_t text_size,
                           int32_t* text_length) override {
    return vendor_.T31ErrorAsString(code, text, text_size, text_length);
  }
  int16_t StringAsLong(int32_t* value, char* text) override {
    return vendor_.StringAsLong(value, text);
  }
  int16_t StringAsFloat(float* value, char* text) override {
    return vendor_.StringAsFloat(value, text);
  }

 private:
  VendorLibraries& vendor_;
};

// Every tag the value pass visits, with the messages and the notes its
// query brought.
class Readings : public ValueObserver {
 public:
  Readings(const std::vector<std::string>& messages, const std::vector<std::string>& notes)
      : messages_(messages),
        notes_(notes),
        seen_messages_(messages.size()),
        seen_notes_(notes.size()) {}

  struct Reading {
    TagRead read;
    std::vector<std::string> messages, notes;
  };
  std::map<int, Reading> tags;

  void TagVisited(int index, const TagRead& read) override {
    Reading& r = tags[index];
    r.read = read;
    r.messages = Since(messages_, seen_messages_);
    r.notes = Since(notes_, seen_notes_);
  }
  // The messages since the last tag.
  std::vector<std::string> Rest() const {
    return {messages_.begin() + static_cast<std::ptrdiff_t>(seen_messages_), messages_.end()};
  }

 private:
  static std::vector<std::string> Since(const std::vector<std::string>& all, size_t& seen) {
    std::vector<std::string> since(all.begin() + static_cast<std::ptrdiff_t>(seen), all.end());
    seen = all.size();
    return since;
  }

  const std::vector<std::string>& messages_;
  const std::vector<std::string>& notes_;
  size_t seen_messages_, seen_notes_;
};

// A message on one line: "Controller 'X' is not responding. / <library's text>".
std::string OneLine(const std::string& message) {
  std::string line = message;
  for (size_t at = 0; (at = line.find_first_of("\r\n", at)) != std::string::npos;) {
    const size_t end = line.find_first_not_of("\r\n", at);
    line.replace(at, (end == std::string::npos ? line.size() : end) - at, " / ");
  }
  return line;
}

// The library's own text for a status, as the communication message gives it
// after its line end.
std::string LibraryText(const std::vector<std::string>& messages) {
  for (const std::string& m : messages) {
    const size_t cr = m.find('\r');
    if (cr != std::string::npos && m.find("Error:") != 0) return m.substr(cr + 1);
  }
  return {};
}

bool VendorFailed(const std::vector<std::string>& messages) {
  return std::any_of(messages.begin(), messages.end(),
                     [](const std::string& m) { return m.starts_with("Error: 49"); });
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.size() % 2 == 1 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

std::string Ms(double ms) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f ms", ms);
  return text;
}

// Why a tag did not answer well, in words.
std::string Why(const TagRead& read, const std::string& code_page) {
  using Outcome = TagRead::Outcome;
  switch (read.outcome) {
    case Outcome::kAnswered:
      return {};
    case Outcome::kNotOpen:
      return "not queried: its controller is not open";
    case Outcome::kNotSendable:
      return "not queried: its name or table index holds a character that " + code_page + " lacks";
    case Outcome::kFailed:
      return "the controller does not know the symbol, or could not read it";
    case Outcome::kNoNumber:
      return "a number tag whose reply holds no number";
    case Outcome::kNotConverted:
      return "the conversion library failed";
    case Outcome::kNotReached:
      if (read.status == kStatusNotResponding) return "the controller is not answering";
      return "a failed exchange";
  }
  return {};
}

}  // namespace

int WriteLiveCheck(const DefinitionCheck& check, const std::string& path, FileSystem& files,
                   VendorLibraries& vendor, std::ostream& out) {
  const CodePage& code_page = check.state().platform.code_page;
  const auto utf8 = [&](const std::string& program_text) {
    return Utf8FromProgramText(program_text, code_page);
  };

  CheckPrinter printer;
  CheckScreen screen;
  CheckDialog dialog;
  TimedVendor timed(vendor);
  CheckClock clock;
  CheckNotes notes;
  Platform platform{printer, screen, dialog, timed, clock, files, notes, {}, code_page};
  auto rs = std::make_unique<ReportState>(platform);
  // A run shows a communication failure, with the library's own text for
  // it, only with SHOWIT; here every one is wanted.  Nothing else changes:
  // the controllers get the exchanges a run gives them.
  rs->SHOWIT = true;
  InitBuffers(*rs);
  std::optional<int32_t> stopped;
  try {
    const std::unique_ptr<std::istream> in = files.OpenForReading(path);
    ReadDefinition(*rs, *in);
  } catch (const RunError& e) {
    stopped = e.number();
  }
  const size_t opening_messages = dialog.messages.size();
  Readings readings(dialog.messages, notes.notes);
  if (!stopped) Process_List(*rs, &readings);

  const std::string& file = check.file_name();
  const auto at = [&](int line, bool error) {
    return file + ":" + (line > 0 ? std::to_string(line) + ":" : std::string()) +
           (error ? " error: " : " ");
  };

  out << "Live: the controllers opened and every tag read once, as HX_RPT does:\n";
  // The messages of the opening, in the order they came.
  for (size_t k = 0; k < opening_messages; ++k)
    out << at(0, false) << "message: " << utf8(Escaped(OneLine(dialog.messages[k]))) << '\n';

  int named = 0, opened = 0;
  for (size_t slot = 1; slot <= 5; ++slot) {
    const int line = check.ControllerLine(slot);
    if (line == 0) continue;
    ++named;
    const int32_t handle = rs->ControllerHandle[slot];
    const std::string name =
        "controller " + std::to_string(slot) + " '" + utf8(Escaped(rs->ControllerName[slot])) + "'";
    if (handle == 0) {
      out << at(line, true) << name << ": not opened\n";
      continue;
    }
    ++opened;
    const TimedVendor::Controller& c = timed.controllers[handle];
    out << at(line, false) << name << ": opened in " << Ms(c.open_ms) << "; "
        << c.exchanges_ms.size() << (c.exchanges_ms.size() == 1 ? " exchange" : " exchanges");
    if (!c.exchanges_ms.empty()) {
      out << ", median " << Ms(Median(c.exchanges_ms)) << ", slowest "
          << Ms(*std::max_element(c.exchanges_ms.begin(), c.exchanges_ms.end()));
    }
    out << '\n';
  }

  int answered = 0, failed = 0;
  // Where the library failed, if it did: it may have done so already while
  // the controllers were opened (in a power-up clear, say).
  std::string vendor_failed;
  if (VendorFailed({dialog.messages.begin(),
                    dialog.messages.begin() + static_cast<std::ptrdiff_t>(opening_messages)}))
    vendor_failed = "while the controllers were opened";
  for (size_t i = 0; i < rs->TagTable.size(); ++i) {
    if (!check.TagDefined(i)) continue;
    const Tag& tag = rs->TagTable[i];
    const int slot = tag.TagController;
    std::string head = "tag " + std::to_string(i) + ", controller " + std::to_string(slot);
    if (slot >= 1 && slot <= 5 && !rs->ControllerName[static_cast<size_t>(slot)].empty())
      head += " '" + utf8(Escaped(rs->ControllerName[static_cast<size_t>(slot)])) + "'";
    const auto found = readings.tags.find(static_cast<int>(i));
    if (found == readings.tags.end()) {
      // The reading of the file, or the value pass, stopped before it (its
      // trap said why).
      ++failed;
      out << at(check.TagDefinitionLine(i), true) << head
          << (stopped ? ": not read: HX_RPT stopped reading the file"
                      : ": not read: HX_RPT's value pass stopped before it");
      for (const std::string& m : readings.Rest()) out << "; " << utf8(Escaped(OneLine(m)));
      out << '\n';
      continue;
    }
    const Readings::Reading& r = found->second;
    const bool good = r.read.outcome == TagRead::Outcome::kAnswered;
    good ? ++answered : ++failed;
    out << at(check.TagDefinitionLine(i), !good) << head;
    const bool queried = r.read.queried();
    if (queried) {
      const bool not_sent =
          r.read.status == kStatusNoExchange && !vendor_failed.empty() && !VendorFailed(r.messages);
      out << (not_sent ? ": command \"" : ": sent \"") << utf8(Escaped(tag.TagCommand)) << "\"";
      if (r.read.status == kStatusNoExchange) {
        // The reply is what an earlier exchange left: none came for this one.
        out << ", no answer";
      } else {
        out << ", status " << r.read.status;
        const std::string text = LibraryText(r.messages);
        if (!text.empty()) out << " (" << utf8(Escaped(text)) << ")";
        out << ", reply \"" << utf8(Escaped(r.read.reply)) << "\"";
      }
    }
    out << (queried ? ", shows \"" : ": shows \"") << utf8(Escaped(tag.TagText)) << "\"";
    if (!good) {
      out << ": ";
      if (r.read.status != kStatusNoExchange) {
        out << Why(r.read, std::string(code_page.name()));
      } else if (VendorFailed(r.messages)) {
        out << "the vendor library failed";
        vendor_failed = "at an earlier tag";
      } else if (!vendor_failed.empty()) {
        // A library that failed is not called again in the run.
        out << "not sent, since the vendor library failed " << vendor_failed;
      } else {
        out << "a failed exchange";
        for (const std::string& note : r.notes) out << "; " << utf8(Escaped(note));
      }
    }
    out << '\n';
  }

  out << file << ": live: " << answered << (answered == 1 ? " tag" : " tags") << " answered, "
      << failed << " failed; " << opened << " of " << named
      << (named == 1 ? " controller" : " controllers") << " opened\n";
  return failed == 0 && opened == named && !stopped ? 0 : 1;
}

}  // namespace hx
