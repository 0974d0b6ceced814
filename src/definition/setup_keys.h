// The keys of the [SETUP] section, each written once: the reader applies
// them, and HX_CHECK explains and lists them, from this one table.  Keys are
// matched after upper-casing; the table spells each as the definition file's
// reference writes it, upper case but for LandScapeLines and PortraitLines.
//
// Thread-compatible: constants and pure functions.

#ifndef HX_DEFINITION_SETUP_KEYS_H_
#define HX_DEFINITION_SETUP_KEYS_H_

#include <optional>
#include <string_view>

namespace hx {

enum class SetupKey {
  kPrintit,
  kShowit,
  kLogit,
  kLogFilePath,
  kLogFileName,
  kFont,
  kFontSize,
  kDateFormat,
  kTimeFormat,
  kPortraitLines,
  kLandScapeLines,
  kPrinterName,
};

// Every key with its name as the file's reference writes it, in the order
// HX_CHECK lists them: the three switches, the log, the printer font, the
// date and time, the page lengths, the printer.  No two keys are equal, so
// the order decides nothing about which one a line sets.
struct SetupKeyEntry {
  SetupKey key;
  std::string_view name;
};
inline constexpr SetupKeyEntry kSetupKeys[] = {
    {SetupKey::kPrintit, "PRINTIT"},
    {SetupKey::kShowit, "SHOWIT"},
    {SetupKey::kLogit, "LOGIT"},
    {SetupKey::kLogFilePath, "LOGFILEPATH"},
    {SetupKey::kLogFileName, "LOGFILENAME"},
    {SetupKey::kFont, "FONT"},
    {SetupKey::kFontSize, "FONTSIZE"},
    {SetupKey::kDateFormat, "DATEFORMAT"},
    {SetupKey::kTimeFormat, "TIMEFORMAT"},
    {SetupKey::kPortraitLines, "PortraitLines"},
    {SetupKey::kLandScapeLines, "LandScapeLines"},
    {SetupKey::kPrinterName, "PRINTERNAME"},
};

constexpr std::string_view SetupKeyName(SetupKey key) {
  for (const SetupKeyEntry& entry : kSetupKeys)
    if (entry.key == key) return entry.name;
  return {};
}

// The three switches: only this value, in any letter case, turns one on,
// and nothing turns it off again.
inline constexpr std::string_view kSwitchOn = "TRUE";
constexpr bool IsSwitch(SetupKey key) {
  return key == SetupKey::kPrintit || key == SetupKey::kShowit || key == SetupKey::kLogit;
}

// The PRINTERNAME that makes the printer follow the system's default
// printer; its letter case counts.
inline constexpr std::string_view kFollowDefaultPrinter = "Default";

// The key an upper-cased [SETUP] key names; none for a key not in the table.
std::optional<SetupKey> FindSetupKey(std::string_view upper_key);

}  // namespace hx

#endif  // HX_DEFINITION_SETUP_KEYS_H_
