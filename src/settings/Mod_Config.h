// SPDX-License-Identifier: MIT
// The settings store: four text values in section "Setting" of one INI file. Every reader asks
// the file afresh, so a value written by the settings window counts at the next read.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace core {

// The most characters the lock panel's password box takes: a stored password longer than this
// could never be typed there, so the settings window refuses it.
inline constexpr int kPassWordMaxLength = 20;

// What the program says wherever the settings file is there but cannot be read.
inline constexpr std::u16string_view kSettingsUnreadable = u"无法读取设置文件，请检查后重试...";

// The stored text of `key` in `section`, or `def` when the file, section or key is missing;
// nothing when the file is there but cannot be read (not a regular file, no permission, an I/O
// error, too large to be a settings file). The credentials are read this way: their defaults
// are printed for everyone to see, so they must count only when there is no file at all.
std::optional<std::u16string> TryReadSetting(std::u16string_view section, std::u16string_view key,
                                             std::u16string_view def);

// The same, with `def` also for a file that cannot be read: for values whose default is the
// safe side (the lock switch's default locks, the reload period's keeps reloading).
std::u16string ReadSetting(std::u16string_view section, std::u16string_view key,
                           std::u16string_view def);

// Stores `value` for `key` in `section`; returns whether it was stored. A value that cannot be
// kept exactly (a line break, a NUL, a lone surrogate) is refused, and a failed write leaves the
// file as it was.
bool WriteSetting(std::u16string_view section, std::u16string_view key, std::u16string_view value);

}  // namespace core
