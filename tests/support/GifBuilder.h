// SPDX-License-Identifier: MIT
// Builds small GIF files byte by byte for tests. Every block is appended exactly as asked, so a
// test can also build broken files (a missing trailer, a chain cut short, odd labels). Pos()
// gives the 1-based position the next byte will have, which is how the walk counts.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace testing_support {

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
};

// LZW image data for `indexes`, as sub-blocks after the minimum code size byte and ending with
// the empty sub-block. The encoder sends a clear code before the table would grow, so the code
// size never changes: plain but valid.
inline std::vector<std::uint8_t> LzwImageData(int minCodeSize,
                                              const std::vector<std::uint8_t>& indexes) {
    std::vector<std::uint8_t> packed;
    std::uint32_t acc = 0;
    int bits = 0;
    const int width = minCodeSize + 1;
    auto put = [&](int code) {
        acc |= static_cast<std::uint32_t>(code) << bits;
        bits += width;
        while (bits >= 8) {
            packed.push_back(static_cast<std::uint8_t>(acc & 0xFF));
            acc >>= 8;
            bits -= 8;
        }
    };
    const int clear = 1 << minCodeSize;
    int run = 0;
    put(clear);
    for (std::uint8_t index : indexes) {
        if (run == clear - 2) {
            put(clear);
            run = 0;
        }
        put(index);
        ++run;
    }
    put(clear + 1);
    if (bits > 0) {
        packed.push_back(static_cast<std::uint8_t>(acc & 0xFF));
    }
    std::vector<std::uint8_t> out{static_cast<std::uint8_t>(minCodeSize)};
    for (size_t i = 0; i < packed.size(); i += 255) {
        const size_t size = std::min<size_t>(255, packed.size() - i);
        out.push_back(static_cast<std::uint8_t>(size));
        out.insert(out.end(), packed.begin() + static_cast<std::ptrdiff_t>(i),
                   packed.begin() + static_cast<std::ptrdiff_t>(i + size));
    }
    out.push_back(0);
    return out;
}

// The table bits (0..7) for a table of `entries` colours, rounded up to a power of two.
inline int TableBits(size_t entries) {
    int bits = 0;
    while ((2u << bits) < entries && bits < 7) {
        ++bits;
    }
    return bits;
}

class GifBuilder {
  public:
    std::vector<std::uint8_t>& Bytes() { return m_bytes; }
    const std::vector<std::uint8_t>& Bytes() const { return m_bytes; }
    std::string String() const { return std::string(m_bytes.begin(), m_bytes.end()); }
    // The 1-based position of the next byte.
    int Pos() const { return static_cast<int>(m_bytes.size()) + 1; }

    GifBuilder& Raw(std::initializer_list<int> bytes) {
        for (int b : bytes) {
            m_bytes.push_back(static_cast<std::uint8_t>(b));
        }
        return *this;
    }
    GifBuilder& Raw(const std::vector<std::uint8_t>& bytes) {
        m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
        return *this;
    }
    GifBuilder& Word(int value) { return Raw({value & 0xFF, (value >> 8) & 0xFF}); }

    // Signature, logical screen descriptor and, when `table` is not empty, the global table
    // (padded with black to its power of two).
    GifBuilder& Header(int width, int height, const std::vector<Rgb>& table = {},
                       const std::string& signature = "GIF89a", int background = 0) {
        m_bytes.insert(m_bytes.end(), signature.begin(), signature.end());
        Word(width).Word(height);
        const int bits = TableBits(table.size());
        Raw({table.empty() ? 0x70 : 0xF0 | bits, background, 0});
        Table(table, bits);
        return *this;
    }

    // Graphic control extension.
    GifBuilder& Control(int disposal, int transparentIndex = -1, int delay = 0) {
        const int packed = ((disposal & 7) << 2) | (transparentIndex >= 0 ? 1 : 0);
        Raw({0x21, 0xF9, 0x04, packed});
        Word(delay);
        return Raw({transparentIndex >= 0 ? transparentIndex : 0, 0x00});
    }

    // The looping application extension.
    GifBuilder& Loop(int count = 0) {
        Raw({0x21, 0xFF, 0x0B});
        const std::string id = "NETSCAPE2.0";
        m_bytes.insert(m_bytes.end(), id.begin(), id.end());
        Raw({0x03, 0x01});
        Word(count);
        return Raw({0x00});
    }

    GifBuilder& Comment(std::initializer_list<std::string> blocks) {
        Raw({0x21, 0xFE});
        for (const std::string& b : blocks) {
            m_bytes.push_back(static_cast<std::uint8_t>(b.size()));
            m_bytes.insert(m_bytes.end(), b.begin(), b.end());
        }
        return Raw({0x00});
    }

    GifBuilder& PlainText(const std::string& text) {
        Raw({0x21, 0x01, 0x0C});
        Word(0).Word(0).Word(8).Word(8);
        Raw({8, 8, 1, 0});
        m_bytes.push_back(static_cast<std::uint8_t>(text.size()));
        m_bytes.insert(m_bytes.end(), text.begin(), text.end());
        return Raw({0x00});
    }

    // Image descriptor, optional local table, then the image data of `indexes` (row by row).
    GifBuilder& Image(int left, int top, int width, int height,
                      const std::vector<std::uint8_t>& indexes,
                      const std::vector<Rgb>& localTable = {}, int minCodeSize = 2,
                      bool interlaced = false) {
        Raw({0x2C});
        Word(left).Word(top).Word(width).Word(height);
        const int bits = TableBits(localTable.size());
        Raw({(localTable.empty() ? 0 : 0x80 | bits) | (interlaced ? 0x40 : 0)});
        Table(localTable, bits);
        m_lastTerminator = 0;
        Raw(LzwImageData(minCodeSize, indexes));
        m_lastTerminator = static_cast<int>(m_bytes.size());
        return *this;
    }
    // The position of the last image's data terminator.
    int LastTerminator() const { return m_lastTerminator; }

    GifBuilder& Trailer() { return Raw({0x3B}); }

  private:
    void Table(const std::vector<Rgb>& table, int bits) {
        if (table.empty()) {
            return;
        }
        for (size_t i = 0; i < (2u << bits); ++i) {
            const Rgb c = i < table.size() ? table[i] : Rgb{};
            Raw({c.r, c.g, c.b});
        }
    }

    std::vector<std::uint8_t> m_bytes;
    int m_lastTerminator = 0;
};

}  // namespace testing_support
