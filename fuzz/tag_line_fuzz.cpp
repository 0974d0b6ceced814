// The tag-line reader with its tokenizer.  The input is a [TAGS] body, one
// line per line feed.  Each line goes through GetNextParam on its own and
// is compared with a plain split; then it goes through ReadTagLine twice, the
// second time as an identical copy, which continues where the tokenizing of
// the first stopped.

#include <string>
#include <vector>

#include "base/run_error.h"
#include "definition/tag_line.h"
#include "definition/text_fields.h"
#include "fuzz/fuzz_run.h"

namespace hx::fuzz {
namespace {

// The fields of line: the runs between blanks and commas.
std::vector<std::string> Split(const std::string& line) {
  std::vector<std::string> fields;
  std::string field;
  for (char c : line) {
    if (IsBlankByte(c) || c == ',') {
      if (!field.empty()) fields.push_back(field);
      field.clear();
    } else {
      field += c;
    }
  }
  if (!field.empty()) fields.push_back(field);
  return fields;
}

// A text that no line of the input can equal: lines are cut at line feeds.
const std::string kOtherText = "\n";

// Tokenizes line with run's tokenizer, which the previous line left anywhere.
void CheckTokenizer(FuzzRun& run, const std::string& line) {
  GetNextParam(run.rs, kOtherText);
  const std::vector<std::string> expected = Split(line);
  std::vector<std::string> got;
  for (std::string field = GetNextParam(run.rs, line); !field.empty();
       field = GetNextParam(run.rs, line)) {
    got.push_back(field);
    Check(got.size() <= expected.size(), "GetNextParam yields no more fields than the line holds",
          line);
  }
  Check(got == expected, "GetNextParam yields the fields between blanks and commas", line);
  Check(GetNextParam(run.rs, std::string(line)).empty(), "a used-up line stays used up", line);

  // Part way through, an identical copy continues and another text starts over.
  if (expected.empty()) return;
  const size_t taken = line.size() % expected.size();
  GetNextParam(run.rs, kOtherText);
  for (size_t k = 0; k < taken; ++k) GetNextParam(run.rs, line);
  Check(GetNextParam(run.rs, std::string(line)) == expected[taken],
        "an identical copy continues with the next field", line);
  GetNextParam(run.rs, kOtherText);
  Check(GetNextParam(run.rs, line) == expected[0], "another text in between starts over", line);
  Check(run.dialog.messages.empty(), "tokenizing a short line reports nothing", line);
}

// What one tag line did to the table.
struct Outcome {
  bool stopped = false;  // the reading of the file would stop here
  bool changed = false;  // a slot or LastTag changed
};

// Reads line into the tag table and checks what changed against shadow, the
// table as it was before, which is then brought up to date.
Outcome ReadAndCheck(FuzzRun& run, std::array<Tag, 401>& shadow, const std::string& line) {
  ReportState& rs = run.rs;
  const int16_t last_before = rs.LastTag;
  Outcome outcome;
  try {
    ReadTagLine(rs, line);
  } catch (const RunError& e) {
    Check(e.number() == err::kOverflow || e.number() == err::kSubscript,
          "a tag line stops the file only with error 6 or 9", std::to_string(e.number()));
    outcome.stopped = true;
  }
  Check(run.dialog.messages.empty(), "a tag line shows no message", line);

  int changed = -1;
  for (size_t i = 0; i < rs.TagTable.size(); ++i) {
    if (SameTag(shadow[i], rs.TagTable[i])) continue;
    Check(changed < 0, "one tag line changes at most one slot", line);
    changed = static_cast<int>(i);
    CheckTagSlot(rs.TagTable[i], i);
  }
  if (changed >= 0)
    shadow[static_cast<size_t>(changed)] = rs.TagTable[static_cast<size_t>(changed)];
  if (!outcome.stopped) {
    Check(rs.LastTag >= 0 && rs.LastTag <= 400, "LastTag stays within 0..400",
          std::to_string(rs.LastTag));
    Check(changed <= rs.LastTag, "a changed slot is within 0..LastTag", line);
  }
  outcome.changed = changed >= 0 || rs.LastTag != last_before;
  return outcome;
}

}  // namespace
}  // namespace hx::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace hx;
  fuzz::FuzzRun run, tokenizer;
  std::array<Tag, 401> shadow{};  // the tag table as the previous line left it
  for (const std::string& line : fuzz::SplitLines(fuzz::AsText(data, size))) {
    // The reader stops the file at a line too long for 16-bit positions.
    if (line.size() > 32767) break;
    fuzz::CheckTokenizer(tokenizer, line);
    if (fuzz::ReadAndCheck(run, shadow, line).stopped) break;

    // Once the first copy used the line up, an identical second copy finds
    // no first field and defines nothing.
    const bool used_up = run.rs.param.source == line && run.rs.param.position > run.rs.param.length;
    const fuzz::Outcome second = fuzz::ReadAndCheck(run, shadow, std::string(line));
    fuzz::Check(!used_up || !second.changed, "a copy of a used-up line defines nothing", line);
    if (second.stopped) break;
  }
  return 0;
}
