// HX_CHECK --live: every tag of a definition file asked once before the
// night's report.  The file is read again as HX_RPT reads it, on the vendor
// libraries HX_RPT uses, so its controllers are opened (each with its
// power-up clear) in the file's order; then HX_RPT's own value pass reads
// every tag once, with its commands and its recovery.  The controllers see
// exactly the exchanges of a run of the same file.  Nothing is logged,
// printed or shown: what a run would show in its dialog, and what it would
// note on standard error, becomes part of the lines written here.
//
// Single-threaded.

#ifndef HX_CHECK_LIVE_CHECK_H_
#define HX_CHECK_LIVE_CHECK_H_

#include <ostream>
#include <string>

#include "check/definition_check.h"
#include "platform/file_system.h"
#include "platform/vendor.h"

namespace hx {

// Reads the file at path, which check has checked, on vendor and writes one
// line per controller and per tag, then a summary, to out (UTF-8).  Returns
// 0 when every tag answered and every controller named opened, 1 otherwise.
int WriteLiveCheck(const DefinitionCheck& check, const std::string& path, FileSystem& files,
                   VendorLibraries& vendor, std::ostream& out);

}  // namespace hx

#endif  // HX_CHECK_LIVE_CHECK_H_
