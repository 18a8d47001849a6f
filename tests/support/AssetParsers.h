// SPDX-License-Identifier: MIT
// Small, strict readers for the picture files the program carries: Windows bitmaps, icon
// files, PNG and GIF. They exist to check the committed files field by field, independently
// of the code that wrote them; every malformation throws ParseError with what was wrong.
#pragma once

#include <zlib.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace asset_parsers {

using Bytes = std::vector<std::uint8_t>;

struct ParseError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

inline Bytes ReadBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        throw ParseError("cannot open " + file.string());
    }
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Bounds-checked little- and big-endian reads.
class Reader {
  public:
    explicit Reader(const Bytes& bytes, std::size_t pos = 0) : m_bytes(bytes), m_pos(pos) {}
    std::size_t Pos() const { return m_pos; }
    std::size_t Left() const { return m_bytes.size() - m_pos; }
    void Need(std::size_t n) const {
        if (n > Left()) {
            throw ParseError("truncated at byte " + std::to_string(m_pos));
        }
    }
    std::uint8_t U8() {
        Need(1);
        return m_bytes[m_pos++];
    }
    std::uint16_t U16() {
        const std::uint16_t lo = U8();
        return static_cast<std::uint16_t>(lo | (U8() << 8));
    }
    std::uint32_t U32() {
        const std::uint32_t lo = U16();
        return lo | (static_cast<std::uint32_t>(U16()) << 16);
    }
    std::int32_t S32() { return static_cast<std::int32_t>(U32()); }
    std::uint32_t U32Be() {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) {
            v = (v << 8) | U8();
        }
        return v;
    }
    Bytes Take(std::size_t n) {
        Need(n);
        Bytes out(m_bytes.begin() + static_cast<std::ptrdiff_t>(m_pos),
                  m_bytes.begin() + static_cast<std::ptrdiff_t>(m_pos + n));
        m_pos += n;
        return out;
    }
    std::string Text(std::size_t n) {
        const Bytes b = Take(n);
        return std::string(b.begin(), b.end());
    }

  private:
    const Bytes& m_bytes;
    std::size_t m_pos;
};

struct Rgba {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    std::uint8_t a = 255;
    bool operator==(const Rgba&) const = default;
};

// Pixels top-down, row after row.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<Rgba> data;
    const Rgba& At(int x, int y) const {
        return data.at(static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                       static_cast<std::size_t>(x));
    }
};

// ---------------------------------------------------------------------------------------------
// Windows bitmaps (BITMAPINFOHEADER) as in .bmp files and inside .ico files

struct DibHeader {
    std::uint32_t headerSize = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t planes = 0;
    std::uint16_t bitsPerPixel = 0;
    std::uint32_t compression = 0;
    std::uint32_t imageSize = 0;
    std::uint32_t coloursUsed = 0;
};

inline DibHeader ReadDibHeader(Reader& r) {
    DibHeader h;
    h.headerSize = r.U32();
    if (h.headerSize != 40) {
        throw ParseError("information header of " + std::to_string(h.headerSize) + " bytes");
    }
    h.width = r.S32();
    h.height = r.S32();
    h.planes = r.U16();
    h.bitsPerPixel = r.U16();
    h.compression = r.U32();
    h.imageSize = r.U32();
    r.U32();
    r.U32();
    h.coloursUsed = r.U32();
    r.U32();
    return h;
}

struct Bmp {
    std::uint32_t declaredFileSize = 0;
    std::uint32_t pixelOffset = 0;
    DibHeader header;
    Pixels pixels;
};

inline Bmp ParseBmp(const Bytes& bytes) {
    Reader r(bytes);
    if (r.Text(2) != "BM") {
        throw ParseError("no BM signature");
    }
    Bmp bmp;
    bmp.declaredFileSize = r.U32();
    r.U32();
    bmp.pixelOffset = r.U32();
    bmp.header = ReadDibHeader(r);
    const DibHeader& h = bmp.header;
    if (h.bitsPerPixel != 24 || h.compression != 0 || h.width <= 0 || h.height == 0) {
        throw ParseError("only uncompressed 24-bit bitmaps are read here");
    }
    const int w = h.width;
    const int ht = std::abs(h.height);
    const std::size_t stride = (static_cast<std::size_t>(w) * 3 + 3) & ~std::size_t{3};
    Reader px(bytes, bmp.pixelOffset);
    px.Need(stride * static_cast<std::size_t>(ht));
    bmp.pixels = {w, ht, std::vector<Rgba>(static_cast<std::size_t>(w) * ht)};
    for (int row = 0; row < ht; ++row) {
        const int y = h.height > 0 ? ht - 1 - row : row;  // positive height: bottom-up
        const Bytes line = px.Take(stride);
        for (int x = 0; x < w; ++x) {
            const std::size_t i = static_cast<std::size_t>(x) * 3;
            bmp.pixels.data[static_cast<std::size_t>(y) * w + x] = {line[i + 2], line[i + 1],
                                                                    line[i], 255};
        }
    }
    return bmp;
}

// ---------------------------------------------------------------------------------------------
// Icon files

struct IconEntry {
    int width = 0;  // 256 when the directory says 0
    int height = 0;
    int colourCount = 0;
    int planes = 0;
    int bitCount = 0;
    std::uint32_t bytes = 0;
    std::uint32_t offset = 0;
};

struct IconImage {
    IconEntry entry;
    bool isPng = false;
    DibHeader header;
    Pixels pixels;             // alpha from the 32-bit data, 255 for palette images
    std::vector<bool> masked;  // AND mask: true where the screen shows through
};

struct Icon {
    int type = 0;
    std::vector<IconImage> images;
};

inline Icon ParseIco(const Bytes& bytes) {
    Reader r(bytes);
    if (r.U16() != 0) {
        throw ParseError("icon directory: reserved field not 0");
    }
    Icon icon;
    icon.type = r.U16();
    const int count = r.U16();
    for (int i = 0; i < count; ++i) {
        IconImage image;
        IconEntry& e = image.entry;
        e.width = r.U8();
        e.height = r.U8();
        e.width = e.width == 0 ? 256 : e.width;
        e.height = e.height == 0 ? 256 : e.height;
        e.colourCount = r.U8();
        r.U8();
        e.planes = r.U16();
        e.bitCount = r.U16();
        e.bytes = r.U32();
        e.offset = r.U32();
        icon.images.push_back(image);
    }
    for (IconImage& image : icon.images) {
        const IconEntry& e = image.entry;
        if (e.offset > bytes.size() || e.bytes > bytes.size() - e.offset) {
            throw ParseError("icon image beyond the end of the file");
        }
        Reader d(bytes, e.offset);
        if (e.bytes >= 8 && bytes[e.offset] == 0x89 && bytes[e.offset + 1] == 'P') {
            image.isPng = true;
            continue;
        }
        image.header = ReadDibHeader(d);
        const DibHeader& h = image.header;
        const int w = h.width;
        const int ht = h.height / 2;
        if (w != e.width || ht != e.height || h.height != 2 * e.height) {
            throw ParseError("icon bitmap size differs from its directory entry");
        }
        std::vector<Rgba> palette;
        if (h.bitsPerPixel <= 8) {
            const std::uint32_t n = h.coloursUsed != 0 ? h.coloursUsed : (1u << h.bitsPerPixel);
            for (std::uint32_t c = 0; c < n; ++c) {
                const std::uint8_t b = d.U8();
                const std::uint8_t g = d.U8();
                const std::uint8_t rr = d.U8();
                d.U8();
                palette.push_back({rr, g, b, 255});
            }
        } else if (h.bitsPerPixel != 32) {
            throw ParseError("icon bitmap of " + std::to_string(h.bitsPerPixel) + " bits");
        }
        const std::size_t xorStride =
            ((static_cast<std::size_t>(w) * h.bitsPerPixel + 31) / 32) * 4;
        const std::size_t andStride = ((static_cast<std::size_t>(w) + 31) / 32) * 4;
        image.pixels = {w, ht, std::vector<Rgba>(static_cast<std::size_t>(w) * ht)};
        image.masked.assign(static_cast<std::size_t>(w) * ht, false);
        for (int row = 0; row < ht; ++row) {
            const int y = ht - 1 - row;
            const Bytes line = d.Take(xorStride);
            for (int x = 0; x < w; ++x) {
                Rgba& p = image.pixels.data[static_cast<std::size_t>(y) * w + x];
                if (h.bitsPerPixel == 32) {
                    const std::size_t i = static_cast<std::size_t>(x) * 4;
                    p = {line[i + 2], line[i + 1], line[i], line[i + 3]};
                } else if (h.bitsPerPixel == 8) {
                    p = palette.at(line[static_cast<std::size_t>(x)]);
                } else {
                    throw ParseError("only 8- and 32-bit icon bitmaps are read here");
                }
            }
        }
        for (int row = 0; row < ht; ++row) {
            const int y = ht - 1 - row;
            const Bytes line = d.Take(andStride);
            for (int x = 0; x < w; ++x) {
                image.masked[static_cast<std::size_t>(y) * w + x] =
                    ((line[static_cast<std::size_t>(x) / 8] >> (7 - x % 8)) & 1) != 0;
            }
        }
        if (d.Pos() != e.offset + e.bytes) {
            throw ParseError("icon bitmap does not fill its directory entry exactly");
        }
    }
    return icon;
}

// ---------------------------------------------------------------------------------------------
// PNG

struct Png {
    int width = 0;
    int height = 0;
    int bitDepth = 0;
    int colourType = 0;
    int interlace = 0;
    std::vector<std::string> chunks;  // chunk types in file order
    Pixels pixels;                    // grey is spread to r, g and b
};

inline int PaethPredictor(int a, int b, int c) {
    const int p = a + b - c;
    const int pa = std::abs(p - a);
    const int pb = std::abs(p - b);
    const int pc = std::abs(p - c);
    if (pa <= pb && pa <= pc) {
        return a;
    }
    return pb <= pc ? b : c;
}

inline Png ParsePng(const Bytes& bytes) {
    Reader r(bytes);
    const Bytes signature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (r.Take(8) != signature) {
        throw ParseError("no PNG signature");
    }
    Png png;
    Bytes idat;
    while (true) {
        const std::uint32_t length = r.U32Be();
        const std::size_t typeAt = r.Pos();
        const std::string type = r.Text(4);
        const Bytes data = r.Take(length);
        const std::uint32_t crc = r.U32Be();
        if (crc32(0L, bytes.data() + typeAt, length + 4) != crc) {
            throw ParseError("CRC mismatch in chunk " + type);
        }
        png.chunks.push_back(type);
        if (type == "IHDR") {
            Reader h(data);
            png.width = static_cast<int>(h.U32Be());
            png.height = static_cast<int>(h.U32Be());
            png.bitDepth = h.U8();
            png.colourType = h.U8();
            if (h.U8() != 0 || h.U8() != 0) {
                throw ParseError("unknown compression or filter method");
            }
            png.interlace = h.U8();
        } else if (type == "IDAT") {
            idat.insert(idat.end(), data.begin(), data.end());
        } else if (type == "IEND") {
            break;
        }
    }
    if (png.chunks.front() != "IHDR") {
        throw ParseError("IHDR is not the first chunk");
    }
    if (r.Left() != 0) {
        throw ParseError("bytes after IEND");
    }
    int channels = 0;
    switch (png.colourType) {
        case 0:
            channels = 1;
            break;
        case 2:
            channels = 3;
            break;
        case 4:
            channels = 2;
            break;
        case 6:
            channels = 4;
            break;
        default:
            throw ParseError("colour type " + std::to_string(png.colourType) + " not read here");
    }
    if (png.bitDepth != 8 || png.interlace != 0) {
        throw ParseError("only 8-bit, non-interlaced PNG is read here");
    }
    const std::size_t rowBytes = static_cast<std::size_t>(png.width) * channels;
    const std::size_t rawSize = (rowBytes + 1) * static_cast<std::size_t>(png.height);
    Bytes raw(rawSize + 1);
    uLongf rawLength = static_cast<uLongf>(raw.size());
    if (uncompress(raw.data(), &rawLength, idat.data(), static_cast<uLong>(idat.size())) != Z_OK ||
        rawLength != rawSize) {
        throw ParseError("image data does not inflate to the picture's size");
    }
    png.pixels = {png.width, png.height,
                  std::vector<Rgba>(static_cast<std::size_t>(png.width) * png.height)};
    Bytes prev(rowBytes, 0);
    for (int y = 0; y < png.height; ++y) {
        const std::uint8_t* in = raw.data() + static_cast<std::size_t>(y) * (rowBytes + 1);
        const int filter = in[0];
        Bytes cur(in + 1, in + 1 + rowBytes);
        for (std::size_t i = 0; i < rowBytes; ++i) {
            const int a = i >= static_cast<std::size_t>(channels) ? cur[i - channels] : 0;
            const int b = prev[i];
            const int c = i >= static_cast<std::size_t>(channels) ? prev[i - channels] : 0;
            int add = 0;
            switch (filter) {
                case 0:
                    break;
                case 1:
                    add = a;
                    break;
                case 2:
                    add = b;
                    break;
                case 3:
                    add = (a + b) / 2;
                    break;
                case 4:
                    add = PaethPredictor(a, b, c);
                    break;
                default:
                    throw ParseError("unknown row filter " + std::to_string(filter));
            }
            cur[i] = static_cast<std::uint8_t>(cur[i] + add);
        }
        for (int x = 0; x < png.width; ++x) {
            const std::uint8_t* p = cur.data() + static_cast<std::size_t>(x) * channels;
            Rgba& out = png.pixels.data[static_cast<std::size_t>(y) * png.width + x];
            switch (channels) {
                case 1:
                    out = {p[0], p[0], p[0], 255};
                    break;
                case 2:
                    out = {p[0], p[0], p[0], p[1]};
                    break;
                case 3:
                    out = {p[0], p[1], p[2], 255};
                    break;
                default:
                    out = {p[0], p[1], p[2], p[3]};
                    break;
            }
        }
        prev = cur;
    }
    return png;
}

// ---------------------------------------------------------------------------------------------
// GIF

// Decodes one LZW code stream; throws on a code that cannot occur or a missing end code.
inline std::vector<std::uint8_t> LzwDecode(const Bytes& data, int minCodeSize) {
    if (minCodeSize < 2 || minCodeSize > 8) {
        throw ParseError("LZW minimum code size " + std::to_string(minCodeSize));
    }
    const int clear = 1 << minCodeSize;
    const int end = clear + 1;
    std::vector<int> prefix(4096, -1);
    std::vector<std::uint8_t> suffix(4096, 0);
    std::vector<std::uint8_t> first(4096, 0);
    for (int i = 0; i < clear; ++i) {
        suffix[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
        first[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    }
    int width = minCodeSize + 1;
    int next = clear + 2;
    int old = -1;
    std::size_t bitPos = 0;
    std::vector<std::uint8_t> out;
    std::vector<std::uint8_t> stack;
    auto put = [&](int code) {
        stack.clear();
        for (int c = code; c >= 0; c = prefix[static_cast<std::size_t>(c)]) {
            stack.push_back(suffix[static_cast<std::size_t>(c)]);
        }
        out.insert(out.end(), stack.rbegin(), stack.rend());
    };
    bool sawClear = false;
    while (true) {
        if (bitPos + static_cast<std::size_t>(width) > data.size() * 8) {
            throw ParseError("LZW data ends without an end code");
        }
        int code = 0;
        for (int b = 0; b < width; ++b, ++bitPos) {
            code |= ((data[bitPos / 8] >> (bitPos % 8)) & 1) << b;
        }
        if (code == clear) {
            sawClear = true;
            width = minCodeSize + 1;
            next = clear + 2;
            old = -1;
            continue;
        }
        if (!sawClear) {
            throw ParseError("LZW data does not begin with a clear code");
        }
        if (code == end) {
            break;
        }
        if (old < 0) {
            if (code >= clear) {
                throw ParseError("LZW: first code after a clear is not a pixel");
            }
            put(code);
            old = code;
            continue;
        }
        if (code > next || (code == next && next >= 4096)) {
            throw ParseError("LZW: code " + std::to_string(code) + " before its entry");
        }
        if (next < 4096) {
            const std::uint8_t k = code < next ? first[static_cast<std::size_t>(code)]
                                               : first[static_cast<std::size_t>(old)];
            prefix[static_cast<std::size_t>(next)] = old;
            suffix[static_cast<std::size_t>(next)] = k;
            first[static_cast<std::size_t>(next)] = first[static_cast<std::size_t>(old)];
            ++next;
            if (next == (1 << width) && width < 12) {
                ++width;
            }
        }
        put(code);
        old = code;
    }
    // Only the padding of the last byte may follow the end code.
    if ((bitPos + 7) / 8 != data.size()) {
        throw ParseError("LZW: data after the end code");
    }
    return out;
}

struct GifFrame {
    bool hasControl = false;
    int disposal = -1;
    bool userInput = false;
    bool transparent = false;
    int delay = -1;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool interlaced = false;
    bool hasLocalTable = false;
    int localTableSize = 0;
    int minCodeSize = 0;
    std::vector<Rgba> palette;  // the table this frame uses
    std::vector<std::uint8_t> indices;
};

struct Gif {
    std::string version;
    int width = 0;
    int height = 0;
    bool hasGlobalTable = false;
    int colourResolution = 0;  // bits per primary colour
    bool sorted = false;
    int globalTableSize = 0;
    int background = 0;
    int aspect = 0;
    std::vector<std::string> applications;  // identifiers of application extensions
    int netscapeLoop = -1;                  // loop count of NETSCAPE2.0, -1 when missing
    std::vector<GifFrame> frames;
    std::size_t bytesAfterTrailer = 0;
    bool trailingZerosOnly = true;
};

inline std::vector<Rgba> ReadColourTable(Reader& r, int entries) {
    std::vector<Rgba> table;
    for (int i = 0; i < entries; ++i) {
        const std::uint8_t red = r.U8();
        const std::uint8_t green = r.U8();
        const std::uint8_t blue = r.U8();
        table.push_back({red, green, blue, 255});
    }
    return table;
}

inline Bytes ReadSubBlocks(Reader& r) {
    Bytes data;
    while (true) {
        const std::uint8_t n = r.U8();
        if (n == 0) {
            return data;
        }
        const Bytes block = r.Take(n);
        data.insert(data.end(), block.begin(), block.end());
    }
}

inline Gif ParseGif(const Bytes& bytes) {
    Reader r(bytes);
    Gif gif;
    if (r.Text(3) != "GIF") {
        throw ParseError("no GIF signature");
    }
    gif.version = r.Text(3);
    gif.width = r.U16();
    gif.height = r.U16();
    const std::uint8_t packed = r.U8();
    gif.hasGlobalTable = (packed & 0x80) != 0;
    gif.colourResolution = ((packed >> 4) & 7) + 1;
    gif.sorted = (packed & 0x08) != 0;
    gif.globalTableSize = gif.hasGlobalTable ? 2 << (packed & 7) : 0;
    gif.background = r.U8();
    gif.aspect = r.U8();
    const std::vector<Rgba> global = ReadColourTable(r, gif.globalTableSize);
    GifFrame pending;
    while (true) {
        const std::uint8_t introducer = r.U8();
        if (introducer == 0x3B) {
            break;
        }
        if (introducer == 0x21) {
            const std::uint8_t label = r.U8();
            if (label == 0xF9) {
                if (r.U8() != 4) {
                    throw ParseError("graphic control extension of the wrong size");
                }
                const std::uint8_t flags = r.U8();
                pending.hasControl = true;
                pending.disposal = (flags >> 2) & 7;
                pending.userInput = (flags & 2) != 0;
                pending.transparent = (flags & 1) != 0;
                pending.delay = r.U16();
                r.U8();
                if (r.U8() != 0) {
                    throw ParseError("graphic control extension not terminated");
                }
            } else if (label == 0xFF) {
                const std::uint8_t n = r.U8();
                const std::string id = r.Text(n);
                const Bytes data = ReadSubBlocks(r);
                gif.applications.push_back(id);
                if (id == "NETSCAPE2.0") {
                    if (data.size() != 3 || data[0] != 1) {
                        throw ParseError("malformed NETSCAPE2.0 extension");
                    }
                    gif.netscapeLoop = data[1] | (data[2] << 8);
                }
            } else {
                ReadSubBlocks(r);
            }
            continue;
        }
        if (introducer != 0x2C) {
            throw ParseError("unknown block " + std::to_string(introducer) + " at byte " +
                             std::to_string(r.Pos() - 1));
        }
        GifFrame frame = pending;
        pending = GifFrame{};
        frame.left = r.U16();
        frame.top = r.U16();
        frame.width = r.U16();
        frame.height = r.U16();
        const std::uint8_t flags = r.U8();
        frame.hasLocalTable = (flags & 0x80) != 0;
        frame.interlaced = (flags & 0x40) != 0;
        frame.localTableSize = frame.hasLocalTable ? 2 << (flags & 7) : 0;
        frame.palette = frame.hasLocalTable ? ReadColourTable(r, frame.localTableSize) : global;
        frame.minCodeSize = r.U8();
        frame.indices = LzwDecode(ReadSubBlocks(r), frame.minCodeSize);
        for (std::uint8_t i : frame.indices) {
            if (i >= frame.palette.size()) {
                throw ParseError("pixel index beyond the colour table");
            }
        }
        gif.frames.push_back(std::move(frame));
    }
    gif.bytesAfterTrailer = r.Left();
    while (r.Left() > 0) {
        gif.trailingZerosOnly = gif.trailingZerosOnly && r.U8() == 0;
    }
    return gif;
}

// The colours of one frame as drawn on its own (the frames here cover the whole screen).
inline Pixels FramePixels(const GifFrame& frame) {
    Pixels p{frame.width, frame.height, {}};
    p.data.reserve(frame.indices.size());
    for (std::uint8_t i : frame.indices) {
        p.data.push_back(frame.palette[i]);
    }
    return p;
}

}  // namespace asset_parsers
