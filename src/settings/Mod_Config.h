// SPDX-License-Identifier: MIT
// The settings store: five text values in section "Setting" of one INI file. Every reader asks
// the file afresh, so a value written by the settings window counts at the next read.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "settings/WebAddress.h"

namespace core {

// What the program says wherever the settings file is there but cannot be read.
inline constexpr std::u16string_view kSettingsUnreadable = u"无法读取设置文件，请检查后重试...";

// The most characters the lock panel's password box takes: a stored password longer than this
// could never be typed there.
inline constexpr int kPassWordMaxLength = 20;

// `text` as a whole number of minutes of at least 0, blanks around it ignored; nothing for any
// other text (and for a number too large for 32 bits).
constexpr std::optional<std::int32_t> WholeMinutes(std::u16string_view text) {
    const size_t first = text.find_first_not_of(u' ');
    if (first == std::u16string_view::npos) {
        return std::nullopt;
    }
    const size_t last = text.find_last_not_of(u' ');
    std::int64_t value = 0;
    for (size_t i = first; i <= last; ++i) {
        const char16_t c = text[i];
        if (c < u'0' || c > u'9') {
            return std::nullopt;
        }
        value = value * 10 + (c - u'0');
        if (value > INT32_MAX) {
            return std::nullopt;
        }
    }
    return static_cast<std::int32_t>(value);
}

// Which values of a setting the program writes (and, for the reload period, counts).
enum class SettingCheck {
    AnyText,
    TrueOrFalse,    // exactly "True" or "False"
    WholeMinutes,   // see WholeMinutes
    LockPanelText,  // 1 to kPassWordMaxLength characters: what the lock panel's box can take
    WebAddress,     // empty (the compiled-in address), or what ParseWebAddress takes
};

// One setting: where it lives, what a missing key reads as, and what may be written.
struct Setting {
    std::u16string_view section;
    std::u16string_view key;
    std::u16string_view defaultValue;
    SettingCheck check = SettingCheck::AnyText;

    constexpr bool Accepts(std::u16string_view value) const {
        switch (check) {
            case SettingCheck::TrueOrFalse:
                return value == u"True" || value == u"False";
            case SettingCheck::WholeMinutes:
                return WholeMinutes(value).has_value();
            case SettingCheck::LockPanelText:
                return !value.empty() && value.size() <= static_cast<size_t>(kPassWordMaxLength);
            case SettingCheck::WebAddress:
                return value.empty() || ParseWebAddress(value).has_value();
            case SettingCheck::AnyText:
                break;
        }
        return true;
    }
};

// Every setting of the program. The default user name and password are the same five digits.
inline constexpr Setting kUserName{u"Setting", u"UserName", u"58263", SettingCheck::AnyText};
inline constexpr Setting kPassWord{u"Setting", u"PassWord", u"58263", SettingCheck::LockPanelText};
inline constexpr Setting kLock{u"Setting", u"Lock", u"True", SettingCheck::TrueOrFalse};
inline constexpr Setting kLockTime{u"Setting", u"LockTime", u"15", SettingCheck::WholeMinutes};
// The forum the main window opens; empty stands for the compiled-in forum.
inline constexpr Setting kHomePage{u"Setting", u"HomePage", u"", SettingCheck::WebAddress};
// Whether the user has been told that, without a notification area, the menu opens from the
// main window's title strip. Kept with the settings: it is the user's, across runs.
inline constexpr Setting kTitleMenuTold{u"Setting", u"TitleMenuTold", u"False",
                                        SettingCheck::TrueOrFalse};

static_assert(kUserName.Accepts(kUserName.defaultValue) &&
              kPassWord.Accepts(kPassWord.defaultValue) && kLock.Accepts(kLock.defaultValue) &&
              kLockTime.Accepts(kLockTime.defaultValue) &&
              kHomePage.Accepts(kHomePage.defaultValue) &&
              kTitleMenuTold.Accepts(kTitleMenuTold.defaultValue));

// The stored text of `setting`, or its default when the file, section or key is missing;
// nothing when the file is there but cannot be read (not a regular file, no permission, an I/O
// error, too large to be a settings file). The credentials are read this way: their defaults
// are printed for everyone to see, so they must count only when there is no file at all.
std::optional<std::u16string> TryReadSetting(const Setting& setting);

// The same, with the default also for a file that cannot be read: for values whose default is
// the safe side (the lock switch's default locks, the reload period's keeps reloading). The
// text comes as stored, whether or not the setting's check accepts it.
std::u16string ReadSetting(const Setting& setting);

// Stores `value` for `setting`; returns whether it was stored. A value the setting's check
// refuses, or one that cannot be kept exactly (a line break, a NUL, a lone surrogate), is
// refused, and a failed write leaves the file as it was.
bool WriteSetting(const Setting& setting, std::u16string_view value);

// What the stored user name and password say about a typed pair.
enum class Credentials {
    Match,
    Mismatch,
    Unreadable,  // the file is there but cannot be read: nothing can be checked
};

// Compares the typed pair with the stored one as exact, case-sensitive text. A file that cannot
// be read never lets the well-known defaults in.
Credentials CheckCredentials(std::u16string_view user, std::u16string_view password);

}  // namespace core
