#include "definition/setup_keys.h"

#include "base/text.h"

namespace hx {

std::optional<SetupKey> FindSetupKey(std::string_view upper_key) {
  for (const SetupKeyEntry& entry : kSetupKeys)
    if (UpperCase(entry.name) == upper_key) return entry.key;
  return std::nullopt;
}

}  // namespace hx
