#include "definition/definition_reader.h"

#include <algorithm>
#include <array>
#include <istream>
#include <string>
#include <string_view>

#include "base/code_page.h"
#include "base/run_error.h"
#include "comm/controller_link.h"
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
  LineSource(std::istream& in, bool utf8) : in_(*in.rdbuf()), utf8_(utf8) {}

  // The next line into line; false at the end of the file.
  bool Next(std::string& line) {
    using Traits = std::char_traits<char>;
    line.clear();
    int c = in_.sbumpc();
    if (c == Traits::eof()) return false;
    for (; c != Traits::eof() && c != '\r' && c != '\n'; c = in_.sbumpc())
      line += Traits::to_char_type(c);
    if (c == '\r' && in_.sgetc() == '\n') in_.sbumpc();
    if (utf8_) line = ProgramTextFromUtf8(line);
    return true;
  }

 private:
  std::streambuf& in_;
  const bool utf8_;
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

// Lines of the settings, controller and tag sections are cut up with 16-bit
// positions, so a longer one cannot be read.
constexpr size_t kMaxSectionLine = 32767;
constexpr int16_t kMaxHeaderLines = 10;
constexpr int16_t kMaxReportLines = 400;

// Whether the characters from the second one on begin with name, upper-cased.
// Only the prefix counts: [SETUP-OLD] names SETUP, [REPORTS] names REPORT.
bool Names(const std::string& line, std::string_view name) {
  return line.size() > name.size() &&
         UpperCase(std::string_view(line).substr(1, name.size())) == name;
}

class DefinitionReader {
 public:
  DefinitionReader(ReportState& rs, std::istream& in, bool utf8) : rs_(rs), lines_(in, utf8) {}

  void Read() {
    while (lines_.Next(current_)) {
      // Text outside any section, and sections whose header is not
      // recognised, pass by here unread.  At the end of the file the last
      // line read is tried all the same.
      StripLead(current_);
      while ((current_.empty() || current_[0] != '[') && lines_.Next(line_)) {
        current_.swap(line_);
        StripLead(current_);
      }
      // A section's body ends at the next "[" line, which is tried against
      // the sections after it, so sections in this order are read in one
      // sweep.  The report template runs to the end of the file.
      if (Names(current_, "SETUP")) ReadBody(&DefinitionReader::SetupLine);
      if (Names(current_, "CONTROLLERS")) ReadBody(&DefinitionReader::ControllerLine);
      if (Names(current_, "TAGS")) ReadBody(&DefinitionReader::TagLine);
      if (Names(current_, "HEADER_BEGIN")) ReadHeaderBlock();
      if (Names(current_, "REPORT")) ReadReportTemplate();
    }
  }

 private:
  // The next line of a block into line_.  A block that runs to the end of the
  // file leaves nothing to try: its last line is content, not a header.
  bool NextBlockLine() {
    if (lines_.Next(line_)) return true;
    current_.clear();
    return false;
  }
  // The line in line_ ends the block and is tried against the sections after it.
  void EndBlock() { current_.swap(line_); }

  void ReadBody(void (DefinitionReader::*handle)(const std::string&)) {
    while (NextBlockLine()) {
      if (line_.empty()) continue;
      // Not stripped: an indented "[" line is an ordinary line of the body.
      if (line_[0] == '[') return EndBlock();
      if (line_.size() > kMaxSectionLine) throw RunError(err::kOverflow);
      (this->*handle)(line_);
    }
  }

  void SetupLine(const std::string& line) {
    const size_t equals = line.find('=');
    if (equals == std::string::npos) return;
    std::string key = line.substr(0, equals);
    StripLead(key);
    StripTrail(key);
    key = UpperCase(key);
    std::string value = line.substr(equals + 1);
    StripLead(value);
    StripTrail(value);

    Printer& printer = rs_.platform.printer;
    if (key == "PRINTERNAME") {
      if (value == "Default") {
        rs_.PRINTERNAME = printer.DeviceName();
        printer.FollowDefault();
      } else {
        rs_.PRINTERNAME = value;
      }
    } else if (key == "LANDSCAPELINES") {
      if (IsNum(value)) rs_.LandScapeLines = NumericValue16(value);
    } else if (key == "PORTRAITLINES") {
      if (IsNum(value)) rs_.PortraitLines = NumericValue16(value);
    } else if (key == "FONT") {
      // The font belongs to the printed report; it is left alone unless
      // printing was asked for earlier in the file.
      if (rs_.PRINTIT) printer.SetFontName(value);
    } else if (key == "FONTSIZE") {
      if (rs_.PRINTIT) printer.SetFontSize(IsNum(value) ? NumericValue(value) : 12);
    } else if (key == "DATEFORMAT") {
      if (value.size() >= 8) rs_.DATEFORMAT = value;
    } else if (key == "TIMEFORMAT") {
      if (value.size() >= 5) rs_.TIMEFORMAT = value;
    } else if (key == "PRINTIT") {
      if (UpperCase(value) == "TRUE") rs_.PRINTIT = true;
    } else if (key == "SHOWIT") {
      if (UpperCase(value) == "TRUE") {
        rs_.SHOWIT = true;
        rs_.platform.screen.ShowMain();
      }
    } else if (key == "LOGIT") {
      if (UpperCase(value) == "TRUE") rs_.LOGIT = true;
    } else if (key == "LOGFILEPATH") {
      rs_.LOGFILEPATH = value;
    } else if (key == "LOGFILENAME") {
      rs_.LOGFILENAME = value;
    }
  }

  void ControllerLine(const std::string& line) {
    const size_t equals = line.find('=');
    std::string key = equals == std::string::npos ? std::string() : line.substr(0, equals);
    StripLead(key);
    StripTrail(key);
    if (key.size() != 1 || key[0] < '1' || key[0] > '5') return;
    const int slot = key[0] - '0';

    // The name ends at the first space only: it may hold a tab, and a space
    // right after the "=" leaves it empty.
    const std::string rest = line.substr(equals + 1);
    const std::string name = rest.substr(0, rest.find(' '));
    rs_.CtrlName = name;
    rs_.ControllerName[slot] = name;
    rs_.ControllerHandle[slot] = GetHandle(rs_);
  }

  void TagLine(const std::string& line) { ReadTagLine(rs_, line); }

  void ReadHeaderBlock() {
    rs_.HeaderCount = 0;
    while (NextBlockLine()) {
      // The end marker may start with any character.
      if (Names(line_, "HEADER_END") || rs_.HeaderCount == kMaxHeaderLines) return EndBlock();
      rs_.HeaderCount = Add16(rs_.HeaderCount, 1);
      At(rs_.HeaderLines, rs_.HeaderCount) = line_;
    }
  }

  void ReadReportTemplate() {
    rs_.ReportCount = 0;
    while (NextBlockLine()) {
      // The line after a full template is dropped; the scan goes on after it.
      if (rs_.ReportCount == kMaxReportLines) return EndBlock();
      rs_.ReportCount = Add16(rs_.ReportCount, 1);
      At(rs_.ReportLines, rs_.ReportCount) = line_;
    }
  }

  ReportState& rs_;
  LineSource lines_;
  std::string current_;  // the line the sections are tried against
  std::string line_;     // the line just read
};

}  // namespace

void ReadDefinition(ReportState& rs, std::istream& in) {
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
  DefinitionReader(rs, in, rs.DefinitionUtf8).Read();
}

}  // namespace hx
