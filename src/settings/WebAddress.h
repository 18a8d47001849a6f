// SPDX-License-Identifier: MIT
// The forum's address as the user writes it into the settings file or the settings window:
// the way a person types it into a browser's address bar (a bare host, host and path,
// host:port, or a whole http or https address).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace core {

// An address longer than this many bytes (UTF-8) is no address: the settings file's reader
// keeps at most this much of a value.
inline constexpr std::size_t kMaxWebAddressBytes = 2047;

// The pieces of an address that passed the check, as views into the typed text.
struct WebAddressParts {
    bool https = false;
    std::u16string_view host;  // a name (letters, digits, '-', '.', '_', or beyond ASCII) or [v6]
    std::u16string_view port;  // digits, or empty for the scheme's own
    std::u16string_view rest;  // the path, query and fragment, from the first '/', '?' or '#'
};

namespace web_address_detail {

constexpr bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t';
}
constexpr bool IsAsciiLetter(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}
constexpr bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}
constexpr bool IsSchemeChar(char16_t c) {
    return IsAsciiLetter(c) || IsDigit(c) || c == u'+' || c == u'-' || c == u'.';
}
constexpr char16_t Lower(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}
constexpr bool EqualsIgnoringCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) {
            return false;
        }
    }
    return true;
}
// The bytes `text` takes in UTF-8 (a lone surrogate counts as the three of its replacement).
constexpr std::size_t Utf8Bytes(std::u16string_view text) {
    std::size_t bytes = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c < 0x80) {
            bytes += 1;
        } else if (c < 0x800) {
            bytes += 2;
        } else if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
                   text[i + 1] <= 0xDFFF) {
            bytes += 4;
            ++i;
        } else {
            bytes += 3;
        }
    }
    return bytes;
}
constexpr bool IsHostNameChar(char16_t c) {
    return IsAsciiLetter(c) || IsDigit(c) || c == u'-' || c == u'.' || c == u'_' || c >= 0x80;
}
constexpr bool IsV6Char(char16_t c) {
    return IsDigit(c) || (Lower(c) >= u'a' && Lower(c) <= u'f') || c == u':' || c == u'.';
}

}  // namespace web_address_detail

// `typed` without the blanks (spaces, tabs) around it.
constexpr std::u16string_view TrimBlanks(std::u16string_view typed) {
    std::size_t first = 0;
    std::size_t last = typed.size();
    while (first < last && web_address_detail::IsBlank(typed[first])) {
        ++first;
    }
    while (last > first && web_address_detail::IsBlank(typed[last - 1])) {
        --last;
    }
    return typed.substr(first, last - first);
}

// `typed` (blanks around it ignored) as an http or https address, or nothing. A value without
// a scheme is a host (with a port and a path perhaps), completed to http. Anything else is no
// address: another scheme ("javascript:", "file:", "data:"), no host, spaces or stray
// characters in the host, a user name before the host, a port out of range, control
// characters, or more than kMaxWebAddressBytes bytes.
constexpr std::optional<WebAddressParts> ParseWebAddress(std::u16string_view typed) {
    using namespace web_address_detail;
    std::u16string_view text = TrimBlanks(typed);
    if (text.empty() || Utf8Bytes(text) > kMaxWebAddressBytes) {
        return std::nullopt;
    }
    for (const char16_t c : text) {
        if (c < 0x20 || c == 0x7F) {
            return std::nullopt;
        }
    }

    WebAddressParts parts;
    // A scheme is a letter and scheme characters before a colon. "host:8080" is a host with a
    // port, not a scheme: what follows its colon is digits up to the end of the authority.
    std::size_t scheme = 0;
    while (scheme < text.size() && IsSchemeChar(text[scheme])) {
        ++scheme;
    }
    const bool hasScheme =
        scheme > 0 && IsAsciiLetter(text[0]) && scheme < text.size() && text[scheme] == u':';
    if (hasScheme) {
        const std::u16string_view name = text.substr(0, scheme);
        const std::u16string_view after = text.substr(scheme + 1);
        if (after.starts_with(u"//")) {
            if (EqualsIgnoringCase(name, u"http")) {
                parts.https = false;
            } else if (EqualsIgnoringCase(name, u"https")) {
                parts.https = true;
            } else {
                return std::nullopt;
            }
            text = after.substr(2);
        } else {
            // "name:" then digits up to the path is a host and its port; anything else is
            // another scheme without slashes ("javascript:", "data:", "mailto:").
            std::size_t i = 0;
            while (i < after.size() && IsDigit(after[i])) {
                ++i;
            }
            const bool portFollows = i > 0 && (i == after.size() || after[i] == u'/' ||
                                               after[i] == u'?' || after[i] == u'#');
            if (!portFollows) {
                return std::nullopt;
            }
        }
    }

    const std::size_t authorityEnd = text.find_first_of(u"/?#");
    const std::u16string_view authority = text.substr(0, authorityEnd);
    parts.rest = authorityEnd == std::u16string_view::npos ? std::u16string_view{}
                                                           : text.substr(authorityEnd);
    std::size_t hostEnd = authority.size();
    if (!authority.empty() && authority[0] == u'[') {
        const std::size_t close = authority.find(u']');
        if (close == std::u16string_view::npos || close < 3) {
            return std::nullopt;
        }
        for (const char16_t c : authority.substr(1, close - 1)) {
            if (!IsV6Char(c)) {
                return std::nullopt;
            }
        }
        hostEnd = close + 1;
        if (hostEnd < authority.size() && authority[hostEnd] != u':') {
            return std::nullopt;
        }
    } else {
        hostEnd = authority.find(u':');
        if (hostEnd == std::u16string_view::npos) {
            hostEnd = authority.size();
        }
        const std::u16string_view host = authority.substr(0, hostEnd);
        if (host.empty() || host.front() == u'.' || host.find(u"..") != std::u16string_view::npos) {
            return std::nullopt;
        }
        for (const char16_t c : host) {
            if (!IsHostNameChar(c)) {
                return std::nullopt;  // a space, '@' (a user name before the host), ...
            }
        }
    }
    parts.host = authority.substr(0, hostEnd);
    if (hostEnd < authority.size()) {
        parts.port = authority.substr(hostEnd + 1);
        if (parts.port.empty() || parts.port.size() > 5) {
            return std::nullopt;
        }
        std::uint32_t port = 0;
        for (const char16_t c : parts.port) {
            if (!IsDigit(c)) {
                return std::nullopt;
            }
            port = port * 10 + static_cast<std::uint32_t>(c - u'0');
        }
        if (port == 0 || port > 65535) {
            return std::nullopt;
        }
    }
    return parts;
}

// `typed` as the whole address a browser opens for it ("bbs.example.org" becomes
// "http://bbs.example.org"), or nothing when it is no address. The host is in lower case;
// spaces in the path are written as %20.
std::optional<std::u16string> CompleteWebAddress(std::u16string_view typed);

// The address of the forum's home page: the "HomePage" setting completed, or the compiled-in
// home page when the setting is missing, empty or no address.
std::u16string ForumHomePage();

// The forum's board page: "forum-2-1.html" under the root of the home page's site.
std::u16string ForumBoardPage();

}  // namespace core
