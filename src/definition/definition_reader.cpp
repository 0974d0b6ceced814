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
#include "comm/controller_link.h"
#include "definition/definition_observer.h"
#include "definition/setup_keys.h"
#include "definition/tag_line.h"
#include "definition/text_fields.h"
#include "platform/platform.h"

namespace hx {
namespace {

// Lines of the definition file.  CR LF, a CR alone and an LF alone each end
// one line, so a file saved by any editor reads the same; the line end is not
// part of the line.  A last line without a line end is still a line.
// A file in UTF-8 is turned into the program's code page line by line; its
// line ends are plain ASCII, so no character is ever cut in two.
class LineSource {
 public:
  // utf8_page: the code page a file in UTF-8 is turned into; null for a
  // file taken byte for byte.
  LineSource(std::istream& in, const CodePage* utf8_page) : in_(*in.rdbuf()), page_(utf8_page) {}

  // The next line into line; false at the end of the file.
  bool Next(std::string& line) {
    using Traits = std::char_traits<char>;
    line.clear();
    int c = in_.sbumpc();
    if (c == Traits::eof()) return false;
    for (; c != Traits::eof() && c != '\r' && c != '\n'; c = in_.sbumpc())
      line += Traits::to_char_type(c);
    end_ = c == '\n' ? LineEnd::kLf : c == '\r' ? LineEnd::kCr : LineEnd::kNone;
    if (c == '\r' && in_.sgetc() == '\n') {
      in_.sbumpc();
      end_ = LineEnd::kCrLf;
    }
    lost_.clear();
    if (page_ != nullptr) line = ProgramTextFromUtf8(line, *page_, &lost_);
    return true;
  }
  // How the line Next gave last ended.
  LineEnd end() const { return end_; }
  // The characters of that line the code page lacks.
  const std::vector<LostCharacter>& lost() const { return lost_; }

 private:
  std::streambuf& in_;
  const CodePage* page_;
  std::vector<LostCharacter> lost_;
  LineEnd end_ = LineEnd::kNone;
};

// Whether the rest of in is UTF-8 with at least one character beyond ASCII,
// as today's editors save a file; a plain 8-bit file almost never is.
// Reads in pieces, so that a file of any size needs no more memory than a line.
bool WrittenInUtf8(std::istream& in) {
  std::string piece;
  std::array<char, 65536> buffer;
  bool beyond_ascii = false;
  while (in.read(buffer.data(), buffer.size()) || in.gcount() > 0) {
    piece.append(buffer.data(), static_cast<size_t>(in.gcount()));
    beyond_ascii = beyond_ascii || std::any_of(piece.begin(), piece.end(), [](char c) {
                     return static_cast<unsigned char>(c) > 127;
                   });
    const size_t carried = Utf8CutShort(piece);
    if (!IsUtf8(std::string_view(piece).substr(0, piece.size() - carried))) return false;
    piece.erase(0, piece.size() - carried);
  }
  return piece.empty() && beyond_ascii;
}

// Whether the characters from the second one on begin with name, upper-cased.
// Only the prefix counts: [SETUP-OLD] names SETUP, [REPORTS] names REPORT.
bool Names(const std::string& line, std::string_view name) {
  return line.size() > name.size() &&
         UpperCase(std::string_view(line).substr(1, name.size())) == name;
}

class DefinitionReader {
 public:
  DefinitionReader(ReportState& rs, std::istream& in, const CodePage* utf8_page,
                   DefinitionObserver* observer)
      : rs_(rs), lines_(in, utf8_page), observer_(observer) {}

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
  // what the program sends to a controller (sent_).
  void TellLost() {
    if (observer_ == nullptr) return;
    for (const LostCharacter& c : lines_.lost()) {
      const bool in_name = std::any_of(sent_.begin(), sent_.end(), [&](const auto& span) {
        return c.at >= span.first && c.at < span.second;
      });
      observer_->CharacterLost(line_no_, c.character, in_name);
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
    if (observer_ != nullptr) observer_->TagLine(line_no_, line, reading);
    if (reading.name_end == 0) return;
    // The line set the tag's name (and table index): a "?" for a lost
    // character in either would query another symbol, or none.
    sent_.emplace_back(reading.name_begin, reading.name_end);
    sent_.emplace_back(reading.index_begin, reading.index_end);
    const bool lost =
        Lost(reading.name_begin, reading.name_end) || Lost(reading.index_begin, reading.index_end);
    At(rs_.TagTable, reading.index).TagLostLine = lost ? line_no_ : 0;
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
  // An editor that saves the file as UTF-8 may put a byte order mark in
  // front; left in place it would hide the first section header.
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  char head[3] = {};
  in.read(head, sizeof head);
  const bool marked = std::string_view(head, static_cast<size_t>(in.gcount())) == kByteOrderMark;
  const std::streampos start = marked ? 3 : 0;
  in.clear();
  in.seekg(start);
  // Columns, widths and tag names count characters, so a file in UTF-8 is
  // read in the program's 8-bit code page, and its log written back in UTF-8.
  rs.DefinitionUtf8 = marked || WrittenInUtf8(in);
  in.clear();
  in.seekg(start);
  DefinitionReader(rs, in, rs.DefinitionUtf8 ? &rs.platform.code_page : nullptr, observer).Read();
}

}  // namespace hx
