// What the definition file reader accepted, what it passed over and why, told
// at the moment it decides.  HX_RPT reads without an observer and passes
// everything over silently; HX_CHECK listens and explains the file line by
// line.  An observer only listens: it never changes what is read.
//
// Lines are numbered from 1 in the order the reader takes them from the file.
// Called on the reading thread, in file order, between the start and the end
// (or the failure) of ReadDefinition.

#ifndef HX_DEFINITION_DEFINITION_OBSERVER_H_
#define HX_DEFINITION_DEFINITION_OBSERVER_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace hx {

struct TagLineReading;  // definition/tag_line.h
struct FileText;        // definition/file_text.h

// The sections of the definition file, in the order the reader tries them.
enum class Section { kSetup, kControllers, kTags, kHeader, kReport };
inline constexpr Section kSections[] = {Section::kSetup, Section::kControllers, Section::kTags,
                                        Section::kHeader, Section::kReport};

// The name a section header carries after its "[".
constexpr std::string_view SectionName(Section s) {
  constexpr std::string_view kNames[] = {"SETUP", "CONTROLLERS", "TAGS", "HEADER_BEGIN", "REPORT"};
  return kNames[static_cast<int>(s)];
}
// Characters 2 to 11 of the line that ends the header block.
inline constexpr std::string_view kHeaderEndName = "HEADER_END";

// A place in the file: its line and the column in it, both from 1; line 0
// is nowhere.
struct TextPlace {
  int line = 0;
  size_t column = 0;
};

// How a line of the file ended.
enum class LineEnd { kCrLf, kCr, kLf, kNone };

// What became of a [SETUP] line.
enum class SettingOutcome {
  kApplied,        // the value took effect
  kNoEquals,       // no "=" in the line: not a setting
  kUnknownKey,     // no such key
  kNotTrue,        // PRINTIT, SHOWIT, LOGIT: only TRUE switches them on
  kTooShort,       // DATEFORMAT, TIMEFORMAT below their shortest length
  kNotNumeric,     // page lengths keep their value; FONTSIZE takes 12
  kNeedsPrintit,   // FONT, FONTSIZE before PRINTIT=TRUE: nothing happens
  kRecordedOnly,   // PRINTERNAME other than Default: stored, never used
  kFollowDefault,  // PRINTERNAME=Default: the system's default printer
};

// Where a character the program's code page lacks stood: in text, or in
// what the program sends to a controller.
enum class LostIn { kText, kName, kTableIndex };

// Why a header block or the report template ended.
enum class BlockEnd { kMarker, kFull, kEndOfFile };

class DefinitionObserver {
 public:
  virtual ~DefinitionObserver() = default;

  // How the file is written, found before its first line is read.  A file
  // with a NUL character in it is then not read at all.
  virtual void TextFound(const FileText& /*text*/) {}
  // Every line as it is taken from the file.
  virtual void LineRead(int /*line*/, LineEnd /*end*/) {}
  // A line outside any section, passed over by the scan for the next header.
  virtual void PassedOver(int /*line*/, const std::string& /*text*/) {}
  // A header that opens a section; the section's body follows.
  virtual void SectionRead(int /*line*/, Section /*section*/, const std::string& /*header*/) {}
  // A "[" line that no section takes, and the section it names (if any) and
  // the section whose body it ended (if any).  The scan passes over what
  // follows it up to the next "[" line.
  virtual void HeaderNotRead(int /*line*/, const std::string& /*header*/,
                             std::optional<Section> /*named*/, std::optional<Section> /*ended*/) {}
  // A body line that starts with "[" only after blanks: an ordinary line.
  virtual void IndentedHeader(int /*line*/, Section /*body*/, const std::string& /*text*/) {}
  // A [SETUP] line, told before its effect; key upper-cased, value stripped.
  virtual void Setting(int /*line*/, const std::string& /*key*/, const std::string& /*value*/,
                       SettingOutcome /*outcome*/) {}
  // A [CONTROLLERS] line; slot 0 when its key is not 1 to 5.  Told before the
  // controller is opened.
  virtual void Controller(int /*line*/, const std::string& /*key*/, int /*slot*/,
                          const std::string& /*name*/) {}
  // A [TAGS] line and how far it got; also told for a line that stops the reading.
  virtual void TagLine(int /*line*/, const std::string& /*text*/,
                       const TagLineReading& /*reading*/) {}
  // The end of a header block or report template: the line that ended it
  // (not stored), or the last line of the file.
  virtual void BlockEnded(int /*line*/, Section /*block*/, BlockEnd /*how*/) {}
  // A character of a line the reader takes that the program's code page
  // lacks, now a "?" (told after the line's own call above).  A tag's name
  // or table index, or a controller's name, that lost one is never sent to
  // a controller.
  virtual void CharacterLost(int /*line*/, char32_t /*character*/, LostIn /*in*/) {}
  // A failure that stops the reading, on the line being read; long_line when
  // the line itself is too long for its section.
  virtual void Stopped(int /*line*/, const std::string& /*text*/, int32_t /*error*/,
                       bool /*long_line*/) {}
};

}  // namespace hx

#endif  // HX_DEFINITION_DEFINITION_OBSERVER_H_
