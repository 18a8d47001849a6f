// SPDX-License-Identifier: MIT
#include "settings/WebAddress.h"

#include "forms/Addresses.h"
#include "settings/Mod_Config.h"

namespace core {
namespace {

// The scheme, the host in lower case and the port: the root of the address's site.
std::u16string SiteRoot(const WebAddressParts& parts) {
    std::u16string root = parts.https ? u"https://" : u"http://";
    for (const char16_t c : parts.host) {
        root += web_address_detail::Lower(c);
    }
    if (!parts.port.empty()) {
        root += u':';
        root += parts.port;
    }
    return root;
}

}  // namespace

std::optional<std::u16string> CompleteWebAddress(std::u16string_view typed) {
    const std::optional<WebAddressParts> parts = ParseWebAddress(typed);
    if (!parts) {
        return std::nullopt;
    }
    std::u16string address = SiteRoot(*parts);
    if (!parts->rest.empty() && parts->rest.front() != u'/') {
        address += u'/';
    }
    for (const char16_t c : parts->rest) {
        if (c == u' ') {
            address += u"%20";
        } else {
            address += c;
        }
    }
    return address;
}

std::u16string ForumHomePage() {
    if (const std::optional<std::u16string> address = CompleteWebAddress(ReadSetting(kHomePage))) {
        return *address;
    }
    return *CompleteWebAddress(kForumHome);
}

std::u16string ForumBoardPage() {
    return SiteRoot(*ParseWebAddress(ForumHomePage())) + u"/forum-2-1.html";
}

}  // namespace core
