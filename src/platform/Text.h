// SPDX-License-Identifier: MIT
// Text inside the program is UTF-16; files, the tray and the window system speak UTF-8, this
// platform's code page. These are the conversions at those edges.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// UTF-16 to UTF-8. A lone surrogate cannot be represented: the result is then empty, so that
// nothing is ever stored with a replacement character in place of what was typed.
std::optional<std::string> ToUtf8(std::u16string_view text);

// UTF-8 to UTF-16; each malformed sequence becomes U+FFFD.
std::u16string FromUtf8(std::string_view text);

// Convenience for literals and logs: malformed UTF-16 becomes U+FFFD.
std::string ToUtf8Lossy(std::u16string_view text);

}  // namespace platform
