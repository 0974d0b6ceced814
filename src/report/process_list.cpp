#include "report/process_list.h"

#include <string>
#include <vector>

#include "base/run_error.h"
#include "comm/controller_link.h"
#include "comm/vendor.h"
#include "platform/platform.h"
#include "report/tag_format.h"
#include "ui/report_error.h"

namespace hx {

void Process_List(ReportState& rs) {
  Trap(rs, "Process_List", [&] {
    VendorLibraries& vendor = rs.platform.vendor;
    // The working numbers live for the whole pass: a conversion that stores
    // nothing leaves the previous tag's number in place.
    int32_t value = 0;
    float float_value = 0;
    std::string reply;

    const int last_tag = rs.LastTag;
    for (int i = 0; i <= last_tag; ++i) {
      Tag& tag = At(rs.TagTable, i);
      const int16_t c = tag.TagController;
      const int32_t handle = At(rs.ControllerHandle, c);
      if (handle <= 0) continue;
      rs.CtrlName = At(rs.ControllerName, c);

      const int16_t status = SendRecv(rs, handle, tag.TagCommand, reply);
      if (status == kStatusQueryFailed) {
        tag.TagText = FailureFill(tag, /*marked=*/true);
        continue;
      }
      if (status != kStatusOk) {
        // The controller was not reached at all (SendRecv has said so); any
        // reply it left is no value, so the tag shows no number either.
        tag.TagText = FailureFill(tag, /*marked=*/false);
        continue;
      }

      switch (tag.TagKind) {
        case kKindInteger: {
          std::vector<char> text = WritableCopy(reply);
          vendor.StringAsLong(&value, text.data());
          tag.TagText = IntegerText(tag, value);
          break;
        }
        case kKindFloat: {
          std::vector<char> text = WritableCopy(reply);
          vendor.StringAsFloat(&float_value, text.data());
          tag.TagText = FloatText(tag, float_value);
          break;
        }
        case kKindText:
          tag.TagText = StringText(tag, reply);
          break;
        default:
          break;  // a tag of unknown kind only ever shows a failure fill
      }
    }
  });
}

}  // namespace hx
