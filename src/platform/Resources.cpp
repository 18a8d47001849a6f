// SPDX-License-Identifier: MIT
#include "platform/Resources.h"

#include <algorithm>
#include <array>

#include "EmbeddedFiles.inc"

namespace platform {
namespace {

// Resource type names compare as the system compares them: ASCII letters without case.
bool SameTypeName(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

struct CustomResource {
    int id;
    std::string_view file;
};

// The banners are carried as the very GIF files of assets/.
constexpr std::array<CustomResource, 3> kCustom{
    {{101, "101.gif"}, {102, "102.gif"}, {103, "103.gif"}}};

}  // namespace

std::vector<std::uint8_t> LoadResData(int id, std::string_view type) {
    if (!SameTypeName(type, "CUSTOM")) {
        return {};
    }
    for (const CustomResource& resource : kCustom) {
        if (resource.id == id) {
            const std::span<const std::uint8_t> bytes = EmbeddedFile(resource.file);
            return {bytes.begin(), bytes.end()};
        }
    }
    return {};
}

std::span<const std::uint8_t> EmbeddedFile(std::string_view name) {
    for (const embedded::File& file : embedded::kFiles) {
        if (name == file.name) {
            return {file.data, static_cast<std::size_t>(*file.size)};
        }
    }
    return {};
}

std::string_view AppVersion() {
    return LOOMHAVEN_VERSION;
}

}  // namespace platform
