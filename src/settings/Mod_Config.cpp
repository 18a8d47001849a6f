// SPDX-License-Identifier: MIT
#include "settings/Mod_Config.h"

#include <optional>
#include <system_error>

#include "platform/Profile.h"
#include "platform/Services.h"
#include "platform/Text.h"

namespace core {
namespace {

constexpr size_t kBufferSize = 2048;

// UTF-8 for a profile call; nothing for text that holds a NUL, which a C string cannot carry.
std::optional<std::string> ForProfile(std::u16string_view text) {
    if (text.find(u'\0') != std::u16string_view::npos) {
        return std::nullopt;
    }
    return platform::ToUtf8(text);
}

struct StoredText {
    std::u16string text;
    platform::ProfileFile file;
};

StoredText Read(std::u16string_view section, std::u16string_view key, std::u16string_view def) {
    // The buffer starts as blanks; the call writes the value and a NUL, and the text before
    // the first NUL is the result. A file that cannot be read leaves the default there.
    std::string buffer(kBufferSize, ' ');
    const std::string file = platform::CurrentServices().settingsFile.string();
    const std::string sectionA = platform::ToUtf8Lossy(section);
    const std::string keyA = platform::ToUtf8Lossy(key);
    const std::string defA = platform::ToUtf8Lossy(def);
    const platform::ProfileString read = platform::GetPrivateProfileStringChecked(
        sectionA.c_str(), keyA.c_str(), defA.c_str(), buffer.data(),
        static_cast<uint32_t>(buffer.size()), file.c_str());
    const std::u16string text = platform::FromUtf8(buffer);
    return {text.substr(0, text.find(u'\0')), read.file};
}

}  // namespace

std::optional<std::u16string> TryReadSetting(const Setting& setting) {
    StoredText read = Read(setting.section, setting.key, setting.defaultValue);
    if (read.file == platform::ProfileFile::Unreadable) {
        return std::nullopt;
    }
    return std::move(read.text);
}

std::u16string ReadSetting(const Setting& setting) {
    return Read(setting.section, setting.key, setting.defaultValue).text;
}

bool WriteSetting(const Setting& setting, std::u16string_view value) {
    if (!setting.Accepts(value)) {
        return false;
    }
    const std::optional<std::string> sectionA = ForProfile(setting.section);
    const std::optional<std::string> keyA = ForProfile(setting.key);
    const std::optional<std::string> valueA = ForProfile(value);
    if (!sectionA || !keyA || !valueA) {
        return false;
    }
    const std::filesystem::path file = platform::CurrentServices().settingsFile;
    std::error_code ec;
    if (file.has_parent_path() && !std::filesystem::exists(file.parent_path(), ec)) {
        std::filesystem::create_directories(file.parent_path(), ec);
        if (ec) {
            return false;
        }
        std::filesystem::permissions(file.parent_path(), std::filesystem::perms::owner_all, ec);
    }
    return platform::WritePrivateProfileStringA(sectionA->c_str(), keyA->c_str(), valueA->c_str(),
                                                file.string().c_str());
}

Credentials CheckCredentials(std::u16string_view user, std::u16string_view password) {
    const std::optional<std::u16string> storedUser = TryReadSetting(kUserName);
    const std::optional<std::u16string> storedPassword = TryReadSetting(kPassWord);
    if (!storedUser || !storedPassword) {
        return Credentials::Unreadable;
    }
    return *storedUser == user && *storedPassword == password ? Credentials::Match
                                                              : Credentials::Mismatch;
}

}  // namespace core
