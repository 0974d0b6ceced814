// Value acquisition: the first step of every report pass.  Queries every
// defined tag of an open controller and stores the display text of its reply
// in TagText, which the template renderer lays into the report.

#ifndef HX_REPORT_PROCESS_LIST_H_
#define HX_REPORT_PROCESS_LIST_H_

#include <cstdint>
#include <string>

#include "run/report_state.h"

namespace hx {

// What the value pass did with one tag, for whoever explains a run (HX_CHECK
// --live): the run itself tells nobody.
struct TagRead {
  enum class Outcome {
    kNotOpen,       // its controller slot is not open: not queried
    kNotSendable,   // its name or table index lost a character: not queried
    kAnswered,      // status 0: the value is shown
    kFailed,        // status -1: the query failed (an unknown symbol, as a rule)
    kNotReached,    // another status, or no exchange at all: SendRecv has said so
    kNoNumber,      // a number tag whose reply holds no digit
    kNotConverted,  // the conversion library failed
  };
  Outcome outcome = Outcome::kNotOpen;
  int16_t status = 0;
  std::string reply;

  bool queried() const { return outcome != Outcome::kNotOpen && outcome != Outcome::kNotSendable; }
};

class ValueObserver {
 public:
  virtual ~ValueObserver() = default;
  // Told after the tag's TagText is set (or left, when its controller is not
  // open).
  virtual void TagVisited(int index, const TagRead& read) = 0;
};

// Visits tags 0 to LastTag in order.  A tag whose controller slot is not open
// keeps its text; any other gets its formatted value or a failure fill.  A
// failure (a controller slot outside the table, a width beyond 16 bits, a
// missing conversion library) ends the pass under label::kProcessList; the tags
// visited so far keep their new texts.  A conversion library that failed
// (error 49, reported once under label::kProcessList) ends only the
// conversions: the tags that need one show the failure fill, the others
// their values.  observer, when given, hears of every tag visited.
void Process_List(ReportState& rs, ValueObserver* observer = nullptr);

}  // namespace hx

#endif  // HX_REPORT_PROCESS_LIST_H_
