#include "report/process_list.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "base/paths.h"
#include "base/run_error.h"
#include "comm/controller_link.h"
#include "platform/platform.h"
#include "platform/vendor.h"
#include "report/tag_format.h"
#include "run/report_error.h"

namespace hx {

namespace {

bool HoldsDigit(std::string_view reply) {
  return std::any_of(reply.begin(), reply.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Queries tag i and sets its TagText; reply and status as SendRecv left them.
TagRead::Outcome ReadTag(ReportState& rs, int i, std::string& reply, int16_t& status) {
  using Outcome = TagRead::Outcome;
  Tag& tag = At(rs.TagTable, i);
  const int16_t c = tag.TagController;
  const int32_t handle = At(rs.ControllerHandle, c);
  // The library promises only that 0 means "not opened"; a 32-bit
  // library may hand out handles that read as negative numbers.
  if (handle == 0) return Outcome::kNotOpen;
  rs.CtrlName = At(rs.ControllerName, c);
  if (tag.TagLostLine != 0) {
    // With a "?" for the lost character, the command would read another
    // symbol, or none: a false value is worse than a missing one.
    rs.AnyFailure = true;
    rs.platform.notes.Note(std::string(kDefinitionFileName) + " line " +
                           std::to_string(tag.TagLostLine) + ": tag " + std::to_string(i) +
                           ": its name or table index holds a character that " +
                           std::string(rs.platform.code_page.name()) + " lacks; it is not queried");
    tag.TagText = FailureFill(tag, /*marked=*/false);
    return Outcome::kNotSendable;
  }

  status = SendRecv(rs, handle, tag.TagCommand, reply);
  if (status == kStatusQueryFailed) {
    tag.TagText = FailureFill(tag, /*marked=*/true);
    return Outcome::kFailed;
  }
  if (status != kStatusOk) {
    // The controller was not reached at all (SendRecv has said so); any
    // reply it left is no value, so the tag shows no number either.
    tag.TagText = FailureFill(tag, /*marked=*/false);
    return Outcome::kNotReached;
  }
  if ((tag.TagKind == kKindInteger || tag.TagKind == kKindFloat) && !HoldsDigit(reply)) {
    // "N/A", "RUNNING" or nothing at all: the conversion would make a
    // 0 (or an OFF) out of it, a value the controller never sent.
    rs.AnyFailure = true;
    rs.platform.notes.Note("tag " + std::to_string(i) + ": the reply \"" + reply +
                           "\" holds no number");
    tag.TagText = FailureFill(tag, /*marked=*/false);
    return Outcome::kNoNumber;
  }

  // Each conversion starts from 0, so that one the library leaves
  // untouched can never show the previous tag's value.  A conversion
  // library that failed costs the values it converts, never the pass:
  // the tag shows no number, and string tags need no conversion.
  VendorLibraries& vendor = rs.platform.vendor;
  const bool converted = TrapVendorFailure(rs, label::kProcessList, [&] {
    switch (tag.TagKind) {
      case kKindInteger: {
        int32_t value = 0;
        std::vector<char> text = WritableCopy(reply);
        vendor.StringAsLong(&value, text.data());
        tag.TagText = IntegerText(tag, value);
        break;
      }
      case kKindFloat: {
        float value = 0;
        std::vector<char> text = WritableCopy(reply);
        vendor.StringAsFloat(&value, text.data());
        tag.TagText = FloatText(tag, value);
        break;
      }
      case kKindText:
        tag.TagText = StringText(tag, reply);
        break;
      default:
        break;  // a tag of unknown kind only ever shows a failure fill
    }
  });
  if (!converted) {
    tag.TagText = FailureFill(tag, /*marked=*/false);
    return Outcome::kNotConverted;
  }
  return Outcome::kAnswered;
}

}  // namespace

void Process_List(ReportState& rs, ValueObserver* observer) {
  Trap(rs, label::kProcessList, [&] {
    std::string reply;
    const int last_tag = rs.LastTag;
    for (int i = 0; i <= last_tag; ++i) {
      TagRead read;
      read.outcome = ReadTag(rs, i, reply, read.status);
      if (observer == nullptr) continue;
      if (read.queried()) read.reply = reply;
      observer->TagVisited(i, read);
    }
  });
}

}  // namespace hx
