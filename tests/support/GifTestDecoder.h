// SPDX-License-Identifier: MIT
// A small GIF decoder without any toolkit, standing in for the real picture decoder in the
// toolkit-free tests and the fuzz targets. It decodes the first image of a file into that
// image's own rectangle, the way the program's decoder service promises: colours from the
// image's local table or else the global one, a transparent pixel keeping its table colour,
// interlaced rows put in place. Pixels the data does not cover stay opaque black, and so does an
// index beyond the table. It never reads outside the bytes it is given.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "platform/Ole.h"

namespace testing_support {

// Larger images are refused, like a real decoder's allocation limit.
constexpr long long kMaxDecodedPixels = 16LL * 1024 * 1024;

inline std::optional<platform::gdi::Bitmap> DecodeFirstGifImage(
    std::span<const std::uint8_t> bytes) {
    using platform::gdi::Bitmap;
    using platform::gdi::Pixel;
    const std::optional<platform::GifImagePlacement> where = platform::FindFirstGifImage(bytes);
    if (!where || where->width <= 0 || where->height <= 0 ||
        static_cast<long long>(where->width) * where->height > kMaxDecodedPixels) {
        return std::nullopt;
    }
    const std::size_t n = bytes.size();
    const int w = where->width;
    const int h = where->height;

    // The colour table: the image's own, else the global one.
    std::size_t p = where->descriptorOffset;
    const std::uint8_t packed = bytes[p + 9];
    std::span<const std::uint8_t> table;
    p += 10;
    if (packed & 0x80) {
        const std::size_t size = 3u << ((packed & 0x07) + 1);
        if (p + size > n) {
            return std::nullopt;
        }
        table = bytes.subspan(p, size);
        p += size;
    } else if (bytes[10] & 0x80) {
        const std::size_t size = 3u << ((bytes[10] & 0x07) + 1);
        if (13 + size <= n) {
            table = bytes.subspan(13, size);
        }
    }
    if (p >= n) {
        return std::nullopt;
    }
    const int minCodeSize = bytes[p++];
    if (minCodeSize < 1 || minCodeSize > 11) {
        return std::nullopt;
    }
    // The data sub-blocks, as far as they go.
    std::vector<std::uint8_t> data;
    while (p < n && bytes[p] != 0) {
        const std::size_t size = bytes[p];
        const std::size_t end = std::min(n, p + 1 + size);
        data.insert(data.end(), bytes.begin() + static_cast<std::ptrdiff_t>(p + 1),
                    bytes.begin() + static_cast<std::ptrdiff_t>(end));
        p += 1 + size;
    }

    // LZW: every code stands for a prefix code plus a last index.
    const int clear = 1 << minCodeSize;
    const int end = clear + 1;
    std::array<std::uint16_t, 4096> prefix{};
    std::array<std::uint8_t, 4096> suffix{};
    std::array<std::uint8_t, 4096> first{};
    std::array<std::uint16_t, 4096> length{};
    for (int c = 0; c < clear; ++c) {
        suffix[static_cast<std::size_t>(c)] = static_cast<std::uint8_t>(c);
        first[static_cast<std::size_t>(c)] = static_cast<std::uint8_t>(c);
        length[static_cast<std::size_t>(c)] = 1;
    }
    std::vector<std::uint8_t> indexes;
    const std::size_t total = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
    indexes.reserve(total);
    int codeSize = minCodeSize + 1;
    int next = clear + 2;
    int previous = -1;
    std::size_t bit = 0;
    std::vector<std::uint8_t> string;
    while (indexes.size() < total && bit + static_cast<std::size_t>(codeSize) <= data.size() * 8) {
        int code = 0;
        for (int b = 0; b < codeSize; ++b, ++bit) {
            code |= ((data[bit / 8] >> (bit % 8)) & 1) << b;
        }
        if (code == clear) {
            codeSize = minCodeSize + 1;
            next = clear + 2;
            previous = -1;
            continue;
        }
        if (code == end) {
            break;
        }
        int entry = code;
        std::uint8_t head = 0;
        if (code < next && (code < clear || code > end)) {
            head = first[static_cast<std::size_t>(code)];
        } else if (code == next && previous >= 0) {
            head = first[static_cast<std::size_t>(previous)];
        } else {
            break;  // a code that is not in the table yet
        }
        if (previous >= 0 && next < 4096) {
            prefix[static_cast<std::size_t>(next)] = static_cast<std::uint16_t>(previous);
            suffix[static_cast<std::size_t>(next)] = head;
            first[static_cast<std::size_t>(next)] = first[static_cast<std::size_t>(previous)];
            length[static_cast<std::size_t>(next)] =
                static_cast<std::uint16_t>(length[static_cast<std::size_t>(previous)] + 1);
            ++next;
            if (next == (1 << codeSize) && codeSize < 12) {
                ++codeSize;
            }
        }
        string.resize(length[static_cast<std::size_t>(entry)]);
        for (std::size_t i = string.size(); i-- > 0;) {
            string[i] = suffix[static_cast<std::size_t>(entry)];
            entry = prefix[static_cast<std::size_t>(entry)];
        }
        for (std::uint8_t index : string) {
            if (indexes.size() < total) {
                indexes.push_back(index);
            }
        }
        previous = code;
    }

    // Rows in file order; interlaced images send every 8th row first, and so on.
    std::vector<int> rows;
    rows.reserve(static_cast<std::size_t>(h));
    if (packed & 0x40) {
        for (const auto& [start, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}}) {
            for (int y = start; y < h; y += step) {
                rows.push_back(y);
            }
        }
    } else {
        for (int y = 0; y < h; ++y) {
            rows.push_back(y);
        }
    }
    Bitmap out(w, h, 32);
    for (std::size_t i = 0; i < indexes.size(); ++i) {
        const int x = static_cast<int>(i % static_cast<std::size_t>(w));
        const int y = rows[i / static_cast<std::size_t>(w)];
        const std::size_t at = static_cast<std::size_t>(indexes[i]) * 3;
        Pixel px = platform::gdi::kOpaque;
        if (at + 2 < table.size()) {
            px |= (static_cast<Pixel>(table[at]) << 16) | (static_cast<Pixel>(table[at + 1]) << 8) |
                  table[at + 2];
        }
        out.Set(x, y, px);
    }
    return out;
}

// The stand-in decoder service: GIF files only, decoded as above. It also notes every file it
// was given, as the file was on disk at that moment.
class GifTestDecoder final : public platform::IPictureDecoder {
  public:
    struct Seen {
        std::string path;
        unsigned mode = 0;  // permission bits
        bool regularFile = false;
        std::vector<std::uint8_t> bytes;
    };

    std::optional<platform::gdi::Bitmap> Decode(const std::filesystem::path& path) override {
        Seen seen;
        seen.path = path.string();
        struct stat st {};
        if (::lstat(seen.path.c_str(), &st) == 0) {
            seen.mode = st.st_mode & 07777;
            seen.regularFile = S_ISREG(st.st_mode);
        }
        std::ifstream in(path, std::ios::binary);
        if (in) {
            seen.bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
        const bool opened = static_cast<bool>(in);
        m_seen.push_back(std::move(seen));
        if (!opened || !m_decodes) {
            return std::nullopt;
        }
        return DecodeFirstGifImage(m_seen.back().bytes);
    }

    const std::vector<Seen>& SeenFiles() const { return m_seen; }
    void Forget() { m_seen.clear(); }
    // A decoder that is given the files but decodes none of them.
    void SetDecodes(bool decodes) { m_decodes = decodes; }

  private:
    std::vector<Seen> m_seen;
    bool m_decodes = true;
};

}  // namespace testing_support
