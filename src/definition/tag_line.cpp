#include "definition/tag_line.h"

#include <algorithm>
#include <string_view>
#include <tuple>
#include <utility>

#include "base/run_error.h"
#include "definition/text_fields.h"

namespace hx {
namespace {

struct TagType {
  std::string_view code;
  int16_t kind;
  std::string_view prefix;
  std::string_view suffix;
};

// The controllers' query command for each type: prefix, tag name, suffix.
constexpr TagType kTagTypes[] = {
    {"IV", kKindInteger, " ^", " @@ EMITL86"},
    {"FV", kKindFloat, " ^", " @@ EMITL86"},
    {"TV", kKindFloat, " ^", " T@@F EMITL86"},
    {"SV", kKindText, " *", " PRINT$"},
    {"IT", kKindInteger, " }", " TABLE@ EMITL86"},
    {"FT", kKindFloat, " }", " TABLE@ EMITL86"},
    {"ST", kKindText, " {", " $TABLE@ PRINT$"},
    {"DP", kKindInteger, " ~", " UNLOCK DIG@I RELOCK EMITL86"},
    {"AP", kKindFloat, " ~", " UNLOCK ANL@F RELOCK EMITL86"},
};

const TagType* FindType(std::string_view code) {
  const std::string upper = UpperCase(code);
  for (const TagType& t : kTagTypes)
    if (t.code == upper) return &t;
  return nullptr;
}

// Table elements are addressed by an index written in front of the command.
bool IsTableType(const TagType& t) {
  return t.prefix == " }" || t.prefix == " {";
}

// Where the field GetNextParam gave last stands in its line: [begin, end).
std::pair<size_t, size_t> Span(const ReportState& rs, const std::string& field) {
  const auto end = static_cast<size_t>(rs.param.end_position - 1);
  return {end - field.size(), end};
}

std::string Repeat(char c, int16_t count) {
  return std::string(static_cast<size_t>(std::max<int16_t>(count, 0)), c);
}

}  // namespace

std::string TagTypeCodes() {
  std::string codes;
  for (const TagType& t : kTagTypes) codes += (codes.empty() ? "" : ", ") + std::string(t.code);
  return codes;
}

void ReadTagLine(ReportState& rs, const std::string& line, TagLineReading* reading) {
  // Each field is accepted or the rest of the line is ignored; what an earlier
  // line with the same index set beyond that point stays as it was.
  // A field is noted before it is judged, so that a reading that stops on
  // it, silently or with a failure, names it.
  std::string field = GetNextParam(rs, line);
  if (reading != nullptr) {
    reading->Took(1, field);
    reading->first = field;
    reading->first_end = rs.param.position;
  }
  if (!IsNum(field)) return;
  const int16_t index = NumericValue16(field);
  if (reading != nullptr) reading->index = index;
  Tag& tag = At(rs.TagTable, index);
  // Process_List visits slots 0 to LastTag, so it has to reach the highest
  // index defined, whatever order the lines come in.
  rs.LastTag = std::max(rs.LastTag, index);
  tag.TagKind = kKindUndefined;

  field = GetNextParam(rs, line);
  if (reading != nullptr) reading->Took(2, field);
  if (!IsNum(field)) return;
  tag.TagController = NumericValue16(field);

  field = GetNextParam(rs, line);
  if (reading != nullptr) reading->Took(3, field);
  const TagType* type = FindType(field);
  if (type == nullptr) return;
  tag.TagKind = type->kind;
  if (reading != nullptr) {
    reading->type = field;
    reading->table = IsTableType(*type);
  }

  field = GetNextParam(rs, line);
  if (reading != nullptr) reading->Took(4, field);
  if (field.empty() || IsNum(field)) return;  // a name never starts with a digit
  tag.TagCommand = std::string(type->prefix) + field + std::string(type->suffix);
  if (reading != nullptr) std::tie(reading->name_begin, reading->name_end) = Span(rs, field);

  field = GetNextParam(rs, line);
  if (reading != nullptr) reading->Took(5, field);
  if (field.empty()) return;
  if (IsNum(field)) {
    tag.TagDigits = NumericValue16(field);
    tag.TagTrueText.clear();
    if (tag.TagKind == kKindInteger) tag.TagFormat = Repeat('#', tag.TagDigits) + "0";
  } else {
    tag.TagDigits = 0;
    tag.TagTrueText = field;
  }

  field = GetNextParam(rs, line);
  if (reading != nullptr) reading->Took(6, field);
  if (field.empty()) return;
  if (IsNum(field)) {
    tag.TagDecimals = NumericValue16(field);
    tag.TagFalseText.clear();
    if (tag.TagKind == kKindFloat)
      tag.TagFormat = Repeat('#', tag.TagDigits) + "0." + Repeat('0', tag.TagDecimals);
  } else {
    tag.TagDecimals = 0;
    tag.TagFalseText = field;
  }

  if (IsTableType(*type)) {
    // The table index goes in as written: the controller reads the number itself.
    field = GetNextParam(rs, line);
    if (reading != nullptr) {
      reading->Took(7, field);
      if (!field.empty()) std::tie(reading->index_begin, reading->index_end) = Span(rs, field);
    }
    tag.TagCommand = (IsNum(field) ? " " + field : std::string(" 0")) + tag.TagCommand;
  }
  if (reading != nullptr) reading->complete = true;
}

}  // namespace hx
