#include "definition/definition_reader.h"

#include <algorithm>
#include <array>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/code_page.h"
#include "base/run_error.h"
#include "base/text.h"
#include "comm/controller_link.h"
#include "definition/definition_observer.h"
#include "definition/file_text.h"
#include "definition/setup_keys.h"
#include "definition/tag_line.h"
#include "platform/platform.h"

namespace hx {
namespace {

// Whether the characters from the second one on begin with name, upper-cased.
// Only the prefix counts: [SETUP-OLD] names SETUP, [REPORTS] names REPORT.
bool Names(const std::string& line, std::string_view name) {
  return line.size() > name.size() &&
         UpperCase(std::string_view(line).substr(1, name.size())) == name;
}

class DefinitionReader {
 public:
  DefinitionReader(ReportState& rs, std::istream& in, TextEncoding encoding,
                   DefinitionObserver* observer)
      : rs_(rs), lines_(in, encoding, rs.platform.code_page), observer_(observer) {}

  void Read() {
    if (observer_ == nullptr) return Scan();
    try {
      Scan();
    } catch (const RunError& e) {
      // Failures arise only on the body line just read.
      observer_->Stopped(line_no_, line_, e.number(), long_line_);
      throw;
    }
  }

 private:
  void Scan() {
    while (Next(current_)) {
      current_no_ = line_no_;
      // Text outside any section, and sections whose header is not
      // recognised, pass by here unread.  At the end of the file the last
      // line read is tried all the same.
      StripLead(current_);
      while ((current_.empty() || current_[0] != '[') && Next(line_)) {
        if (observer_ != nullptr) observer_->PassedOver(current_no_, current_);
        current_.swap(line_);
        current_no_ = line_no_;
        StripLead(current_);
      }
      // A section's body ends at the next "[" line, which is tried against
      // the sections after it, so sections in this order are read in one
      // sweep.  The report template runs to the end of the file.
      ended_.reset();
      if (Opens(Section::kSetup)) ReadBody(Section::kSetup, &DefinitionReader::SetupLine);
      if (Opens(Section::kControllers))
        ReadBody(Section::kControllers, &DefinitionReader::ControllerLine);
      if (Opens(Section::kTags)) ReadBody(Section::kTags, &DefinitionReader::TagLine);
      if (Opens(Section::kHeader))
        ReadBlock(Section::kHeader, rs_.HeaderLines, rs_.HeaderCount, kMaxHeaderLines);
      if (Opens(Section::kReport))
        ReadBlock(Section::kReport, rs_.ReportLines, rs_.ReportCount, kMaxReportLines);
      if (observer_ != nullptr) TellUntaken();
    }
  }

  bool Next(std::string& line) {
    if (!lines_.Next(line)) return false;
    ++line_no_;
    if (observer_ != nullptr) observer_->LineRead(line_no_, lines_.end());
    return true;
  }

  bool Opens(Section section) {
    if (!Names(current_, SectionName(section))) return false;
    if (observer_ != nullptr) observer_->SectionRead(current_no_, section, current_);
    return true;
  }

  // The line left over after the sections were tried: the scan goes on
  // after it, passing over what follows up to the next "[" line.
  void TellUntaken() {
    if (current_.empty()) return;  // the end of the file
    // The line after a full template is dropped untried; the end marker of
    // the header block is no header.
    if (ended_ == Section::kReport || (ended_ == Section::kHeader && at_marker_)) return;
    if (current_[0] != '[') return observer_->PassedOver(current_no_, current_);
    observer_->HeaderNotRead(current_no_, current_, NamedSection(current_), ended_);
  }

  // The next line of a block into line_.  A block that runs to the end of the
  // file leaves nothing to try: its last line is content, not a header.
  bool NextBlockLine() {
    if (Next(line_)) return true;
    current_.clear();
    return false;
  }
  // The line in line_ ends the block and is tried against the sections after it.
  void EndBlock(Section block) {
    current_.swap(line_);
    current_no_ = line_no_;
    ended_ = block;
  }

  void ReadBody(Section section, void (DefinitionReader::*handle)(const std::string&)) {
    while (NextBlockLine()) {
      if (line_.empty()) continue;
      // Not stripped: an indented "[" line is an ordinary line of the body.
      if (line_[0] == '[') return EndBlock(section);
      if (line_.size() > kMaxSectionLine) {
        long_line_ = true;
        throw RunError(err::kOverflow);
      }
      if (observer_ != nullptr && IsBlank(line_[0])) TellIndented(section);
      sent_.clear();
      (this->*handle)(line_);
      TellLost();
    }
  }

  // Whether the line just read lost a character between begin and end.
  bool Lost(size_t begin, size_t end) const {
    return std::any_of(lines_.lost().begin(), lines_.lost().end(),
                       [&](const LostCharacter& c) { return c.at >= begin && c.at < end; });
  }

  // Tells the observer what the line just read lost, and whether it stood in
  // what the program sends to a controller (sent_: a controller's name, or
  // a tag's name and then its table index).
  void TellLost() {
    if (observer_ == nullptr) return;
    for (const LostCharacter& c : lines_.lost()) {
      LostIn in = LostIn::kText;
      for (size_t k = 0; k < sent_.size(); ++k) {
        if (c.at >= sent_[k].first && c.at < sent_[k].second)
          in = k == 1 ? LostIn::kTableIndex : LostIn::kName;
      }
      observer_->CharacterLost(line_no_, c.character, in);
    }
  }

  void TellIndented(Section section) {
    std::string stripped = line_;
    if (StripLead(stripped).starts_with('[')) observer_->IndentedHeader(line_no_, section, line_);
  }

  void SetupLine(const std::string& line) {
    const size_t equals = line.find('=');
    if (equals == std::string::npos) {
      if (observer_ != nullptr) observer_->Setting(line_no_, {}, {}, SettingOutcome::kNoEquals);
      return;
    }
    std::string key = line.substr(0, equals);
    StripLead(key);
    StripTrail(key);
    key = UpperCase(key);
    std::string value = line.substr(equals + 1);
    StripLead(value);
    StripTrail(value);
    // Told before the effect, so that a value that stops the reading is known.
    auto tell = [&](SettingOutcome outcome) {
      if (observer_ != nullptr) observer_->Setting(line_no_, key, value, outcome);
    };
    auto tell_if = [&](bool accepted, SettingOutcome refused) {
      tell(accepted ? SettingOutcome::kApplied : refused);
      return accepted;
    };
    const bool switch_on = UpperCase(value) == kSwitchOn;

    const std::optional<SetupKey> known = FindSetupKey(key);
    if (!known) return tell(SettingOutcome::kUnknownKey);
    Printer& printer = rs_.platform.printer;
    switch (*known) {
      case SetupKey::kPrinterName:
        if (value == kFollowDefaultPrinter) {
          tell(SettingOutcome::kFollowDefault);
          rs_.PRINTERNAME = printer.DeviceName();
          printer.FollowDefault();
        } else {
          tell(SettingOutcome::kRecordedOnly);
          rs_.PRINTERNAME = value;
        }
        return;
      case SetupKey::kLandScapeLines:
        if (tell_if(IsNum(value), SettingOutcome::kNotNumeric))
          rs_.LandScapeLines = NumericValue16(value);
        return;
      case SetupKey::kPortraitLines:
        if (tell_if(IsNum(value), SettingOutcome::kNotNumeric))
          rs_.PortraitLines = NumericValue16(value);
        return;
      case SetupKey::kFont:
        // The font belongs to the printed report; it is left alone unless
        // printing was asked for earlier in the file.
        if (tell_if(rs_.PRINTIT, SettingOutcome::kNeedsPrintit)) printer.SetFontName(value);
        return;
      case SetupKey::kFontSize:
        if (!rs_.PRINTIT) return tell(SettingOutcome::kNeedsPrintit);
        tell(IsNum(value) ? SettingOutcome::kApplied : SettingOutcome::kNotNumeric);
        printer.SetFontSize(IsNum(value) ? NumericValue(value) : Printer::kStartFontSize);
        return;
      case SetupKey::kDateFormat:
        if (tell_if(value.size() >= kMinDateFormat, SettingOutcome::kTooShort))
          rs_.DATEFORMAT = value;
        return;
      case SetupKey::kTimeFormat:
        if (tell_if(value.size() >= kMinTimeFormat, SettingOutcome::kTooShort))
          rs_.TIMEFORMAT = value;
        return;
      case SetupKey::kPrintit:
        if (tell_if(switch_on, SettingOutcome::kNotTrue)) rs_.PRINTIT = true;
        return;
      case SetupKey::kShowit:
        if (tell_if(switch_on, SettingOutcome::kNotTrue)) {
          rs_.SHOWIT = true;
          rs_.platform.screen.ShowMain();
        }
        return;
      case SetupKey::kLogit:
        if (tell_if(switch_on, SettingOutcome::kNotTrue)) rs_.LOGIT = true;
        return;
      case SetupKey::kLogFilePath:
        tell(SettingOutcome::kApplied);
        rs_.LOGFILEPATH = value;
        return;
      case SetupKey::kLogFileName:
        tell(SettingOutcome::kApplied);
        rs_.LOGFILENAME = value;
        return;
    }
  }

  void ControllerLine(const std::string& line) {
    const size_t equals = line.find('=');
    std::string key = equals == std::string::npos ? std::string() : line.substr(0, equals);
    StripLead(key);
    StripTrail(key);
    if (key.size() != 1 || key[0] < '1' || key[0] > '5') {
      if (observer_ != nullptr) observer_->Controller(line_no_, key, 0, {});
      return;
    }
    const int slot = key[0] - '0';

    // The name ends at the first space only: it may hold a tab, and a space
    // right after the "=" leaves it empty.
    const std::string rest = line.substr(equals + 1);
    const std::string name = rest.substr(0, rest.find(' '));
    if (observer_ != nullptr) observer_->Controller(line_no_, key, slot, name);
    rs_.CtrlName = name;
    rs_.ControllerName[slot] = name;
    sent_.emplace_back(equals + 1, equals + 1 + name.size());
    // A name sent with a "?" for a lost character could open another controller.
    rs_.ControllerHandle[slot] = Lost(sent_.back().first, sent_.back().second)
                                     ? NameNotSendable(rs_, line_no_)
                                     : GetHandle(rs_);
  }

  void TagLine(const std::string& line) {
    TagLineReading reading;
    try {
      ReadTagLine(rs_, line, &reading);
    } catch (const RunError& e) {
      reading.error = e.number();
      if (observer_ != nullptr) observer_->TagLine(line_no_, line, reading);
      throw;
    }
    if (reading.name_end > 0) {
      // The line set the tag's name (and table index): a "?" for a lost
      // character in either would query another symbol, another element, or none.
      sent_.emplace_back(reading.name_begin, reading.name_end);
      sent_.emplace_back(reading.index_begin, reading.index_end);
      const bool lost = Lost(reading.name_begin, reading.name_end) ||
                        Lost(reading.index_begin, reading.index_end);
      At(rs_.TagTable, reading.index).TagLostLine = lost ? line_no_ : 0;
    }
    if (observer_ != nullptr) observer_->TagLine(line_no_, line, reading);
  }

  // The header block or the report template: lines stored exactly as read,
  // up to max of them.  Only the header block has an end marker; the line
  // that ends a block is not stored, and after a full template it is not
  // tried as a header either: the scan goes on after it.
  template <size_t N>
  void ReadBlock(Section block, std::array<std::string, N>& lines, int16_t& count, int16_t max) {
    count = 0;
    while (NextBlockLine()) {
      // The end marker may start with any character.
      at_marker_ = block == Section::kHeader && Names(line_, kHeaderEndName);
      if (at_marker_ || count == max) {
        TellBlockEnded(block, at_marker_ ? BlockEnd::kMarker : BlockEnd::kFull);
        return EndBlock(block);
      }
      count = Add16(count, 1);
      At(lines, count) = line_;
      sent_.clear();
      TellLost();
    }
    TellBlockEnded(block, BlockEnd::kEndOfFile);
  }

  void TellBlockEnded(Section block, BlockEnd how) {
    if (observer_ != nullptr) observer_->BlockEnded(line_no_, block, how);
  }

  ReportState& rs_;
  LineSource lines_;
  DefinitionObserver* observer_;  // may be null
  std::string current_;           // the line the sections are tried against
  std::string line_;              // the line just read
  int line_no_ = 0;               // the number of the line just read
  int current_no_ = 0;            // the number of current_
  // For the observer: the section whose block the current line ended, whether
  // that was the header block's end marker, and whether the line that stopped
  // the reading was too long.
  std::optional<Section> ended_;
  bool at_marker_ = false;
  bool long_line_ = false;
  // What the body line just read gives the controllers as written: the
  // spans of its controller name, or of its tag name and table index.
  std::vector<std::pair<size_t, size_t>> sent_;
};

}  // namespace

std::optional<Section> NamedSection(const std::string& line) {
  for (Section s : kSections)
    if (Names(line, SectionName(s))) return s;
  return std::nullopt;
}

void ReadDefinition(ReportState& rs, std::istream& in, DefinitionObserver* observer) {
  const FileText text = LookAtText(in);
  if (observer != nullptr) observer->TextFound(text);
  // Whatever a file with a NUL in it is, it is no definition written as
  // text; read as one it would give an empty report and pass for a good run.
  if (text.nul.line > 0) {
    throw RunError(err::kBadFileMode,
                   std::string(kDefinitionFileName) + " is not a text file: line " +
                       std::to_string(text.nul.line) + ", column " +
                       std::to_string(text.nul.column) +
                       " holds a NUL character (a file in UTF-16 needs its byte order mark); "
                       "nothing of it is read");
  }
  if (text.AlmostUtf8()) {
    rs.platform.notes.Note(std::string(kDefinitionFileName) + " is read byte for byte in " +
                           std::string(rs.platform.code_page.name()) +
                           ", although most of it is UTF-8: line " +
                           std::to_string(text.first_not_utf8.line) + ", column " +
                           std::to_string(text.first_not_utf8.column) +
                           " holds a byte that is not; saved as UTF-8 throughout, it would be "
                           "read as UTF-8");
  }
  // Columns, widths and tag names count characters, so a file in Unicode is
  // read in the program's 8-bit code page, and its log written in UTF-8.
  rs.DefinitionEncoding = text.encoding;
  in.seekg(static_cast<std::streamoff>(text.mark_size));
  DefinitionReader(rs, in, text.encoding, observer).Read();
}

}  // namespace hx
