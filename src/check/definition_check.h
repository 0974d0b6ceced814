// HX_CHECK's explanation of a definition file.  The file is read by HX_RPT's
// own reader, on a platform that opens nothing and prints nothing, while this
// class listens to what the reader accepts and passes over.  What it hears
// becomes diagnostics in the form editors and CI systems read,
// FILE:LINE: severity: text, then a summary of what HX_RPT would work with
// (sections, settings, controllers, tags and the template lines that show
// them), and an exit status: 0 nothing passed over or refused, 1 warnings,
// 2 an error that stops HX_RPT's reading or its report.
//
// Single-threaded.  One object checks one file.

#ifndef HX_CHECK_DEFINITION_CHECK_H_
#define HX_CHECK_DEFINITION_CHECK_H_

#include <array>
#include <cstdint>
#include <functional>
#include <istream>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "check/check_platform.h"
#include "definition/definition_observer.h"
#include "definition/setup_keys.h"
#include "report/template_fields.h"
#include "run/report_state.h"

namespace hx {

enum class Severity { kNote, kWarning, kError };

struct Diagnostic {
  int line = 0;  // 0: the file as a whole
  Severity severity = Severity::kNote;
  std::string text;
};

class DefinitionCheck : private DefinitionObserver {
 public:
  // code_page: the one HX_RPT holds its text in on this system.
  explicit DefinitionCheck(std::string file_name, const CodePage& code_page = Windows1252());
  DefinitionCheck(const DefinitionCheck&) = delete;
  DefinitionCheck& operator=(const DefinitionCheck&) = delete;

  // Reads the definition file as HX_RPT does and explains it.  Once per object.
  void Read(std::istream& in);
  // The file cannot be read at all; why says what stands in the way.
  void CannotRead(const std::string& why);

  // The report state the reading left, as HX_RPT's reader would leave it.
  const ReportState& state() const { return rs_; }
  const CheckPrinter& printer() const { return platform_.printer; }
  // The run-time error that stopped the reading, 0 when it ran to the end.
  int32_t stop_error() const { return stop_error_; }
  bool cannot_read() const { return cannot_read_; }
  // Whether a [TAGS] line names tag n (0 to 400).
  bool TagDefined(size_t n) const { return !tags_.at(n).lines.empty(); }
  // The latest line that defines tag n, or names controller slot (1 to 5);
  // 0 for none.
  int TagDefinitionLine(size_t n) const { return TagDefined(n) ? tags_.at(n).lines.back() : 0; }
  int ControllerLine(size_t slot) const { return controller_lines_.at(slot); }
  const std::string& file_name() const { return file_name_; }

  // The findings in the order of their lines.
  std::vector<Diagnostic> Diagnostics() const;
  int ExitStatus() const;
  // One FILE:LINE: severity: text line per finding.
  void WriteDiagnostics(std::ostream& out) const;
  // FILE: N lines; the numbers of errors, warnings and notes.
  void WriteCounts(std::ostream& out) const;
  // The counts, then what HX_RPT would work with.
  void WriteSummary(std::ostream& out) const;

 private:
  // What the reader tells as it reads (reader_findings.cpp; the [TAGS] lines
  // in tag_findings.cpp).
  void TextFound(const FileText& text) override;
  void LineRead(int line, LineEnd end) override;
  void PassedOver(int line, const std::string& text) override;
  void SectionRead(int line, Section section, const std::string& header) override;
  void HeaderNotRead(int line, const std::string& header, std::optional<Section> named,
                     std::optional<Section> ended) override;
  void IndentedHeader(int line, Section body, const std::string& text) override;
  void Setting(int line, const std::string& key, const std::string& value,
               SettingOutcome outcome) override;
  void Controller(int line, const std::string& key, int slot, const std::string& name) override;
  void TagLine(int line, const std::string& text, const TagLineReading& reading) override;
  void CheckTagLineEnd(int line, const std::string& text, const TagLineReading& reading);
  void BlockEnded(int line, Section block, BlockEnd how) override;
  void CharacterLost(int line, char32_t character, LostIn in) override;
  void Stopped(int line, const std::string& text, int32_t error, bool long_line) override;

  void Add(int line, Severity severity, std::string text);
  // Lines the scan passes over from now on are counted into a finding whose
  // text is made from the count.
  void CollectPassedOver(int line, Severity severity, std::function<std::string(int)> text,
                         int skip_line = 0);

  // What only the whole file shows (after_reading.cpp).
  void CheckAfterReading();
  void CheckTagControllers();
  // The template lines (template_check.cpp).
  void CheckTemplate(Section block, int first_line, const std::string* lines, int16_t count);
  // What each field of a template line shows at its widest.
  std::vector<std::string> WidestTexts(const std::vector<TemplateField>& fields);
  // The summary's value of a setting at the end of the reading (summary.cpp).
  std::string InForce(SetupKey key) const;

  std::string file_name_;
  CheckPlatform platform_;
  ReportState rs_{platform_.platform};
  // Tokenizes a tag line afresh, to see it as HX_RPT's reader would on its own.
  ReportState scratch_{platform_.platform};

  std::vector<Diagnostic> diagnostics_;
  struct PassedGroup {
    size_t diagnostic;
    int lines = 0;
    int skip_line = 0;  // already named by the finding itself
    std::function<std::string(int)> text;
  };
  std::vector<PassedGroup> groups_;
  std::optional<size_t> collecting_;  // the group counting passed-over lines now
  bool after_marker_ = false;         // passing over the text after [HEADER_END]

  int lines_ = 0;
  TextEncoding encoding_ = TextEncoding::kCodePage;
  struct EndCount {
    int first = 0;
    int count = 0;
  };
  EndCount lf_alone_, cr_alone_;

  struct SectionSeen {
    int line = 0;
    Section section = Section::kSetup;
    std::string header;
    int end_line = 0;
    std::optional<BlockEnd> end;
  };
  std::vector<SectionSeen> sections_;

  std::map<SetupKey, int> setting_lines_;  // key -> the line that set it
  std::array<int, 7> controller_lines_{};  // slot -> its latest line
  struct TagSeen {
    std::vector<int> lines;
    std::string type;
  };
  std::array<TagSeen, 401> tags_;
  std::string name_owner_;  // "tag 7", "controller 2": whose name the line just told gives
  int last_tag_line_ = 0;
  std::string last_tag_text_;
  int indented_line_ = 0;
  int explained_stop_line_ = 0;
  int32_t stop_error_ = 0;
  bool cannot_read_ = false;

  // Where each template slot stands in the file, and which use each tag.
  int header_first_line_ = 0;
  int report_first_line_ = 0;
  std::array<std::vector<std::string>, 401> tag_uses_;
  std::optional<std::string> widest_date_, widest_time_;
};

}  // namespace hx

#endif  // HX_CHECK_DEFINITION_CHECK_H_
