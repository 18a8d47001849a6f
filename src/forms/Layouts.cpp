// SPDX-License-Identifier: MIT
#include "forms/Layouts.h"

#include <map>
#include <set>
#include <string>

#include "platform/Bmp.h"
#include "platform/Files.h"
#include "platform/Resources.h"
#include "platform/Runtime.h"
#include "platform/Services.h"

namespace core {

std::shared_ptr<const platform::gdi::Bitmap> LayoutPicture(std::string_view name) {
    static std::map<std::string, std::shared_ptr<const platform::gdi::Bitmap>, std::less<>> cache;
    if (const auto it = cache.find(name); it != cache.end()) {
        return it->second;
    }
    std::shared_ptr<const platform::gdi::Bitmap> picture;
    if (auto decoded = platform::DecodeBmp(platform::EmbeddedFile(name))) {
        picture = std::make_shared<const platform::gdi::Bitmap>(std::move(*decoded));
    }
    cache.emplace(std::string(name), picture);
    return picture;
}

namespace {

platform::DataPlaces Places() {
    const platform::Services& services = platform::CurrentServices();
    return platform::FindDataPlaces(services.appPath, services.userDataHome);
}

// The user directories already found unusable: each is told once per run.
std::set<std::filesystem::path>& Unusable() {
    static std::set<std::filesystem::path> told;
    return told;
}

}  // namespace

std::filesystem::path DataFile(std::string_view name, platform::DataAccess access) {
    return platform::DataFilePath(Places(), name, access);
}

std::filesystem::path DataWriteDirectory() {
    return Places().written;
}

bool WriteDataFile(std::string_view name, std::span<const std::uint8_t> bytes,
                   std::string_view what) {
    const platform::DataPlaces places = Places();
    const std::filesystem::path file =
        platform::DataFilePath(places, name, platform::DataAccess::Write);
    if (places.installed) {
        std::string why;
        if (!platform::MakeUserDirectory(places.written, why)) {
            if (Unusable().insert(places.written).second) {
                platform::Warn("cannot use the data directory %s; banners and snapshot not kept",
                               why.c_str());
            }
            return false;
        }
    } else {
        std::error_code ec;
        std::filesystem::create_directories(file.parent_path(), ec);
    }
    if (platform::ReplaceAtomically(file.string(), bytes)) {
        return true;
    }
    const std::string prefix = what.empty() ? std::string() : std::string(what) + " ";
    platform::Warn("cannot write %s%s", prefix.c_str(), file.c_str());
    return false;
}

}  // namespace core
