// The report state: everything one run of HX_RPT knows, from the definition
// file's settings to the tag table, the template blocks, the output latches
// and the controller link's buffer.  Exactly one exists per run of HX_RPT;
// RunProgram (app/form_load.h) owns it and every procedure of the run
// receives it by reference.  HX_CHECK keeps its own, read as HX_RPT reads.
//
// Member names are the program's own vocabulary (PRINTIT, TagText,
// LineCount, ...) so that code and the definition-file reference read alike.
// It carries the platform seams the run works with (platform/platform.h) by
// reference, and stands right above them, below every procedure of the run.
// Single-threaded: only the user-interface thread touches it.

#ifndef HX_RUN_REPORT_STATE_H_
#define HX_RUN_REPORT_STATE_H_

#include <array>
#include <chrono>
#include <cstdint>
#include <string>

#include "base/bounded_call.h"
#include "base/code_page.h"
#include "platform/platform.h"

namespace hx {

// Tag kinds held in TagKind.
inline constexpr int16_t kKindUndefined = -1;
inline constexpr int16_t kKindInteger = 0;
inline constexpr int16_t kKindFloat = 1;
inline constexpr int16_t kKindText = 2;

// One slot of the tag table.  A slot that no [TAGS] line names keeps these values.
struct Tag {
  int16_t TagKind = 0;
  int16_t TagController = 0;
  std::string TagCommand;
  int16_t TagDigits = 0;
  int16_t TagDecimals = 0;
  std::string TagTrueText;
  std::string TagFalseText;
  std::string TagFormat;
  std::string TagText;  // display text of the value last read
  // The definition file's line whose tag name or table index lost a
  // character the program's code page lacks; 0 when none did.  Such a tag
  // is never queried.
  int32_t TagLostLine = 0;
};

// What GetNextParam remembers between calls.
struct ParamState {
  std::string source;
  int16_t current = 0;
  int16_t length = 0;
  // 1-based; 0 = tokenising has not started.  Wider than the length they run
  // up to, so that a line of the longest length still reaches "one past its end".
  int32_t position = 0;
  int32_t end_position = 0;
};

struct ReportState {
  explicit ReportState(Platform& p) : platform(p) {}
  ReportState(const ReportState&) = delete;
  ReportState& operator=(const ReportState&) = delete;

  Platform& platform;

  // Settings of the definition file.  The three flags are never cleared once set.
  bool PRINTIT = false;
  bool SHOWIT = false;
  bool LOGIT = false;
  std::string LOGFILEPATH;
  std::string LOGFILENAME;
  std::string DATEFORMAT;
  std::string TIMEFORMAT;
  std::string PRINTERNAME;
  int16_t LandScapeLines = 0;
  int16_t PortraitLines = 0;
  // How the definition file was written.  A file in Unicode (UTF-8 or
  // UTF-16) was read in the program's code page, and the log is written
  // back in UTF-8 to match it.
  TextEncoding DefinitionEncoding = TextEncoding::kCodePage;
  bool DefinitionInUnicode() const { return DefinitionEncoding != TextEncoding::kCodePage; }

  // Controller table: slots 0 to 6, of which the file fills 1 to 5.  Handle 0 = not open.
  std::array<std::string, 7> ControllerName{};
  std::array<int32_t, 7> ControllerHandle{};
  std::string CtrlName;  // controller being addressed

  // Tag table, slots 0 to 400.  LastTag is the highest index defined.
  std::array<Tag, 401> TagTable{};
  int16_t LastTag = 0;

  // Template blocks; slot 0 is unused so that the slots read 1 to 10 and 1 to 400.
  std::array<std::string, 11> HeaderLines{};
  int16_t HeaderCount = 0;
  std::array<std::string, 401> ReportLines{};
  int16_t ReportCount = 0;

  // Report pass and output channels.
  int16_t LineCount = 0;  // text lines sent to the printer since start
  int16_t PageLines = 0;
  bool PrinterFailed = false;
  bool LogFailed = false;
  // How long the log channel has paused, in all, for a log file that
  // another program held (output/log_file.h bounds it for the run).
  std::chrono::milliseconds LogWaited{0};
  // The log's lines are written on a thread of their own, so that a file
  // the system keeps waiting costs the report no more than that wait.
  BoundedCall LogWriter;

  // Controller link.
  int32_t BufferSize = 0;
  std::string ReplyBuffer;

  ParamState param;

  // Whether anything went wrong in this run: a reported error, a controller
  // that could not be opened, a failed exchange.  Decides the exit status.
  bool AnyFailure = false;
};

}  // namespace hx

#endif  // HX_RUN_REPORT_STATE_H_
