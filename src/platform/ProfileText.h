// SPDX-License-Identifier: MIT
// The private-profile rules on file content in memory, apart from the file itself; the two
// profile calls are these plus reading and atomically replacing the file.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::profile {

// The value of `key` in the first section called `section` (names trimmed, ASCII case ignored),
// trimmed and without a matching pair of outer quotes; nothing when section or key is missing.
std::optional<std::string> Lookup(std::string_view content, std::string_view section,
                                  std::string_view key);

std::vector<std::string> SectionNames(std::string_view content);
std::vector<std::string> KeyNames(std::string_view content, std::string_view section);

// The content after storing `value` for `key` in `section` (a null value deletes the key, a
// null key the section). Nothing when a name or the value is refused.
std::optional<std::string> Store(std::string_view content, const char* section, const char* key,
                                 const char* value);

}  // namespace platform::profile
