// SPDX-License-Identifier: MIT
#include "platform/Text.h"

#include <cstdint>

namespace platform {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

void AppendUtf16(std::u16string& out, char32_t cp) {
    if (cp < 0x10000) {
        out.push_back(static_cast<char16_t>(cp));
    } else {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    }
}

// Decodes one code point of UTF-16 at `i`; nullopt for a lone surrogate.
std::optional<char32_t> NextUtf16(std::u16string_view s, size_t& i) {
    const char16_t c = s[i++];
    if (c < 0xD800 || c > 0xDFFF) {
        return c;
    }
    if (c <= 0xDBFF && i < s.size() && s[i] >= 0xDC00 && s[i] <= 0xDFFF) {
        const char32_t low = s[i++];
        return 0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) + (low - 0xDC00);
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const std::optional<char32_t> cp = NextUtf16(text, i);
        if (!cp) {
            return std::nullopt;
        }
        AppendUtf8(out, *cp);
    }
    return out;
}

std::string ToUtf8Lossy(std::u16string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size();) {
        AppendUtf8(out, NextUtf16(text, i).value_or(kReplacement));
    }
    return out;
}

std::u16string FromUtf8(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const size_t n = text.size();
    size_t i = 0;
    while (i < n) {
        const unsigned char b = p[i];
        size_t len = 0;
        char32_t cp = 0;
        char32_t min = 0;
        if (b < 0x80) {
            out.push_back(b);
            ++i;
            continue;
        } else if ((b & 0xE0) == 0xC0) {
            len = 2, cp = b & 0x1F, min = 0x80;
        } else if ((b & 0xF0) == 0xE0) {
            len = 3, cp = b & 0x0F, min = 0x800;
        } else if ((b & 0xF8) == 0xF0) {
            len = 4, cp = b & 0x07, min = 0x10000;
        } else {
            out.push_back(kReplacement);
            ++i;
            continue;
        }
        size_t k = 1;
        while (k < len && i + k < n && (p[i + k] & 0xC0) == 0x80) {
            cp = (cp << 6) | (p[i + k] & 0x3F);
            ++k;
        }
        if (k < len || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            out.push_back(kReplacement);
            i += k;  // resynchronise on the first byte that could start a sequence
            continue;
        }
        AppendUtf16(out, cp);
        i += len;
    }
    return out;
}

}  // namespace platform
