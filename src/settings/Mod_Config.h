// SPDX-License-Identifier: MIT
// The settings store: four text values in section "Setting" of one INI file. Every reader asks
// the file afresh, so a value written by the settings window counts at the next read.
#pragma once

#include <string>
#include <string_view>

namespace core {

// The stored text of `key` in `section`, or `def` when the file, section or key is missing.
std::u16string ReadSetting(std::u16string_view section, std::u16string_view key,
                           std::u16string_view def);

// Stores `value` for `key` in `section`; returns whether it was stored. A value that cannot be
// kept exactly (a line break, a NUL, a lone surrogate) is refused, and a failed write leaves the
// file as it was.
bool WriteSetting(std::u16string_view section, std::u16string_view key, std::u16string_view value);

}  // namespace core
