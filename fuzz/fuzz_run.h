// What every fuzz target shares: a report state wired to in-memory fakes that
// record each output line separately, the check that stops the fuzzer on a
// broken property, and the small text helpers the targets use to cut their
// input into lines and to compare a state before and after a call.
//
// A property that does not hold is a finding like a crash: Check prints what
// was expected and aborts, so libFuzzer keeps the input that caused it.

#ifndef HX_FUZZ_FUZZ_RUN_H_
#define HX_FUZZ_FUZZ_RUN_H_

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "run/report_state.h"
#include "testing/fake_platform.h"
#include "testing/fake_vendor.h"

namespace hx::fuzz {

// Prints the broken property and the values involved, then aborts.
[[noreturn]] inline void Fail(const char* property, const std::string& detail) {
  std::fprintf(stderr, "\nPROPERTY VIOLATED: %s\n", property);
  // Bytes are shown escaped so that control characters and blanks are visible.
  std::string shown;
  for (unsigned char c : detail) {
    if (c == '\n' || (c >= 32 && c < 127 && c != '\\')) {
      shown += static_cast<char>(c);
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      shown += hex;
    }
  }
  std::fprintf(stderr, "%s\n", shown.c_str());
  std::abort();
}

inline void Check(bool holds, const char* property, const std::string& detail = {}) {
  if (!holds) Fail(property, detail);
}

// A text box that keeps every inserted piece apart, so that each output line
// can be looked at on its own, whatever bytes it holds.
class RecordingScreen : public testing::FakeScreen {
 public:
  std::vector<std::string> inserts;
  void InsertText(const std::string& text) override { inserts.push_back(text); }
};

// The fake vendor, also remembering the numbers its conversion routines
// stored, so that a display text can be compared with the value behind it.
class RecordingVendor : public testing::FakeVendor {
 public:
  int long_conversions = 0;
  int float_conversions = 0;
  int32_t last_long = 0;
  float last_float = 0;

  int16_t StringAsLong(int32_t* value, char* text) override {
    int16_t status = FakeVendor::StringAsLong(value, text);
    ++long_conversions;
    last_long = *value;
    return status;
  }
  int16_t StringAsFloat(float* value, char* text) override {
    int16_t status = FakeVendor::StringAsFloat(value, text);
    ++float_conversions;
    last_float = *value;
    return status;
  }
};

// One run's report state on fakes.  Kept out of the fuzz targets' statics:
// each input gets a fresh one, so an input's outcome never depends on the
// inputs before it.
struct FuzzRun {
  testing::FakePrinter printer;
  RecordingScreen screen;
  testing::FakeDialog dialog;
  RecordingVendor vendor;
  testing::FakeClock clock;
  SystemFileSystem files;
  testing::FakeNotes notes;
  Platform platform{printer, screen, dialog, vendor, clock, files, notes, "/plant/hx"};
  ReportState rs{platform};

  // The lines that reached txtShow, each without the line end LinePrint adds.
  std::vector<std::string> ScreenLines() const {
    std::vector<std::string> lines;
    for (const std::string& insert : screen.inserts) {
      Check(insert.size() >= 2 && insert.compare(insert.size() - 2, 2, "\r\n") == 0,
            "every screen line ends with CR LF", insert);
      lines.push_back(insert.substr(0, insert.size() - 2));
    }
    return lines;
  }
};

inline std::string_view AsText(const uint8_t* data, size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// Cuts text at every line feed; a last piece without one is a line too.
inline std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t from = 0;
  while (from <= text.size()) {
    size_t end = text.find('\n', from);
    if (end == std::string_view::npos) end = text.size();
    lines.emplace_back(text.substr(from, end - from));
    from = end + 1;
  }
  return lines;
}

inline bool SameTag(const Tag& a, const Tag& b) {
  return a.TagKind == b.TagKind && a.TagController == b.TagController &&
         a.TagCommand == b.TagCommand && a.TagDigits == b.TagDigits &&
         a.TagDecimals == b.TagDecimals && a.TagTrueText == b.TagTrueText &&
         a.TagFalseText == b.TagFalseText && a.TagFormat == b.TagFormat && a.TagText == b.TagText &&
         a.TagLostLine == b.TagLostLine;
}

inline std::string Describe(const Tag& t) {
  return "kind " + std::to_string(t.TagKind) + " ctrl " + std::to_string(t.TagController) +
         " cmd [" + t.TagCommand + "] digits " + std::to_string(t.TagDigits) + " decimals " +
         std::to_string(t.TagDecimals) + " true [" + t.TagTrueText + "] false [" + t.TagFalseText +
         "] mask [" + t.TagFormat + "] text [" + t.TagText + "]";
}

inline bool IsBlankByte(char c) {
  return static_cast<unsigned char>(c) <= 32;
}
inline bool IsDigitByte(char c) {
  return c >= '0' && c <= '9';
}
// A field of a tag line: what the tokenizer can give, never a blank or a comma.
inline bool IsField(std::string_view text) {
  for (char c : text)
    if (IsBlankByte(c) || c == ',') return false;
  return !text.empty();
}

// Whether command is a query command as a tag line builds it: an optional
// table index, then a type's prefix, the tag name and that type's suffix.
inline bool IsQueryCommand(std::string_view command) {
  struct Type {
    std::string_view prefix, suffix;
    bool table;
  };
  static constexpr Type kTypes[] = {
      {" ^", " @@ EMITL86", false},
      {" ^", " T@@F EMITL86", false},
      {" *", " PRINT$", false},
      {" }", " TABLE@ EMITL86", true},
      {" {", " $TABLE@ PRINT$", true},
      {" ~", " UNLOCK DIG@I RELOCK EMITL86", false},
      {" ~", " UNLOCK ANL@F RELOCK EMITL86", false},
  };
  for (const Type& t : kTypes) {
    if (command.size() < t.suffix.size() ||
        command.substr(command.size() - t.suffix.size()) != t.suffix)
      continue;
    std::string_view rest = command.substr(0, command.size() - t.suffix.size());
    if (t.table && rest.substr(0, t.prefix.size()) != t.prefix) {
      // " INDEX" in front; the index is a field that starts with a digit.
      if (rest.size() < 2 || rest[0] != ' ') continue;
      size_t end = rest.find(' ', 1);
      if (end == std::string_view::npos) continue;
      std::string_view index = rest.substr(1, end - 1);
      if (!IsField(index) || !IsDigitByte(index[0])) continue;
      rest = rest.substr(end);
    }
    if (rest.substr(0, t.prefix.size()) != t.prefix) continue;
    std::string_view name = rest.substr(t.prefix.size());
    if (IsField(name) && !IsDigitByte(name[0])) return true;
  }
  return false;
}

// Whether mask is a display mask as a tag line builds it: "#" positions, one
// "0", and for a float "." and one "0" per decimal.
inline bool IsDisplayMask(std::string_view mask) {
  size_t at = 0;
  while (at < mask.size() && mask[at] == '#') ++at;
  if (at == mask.size() || mask[at] != '0') return false;
  ++at;
  if (at == mask.size()) return true;
  if (mask[at] != '.') return false;
  for (++at; at < mask.size(); ++at)
    if (mask[at] != '0') return false;
  return true;
}

// What holds for every slot of the tag table after the definition file has
// been read, however malformed its lines: the reader never fills TagText,
// widths come from fields that start with a digit, texts are single fields.
inline void CheckTagSlot(const Tag& t, size_t index) {
  const char* broken = nullptr;
  if (t.TagKind < kKindUndefined || t.TagKind > kKindText)
    broken = "a tag kind is -1, 0, 1 or 2";
  else if (!t.TagText.empty())
    broken = "reading the definition leaves TagText empty";
  else if (t.TagDigits < 0 || t.TagDecimals < 0)
    broken = "digits and decimals are never negative";
  else if (!t.TagTrueText.empty() && (!IsField(t.TagTrueText) || t.TagDigits != 0))
    broken = "a TRUE text is one field and comes with digits 0";
  else if (!t.TagFalseText.empty() && (!IsField(t.TagFalseText) || t.TagDecimals != 0))
    broken = "a FALSE text is one field and comes with decimals 0";
  else if (!t.TagCommand.empty() && !IsQueryCommand(t.TagCommand))
    broken = "a command is empty or a query built from a tag line";
  else if (!t.TagFormat.empty() && !IsDisplayMask(t.TagFormat))
    broken = "a mask is empty or well formed";
  if (broken != nullptr) Fail(broken, "slot " + std::to_string(index) + ": " + Describe(t));
}

}  // namespace hx::fuzz

#endif  // HX_FUZZ_FUZZ_RUN_H_
