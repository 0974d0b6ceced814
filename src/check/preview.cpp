#include "check/preview.h"

#include <memory>

#include "base/code_page.h"
#include "check/check_platform.h"
#include "check/field_overlap.h"
#include "output/line_print.h"
#include "report/render_lines.h"
#include "run/report_state.h"

namespace hx {
namespace {

// The report's only channel: LinePrint hands every line to the window's
// text box, which here keeps them.
class CollectingScreen : public CheckScreen {
 public:
  std::vector<std::string> lines;
  void InsertText(const std::string& text) override {
    // LinePrint ends every line with CR LF.
    lines.push_back(text.substr(0, text.size() - 2));
  }
};

// LineCount is 0 when the one pass of a run decides on its page break.
bool StartsOnNewPage(int16_t page_lines) {
  return 0 >= page_lines - kPageBreakMargin;
}

}  // namespace

std::vector<std::string> PreviewLines(const DefinitionCheck& check, Clock& clock) {
  if (check.cannot_read() || check.stop_error() != 0) return {};
  const ReportState& read = check.state();

  CheckPrinter printer;
  CollectingScreen screen;
  CheckDialog dialog;
  AbsentVendor vendor;
  CheckNotes notes;
  Platform platform{printer, screen, dialog,
                    vendor,  clock,  check.state().platform.files,
                    notes,   {},     check.state().platform.code_page};
  // The settings the rendering needs, and the screen as the only channel:
  // the file's PRINTIT and LOGIT are not taken over.
  auto rs = std::make_unique<ReportState>(platform);
  rs->SHOWIT = true;
  rs->DATEFORMAT = read.DATEFORMAT;
  rs->TIMEFORMAT = read.TIMEFORMAT;
  rs->TagTable = read.TagTable;
  for (size_t n = 0; n < rs->TagTable.size(); ++n) {
    Tag& tag = rs->TagTable[n];
    tag.TagText = check.TagDefined(n) ? WidestTagText(tag) : std::string();
  }

  // The pass chooses its page length by the printer's orientation, which
  // only the site's printer knows.
  const bool portrait = StartsOnNewPage(read.PortraitLines);
  const bool landscape = StartsOnNewPage(read.LandScapeLines);
  if (portrait || landscape) {
    std::string mark(kPageBreakMark);
    if (!portrait || !landscape) {
      mark.insert(mark.rfind(' '),
                  portrait ? ", with the printer in portrait" : ", with the printer in landscape");
    }
    screen.lines.push_back(mark);
    screen.lines.emplace_back();
  }

  auto render = [&](const auto& lines, int16_t count, std::string_view block) {
    const size_t messages = dialog.messages.size();
    RenderLines(*rs, lines, count);
    if (dialog.messages.size() > messages) {
      screen.lines.push_back("==== HX_RPT stops the " + std::string(block) +
                             " here with an error ====");
    }
  };
  render(read.HeaderLines, read.HeaderCount, "header block");
  render(read.ReportLines, read.ReportCount, "report template");

  for (std::string& line : screen.lines)
    if (line == kFormFeedLine) line = kPageBreakMark;
  return std::move(screen.lines);
}

void WritePreview(const DefinitionCheck& check, Clock& clock, std::ostream& out) {
  if (check.cannot_read()) return;  // the finding says why
  if (check.stop_error() != 0) {
    out << "HX_RPT stops reading this file and produces no report.\n";
    return;
  }
  out << "The report HX_RPT makes of it, each tag at its widest:\n";
  for (const std::string& line : PreviewLines(check, clock))
    out << Utf8FromProgramText(line, check.state().platform.code_page) << '\n';
}

}  // namespace hx
