// SPDX-License-Identifier: MIT
// Replacing a whole file so that nobody ever sees half of it.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace platform {

// Writes `data` to a new owner-only file beside `target` and renames it over `target`: readers
// see the old file or the new one, never part of one, and a failure leaves the old file as it
// was. A file that stood there keeps its permissions. A link at `target` is replaced, not
// written through. False when the directory refuses the new file or the disk is full.
bool ReplaceAtomically(const std::string& target, std::string_view data);
inline bool ReplaceAtomically(const std::string& target, std::span<const std::uint8_t> bytes) {
    return ReplaceAtomically(
        target, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

}  // namespace platform
