// Turns one [TAGS] line of the definition file into a slot of the tag table.

#ifndef HX_DEFINITION_TAG_LINE_H_
#define HX_DEFINITION_TAG_LINE_H_

#include <cstdint>
#include <string>

#include "run/report_state.h"

namespace hx {

// How far ReadTagLine got with a line, for whoever explains the file.
struct TagLineReading {
  int field = 0;          // the field taken last, 1 to 7; 0 before the first
  std::string text;       // that field as written; empty when the line had no more
  bool complete = false;  // the line went on to the last field its type uses
  int16_t index = -1;     // the tag index, once field 1 was accepted
  std::string type;       // the type code as written, once accepted
  bool table = false;     // the type takes a table index (field 7)
  std::string first;      // field 1 as written
  int32_t first_end = 0;  // tokenizer position after field 1
  int32_t error = 0;      // the failure that stopped the reading of the file, if any
  // Where the name (field 4) and the table index (field 7, numeric or not)
  // stand in the line, as byte offsets [begin, end); begin == end until taken.
  size_t name_begin = 0, name_end = 0;
  size_t index_begin = 0, index_end = 0;

  void Took(int n, const std::string& taken) {
    field = n;
    text = taken;
  }
};

// Applies line field by field; stops silently at the first field it does not
// accept.  An index outside 0..400 or a number beyond 16 bits raises RunError,
// which stops the reading of the whole file.  With reading, also tells how far
// the line got (up to the field being converted when RunError is raised).
void ReadTagLine(ReportState& rs, const std::string& line, TagLineReading* reading = nullptr);

// The type codes a tag line may give, in the order they are known, joined
// with ", " (for telling a user which codes there are).
std::string TagTypeCodes();

}  // namespace hx

#endif  // HX_DEFINITION_TAG_LINE_H_
