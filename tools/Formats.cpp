// SPDX-License-Identifier: MIT
#include "Formats.h"

#include <zlib.h>

#include <algorithm>
#include <numeric>
#include <stdexcept>
#include <string_view>
#include <unordered_map>

namespace tools {
namespace {

void Put16(Bytes& out, unsigned v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

void Put32(Bytes& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF));
    }
}

void Put32Be(Bytes& out, std::uint32_t v) {
    for (int i = 3; i >= 0; --i) {
        out.push_back(static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF));
    }
}

void PutText(Bytes& out, std::string_view text) {
    out.insert(out.end(), text.begin(), text.end());
}

std::uint32_t Pack(const Rgba& p) {
    return (std::uint32_t{p.r} << 16) | (std::uint32_t{p.g} << 8) | p.b;
}

// ---------------------------------------------------------------------------------------------
// Median cut

struct ColourCount {
    std::uint32_t colour;
    std::uint32_t count;
};

int Channel(std::uint32_t colour, int c) {
    return static_cast<int>((colour >> (16 - 8 * c)) & 0xFF);
}

struct Box {
    std::size_t begin;
    std::size_t end;
    std::uint64_t count = 0;
    int widest = 0;  // channel with the largest range
    int range = 0;
};

void Measure(const std::vector<ColourCount>& colours, Box& box) {
    std::array<int, 3> lo{255, 255, 255};
    std::array<int, 3> hi{0, 0, 0};
    box.count = 0;
    for (std::size_t i = box.begin; i < box.end; ++i) {
        box.count += colours[i].count;
        for (int c = 0; c < 3; ++c) {
            lo[c] = std::min(lo[c], Channel(colours[i].colour, c));
            hi[c] = std::max(hi[c], Channel(colours[i].colour, c));
        }
    }
    box.widest = 0;
    box.range = -1;
    for (int c = 0; c < 3; ++c) {
        if (hi[c] - lo[c] > box.range) {
            box.range = hi[c] - lo[c];
            box.widest = c;
        }
    }
}

int Distance(const Rgb& a, std::uint32_t colour) {
    // Green weighs most, blue least, roughly as the eye does.
    const int dr = a[0] - Channel(colour, 0);
    const int dg = a[1] - Channel(colour, 1);
    const int db = a[2] - Channel(colour, 2);
    return 3 * dr * dr + 4 * dg * dg + 2 * db * db;
}

}  // namespace

Indexed Quantize(const Picture& picture, int maxColours, const std::vector<bool>* use) {
    if (maxColours < 1 || maxColours > 256) {
        throw std::invalid_argument("Quantize: 1 to 256 colours");
    }
    std::vector<std::uint32_t> all;
    all.reserve(picture.pixels.size());
    for (std::size_t i = 0; i < picture.pixels.size(); ++i) {
        if (use == nullptr || (*use)[i]) {
            all.push_back(Pack(picture.pixels[i]));
        }
    }
    std::sort(all.begin(), all.end());
    std::vector<ColourCount> colours;
    for (std::uint32_t c : all) {
        if (colours.empty() || colours.back().colour != c) {
            colours.push_back({c, 0});
        }
        ++colours.back().count;
    }

    std::vector<Box> boxes;
    if (!colours.empty()) {
        Box first{0, colours.size()};
        Measure(colours, first);
        boxes.push_back(first);
    }
    while (static_cast<int>(boxes.size()) < maxColours) {
        // Split the box where the most pixels meet the widest spread of colour.
        std::size_t best = boxes.size();
        std::uint64_t bestScore = 0;
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            if (boxes[i].end - boxes[i].begin < 2) {
                continue;
            }
            const std::uint64_t score =
                static_cast<std::uint64_t>(boxes[i].range) * boxes[i].range * boxes[i].count;
            if (best == boxes.size() || score > bestScore) {
                best = i;
                bestScore = score;
            }
        }
        if (best == boxes.size()) {
            break;
        }
        Box box = boxes[best];
        const int c = box.widest;
        std::sort(colours.begin() + static_cast<std::ptrdiff_t>(box.begin),
                  colours.begin() + static_cast<std::ptrdiff_t>(box.end),
                  [c](const ColourCount& a, const ColourCount& b) {
                      const int ca = Channel(a.colour, c);
                      const int cb = Channel(b.colour, c);
                      return ca != cb ? ca < cb : a.colour < b.colour;
                  });
        std::uint64_t seen = 0;
        std::size_t split = box.begin + 1;
        for (std::size_t i = box.begin; i < box.end - 1; ++i) {
            seen += colours[i].count;
            split = i + 1;
            if (seen * 2 >= box.count) {
                break;
            }
        }
        Box lower{box.begin, split};
        Box upper{split, box.end};
        Measure(colours, lower);
        Measure(colours, upper);
        boxes[best] = lower;
        boxes.push_back(upper);
    }

    Indexed result;
    for (const Box& box : boxes) {
        std::array<std::uint64_t, 3> sum{};
        for (std::size_t i = box.begin; i < box.end; ++i) {
            for (int c = 0; c < 3; ++c) {
                sum[c] +=
                    static_cast<std::uint64_t>(Channel(colours[i].colour, c)) * colours[i].count;
            }
        }
        Rgb mean{};
        for (int c = 0; c < 3; ++c) {
            mean[c] = static_cast<std::uint8_t>((sum[c] + box.count / 2) / box.count);
        }
        result.palette.push_back(mean);
    }
    if (result.palette.empty()) {
        result.palette.push_back({0, 0, 0});
    }

    std::unordered_map<std::uint32_t, std::uint8_t> nearest;
    result.indices.resize(picture.pixels.size());
    for (std::size_t i = 0; i < picture.pixels.size(); ++i) {
        if (use != nullptr && !(*use)[i]) {
            result.indices[i] = 0;
            continue;
        }
        const std::uint32_t colour = Pack(picture.pixels[i]);
        auto it = nearest.find(colour);
        if (it == nearest.end()) {
            int bestIndex = 0;
            int bestDistance = Distance(result.palette[0], colour);
            for (std::size_t p = 1; p < result.palette.size(); ++p) {
                const int d = Distance(result.palette[p], colour);
                if (d < bestDistance) {
                    bestDistance = d;
                    bestIndex = static_cast<int>(p);
                }
            }
            it = nearest.emplace(colour, static_cast<std::uint8_t>(bestIndex)).first;
        }
        result.indices[i] = it->second;
    }
    return result;
}

// ---------------------------------------------------------------------------------------------
// Windows bitmaps and icons

Bytes EncodeBmp24(const Picture& picture) {
    const std::uint32_t stride = (static_cast<std::uint32_t>(picture.width) * 3 + 3) & ~3u;
    const std::uint32_t imageSize = stride * static_cast<std::uint32_t>(picture.height);
    Bytes out;
    out.reserve(54 + imageSize);
    PutText(out, "BM");
    Put32(out, 54 + imageSize);
    Put32(out, 0);   // reserved
    Put32(out, 54);  // offset of the pixels
    Put32(out, 40);
    Put32(out, static_cast<std::uint32_t>(picture.width));
    Put32(out, static_cast<std::uint32_t>(picture.height));  // positive: bottom-up
    Put16(out, 1);                                           // planes
    Put16(out, 24);
    Put32(out, 0);  // BI_RGB
    Put32(out, imageSize);
    Put32(out, 3780);  // 96 dots per inch
    Put32(out, 3780);
    Put32(out, 0);
    Put32(out, 0);
    for (int y = picture.height - 1; y >= 0; --y) {
        for (int x = 0; x < picture.width; ++x) {
            const Rgba& p = picture.At(x, y);
            out.push_back(p.b);
            out.push_back(p.g);
            out.push_back(p.r);
        }
        for (std::uint32_t pad = static_cast<std::uint32_t>(picture.width) * 3; pad < stride;
             ++pad) {
            out.push_back(0);
        }
    }
    return out;
}

namespace {

bool Transparent(const Rgba& p) {
    return p.a < 128;
}

Bytes IconDib(const IconImage& image) {
    const Picture& pic = image.picture;
    const int bpp = image.bitsPerPixel;
    if (bpp != 8 && bpp != 32) {
        throw std::invalid_argument("EncodeIco: 8 or 32 bits per pixel");
    }
    const std::uint32_t w = static_cast<std::uint32_t>(pic.width);
    const std::uint32_t h = static_cast<std::uint32_t>(pic.height);
    const std::uint32_t xorStride = ((w * static_cast<std::uint32_t>(bpp) + 31) / 32) * 4;
    const std::uint32_t andStride = ((w + 31) / 32) * 4;
    Bytes out;
    Put32(out, 40);
    Put32(out, w);
    Put32(out, 2 * h);  // colour bitmap and mask, one above the other
    Put16(out, 1);
    Put16(out, static_cast<unsigned>(bpp));
    Put32(out, 0);
    Put32(out, (xorStride + andStride) * h);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, bpp == 8 ? 256 : 0);
    Put32(out, 0);

    if (bpp == 8) {
        // Index 0 is black for the transparent pixels; the others share 255 colours.
        std::vector<bool> opaque(pic.pixels.size());
        for (std::size_t i = 0; i < pic.pixels.size(); ++i) {
            opaque[i] = !Transparent(pic.pixels[i]);
        }
        const Indexed indexed = Quantize(pic, 255, &opaque);
        for (int i = 0; i < 256; ++i) {
            Rgb c{0, 0, 0};
            if (i >= 1 && static_cast<std::size_t>(i - 1) < indexed.palette.size()) {
                c = indexed.palette[static_cast<std::size_t>(i - 1)];
            }
            out.push_back(c[2]);
            out.push_back(c[1]);
            out.push_back(c[0]);
            out.push_back(0);
        }
        for (int y = pic.height - 1; y >= 0; --y) {
            for (int x = 0; x < pic.width; ++x) {
                const std::size_t i = static_cast<std::size_t>(y) * w + static_cast<std::size_t>(x);
                out.push_back(opaque[i] ? static_cast<std::uint8_t>(indexed.indices[i] + 1) : 0);
            }
            for (std::uint32_t pad = w; pad < xorStride; ++pad) {
                out.push_back(0);
            }
        }
    } else {
        for (int y = pic.height - 1; y >= 0; --y) {
            for (int x = 0; x < pic.width; ++x) {
                const Rgba& p = pic.At(x, y);
                out.push_back(p.b);
                out.push_back(p.g);
                out.push_back(p.r);
                out.push_back(p.a);
            }
        }
    }
    for (int y = pic.height - 1; y >= 0; --y) {
        Bytes row(andStride, 0);
        for (int x = 0; x < pic.width; ++x) {
            if (Transparent(pic.At(x, y))) {
                row[static_cast<std::size_t>(x) / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

}  // namespace

Bytes EncodeIco(const std::vector<IconImage>& images) {
    std::vector<Bytes> dibs;
    for (const IconImage& image : images) {
        if (image.picture.width > 256 || image.picture.height > 256) {
            throw std::invalid_argument("EncodeIco: at most 256 pixels a side");
        }
        dibs.push_back(IconDib(image));
    }
    Bytes out;
    Put16(out, 0);
    Put16(out, 1);  // icon
    Put16(out, static_cast<unsigned>(images.size()));
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        const Picture& pic = images[i].picture;
        out.push_back(static_cast<std::uint8_t>(pic.width & 0xFF));  // 0 stands for 256
        out.push_back(static_cast<std::uint8_t>(pic.height & 0xFF));
        out.push_back(0);  // colour count: 0 for 256 colours or more
        out.push_back(0);
        Put16(out, 1);
        Put16(out, static_cast<unsigned>(images[i].bitsPerPixel));
        Put32(out, static_cast<std::uint32_t>(dibs[i].size()));
        Put32(out, offset);
        offset += static_cast<std::uint32_t>(dibs[i].size());
    }
    for (const Bytes& dib : dibs) {
        out.insert(out.end(), dib.begin(), dib.end());
    }
    return out;
}

// ---------------------------------------------------------------------------------------------
// PNG

namespace {

void PutChunk(Bytes& out, std::string_view type, const Bytes& data) {
    Put32Be(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = out.size();
    PutText(out, type);
    out.insert(out.end(), data.begin(), data.end());
    const uLong crc = crc32(0L, out.data() + start, static_cast<uInt>(out.size() - start));
    Put32Be(out, static_cast<std::uint32_t>(crc));
}

int Paeth(int a, int b, int c) {
    const int p = a + b - c;
    const int pa = std::abs(p - a);
    const int pb = std::abs(p - b);
    const int pc = std::abs(p - c);
    if (pa <= pb && pa <= pc) {
        return a;
    }
    return pb <= pc ? b : c;
}

}  // namespace

Bytes EncodePng(const Picture& picture, PngColour colour) {
    const std::size_t channels = colour == PngColour::Rgba ? 4 : 2;
    const std::size_t rowBytes = channels * static_cast<std::size_t>(picture.width);
    std::vector<Bytes> rows;
    for (int y = 0; y < picture.height; ++y) {
        Bytes row;
        row.reserve(rowBytes);
        for (int x = 0; x < picture.width; ++x) {
            const Rgba& p = picture.At(x, y);
            if (colour == PngColour::Rgba) {
                row.insert(row.end(), {p.r, p.g, p.b, p.a});
            } else {
                if (p.r != p.g || p.g != p.b) {
                    throw std::invalid_argument("EncodePng: grey pixels need r == g == b");
                }
                row.insert(row.end(), {p.r, p.a});
            }
        }
        rows.push_back(std::move(row));
    }

    // Each row takes the filter that leaves the smallest sum of magnitudes, the usual choice.
    Bytes filtered;
    const Bytes zero(rowBytes, 0);
    for (std::size_t y = 0; y < rows.size(); ++y) {
        const Bytes& cur = rows[y];
        const Bytes& prev = y == 0 ? zero : rows[y - 1];
        Bytes best;
        long bestSum = -1;
        for (int filter = 0; filter < 5; ++filter) {
            Bytes out(rowBytes + 1);
            out[0] = static_cast<std::uint8_t>(filter);
            long sum = 0;
            for (std::size_t i = 0; i < rowBytes; ++i) {
                const int a = i >= channels ? cur[i - channels] : 0;
                const int b = prev[i];
                const int c = i >= channels ? prev[i - channels] : 0;
                int predicted = 0;
                switch (filter) {
                    case 1:
                        predicted = a;
                        break;
                    case 2:
                        predicted = b;
                        break;
                    case 3:
                        predicted = (a + b) / 2;
                        break;
                    case 4:
                        predicted = Paeth(a, b, c);
                        break;
                    default:
                        break;
                }
                const auto v = static_cast<std::uint8_t>(cur[i] - predicted);
                out[i + 1] = v;
                sum += v < 128 ? v : 256 - v;
            }
            if (bestSum < 0 || sum < bestSum) {
                bestSum = sum;
                best = std::move(out);
            }
        }
        filtered.insert(filtered.end(), best.begin(), best.end());
    }

    uLongf packedSize = compressBound(static_cast<uLong>(filtered.size()));
    Bytes packed(packedSize);
    if (compress2(packed.data(), &packedSize, filtered.data(), static_cast<uLong>(filtered.size()),
                  Z_BEST_COMPRESSION) != Z_OK) {
        throw std::runtime_error("EncodePng: zlib failed");
    }
    packed.resize(packedSize);

    Bytes out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes header;
    Put32Be(header, static_cast<std::uint32_t>(picture.width));
    Put32Be(header, static_cast<std::uint32_t>(picture.height));
    header.insert(header.end(), {8, static_cast<std::uint8_t>(colour), 0, 0, 0});
    PutChunk(out, "IHDR", header);
    PutChunk(out, "IDAT", packed);
    PutChunk(out, "IEND", {});
    return out;
}

// ---------------------------------------------------------------------------------------------
// GIF

namespace {

class BitWriter {
  public:
    explicit BitWriter(Bytes& out) : m_out(out) {}
    void Write(unsigned code, int bits) {
        m_buffer |= static_cast<std::uint32_t>(code) << m_count;
        m_count += bits;
        while (m_count >= 8) {
            m_out.push_back(static_cast<std::uint8_t>(m_buffer & 0xFF));
            m_buffer >>= 8;
            m_count -= 8;
        }
    }
    void Flush() {
        if (m_count > 0) {
            m_out.push_back(static_cast<std::uint8_t>(m_buffer & 0xFF));
        }
        m_buffer = 0;
        m_count = 0;
    }

  private:
    Bytes& m_out;
    std::uint32_t m_buffer = 0;
    int m_count = 0;
};

}  // namespace

Bytes LzwEncode(const std::vector<std::uint8_t>& indices, int minCodeSize) {
    if (minCodeSize < 2 || minCodeSize > 8) {
        throw std::invalid_argument("LzwEncode: minimum code size 2 to 8");
    }
    const unsigned clear = 1u << minCodeSize;
    const unsigned end = clear + 1;
    constexpr unsigned kMaxCodes = 4096;
    Bytes out;
    BitWriter writer(out);
    // The table maps (prefix code, next index) to a code; 0 means no entry yet.
    std::vector<std::uint16_t> table(kMaxCodes * 256, 0);
    unsigned next = clear + 2;
    int width = minCodeSize + 1;
    auto reset = [&] {
        std::fill(table.begin(), table.end(), std::uint16_t{0});
        next = clear + 2;
        width = minCodeSize + 1;
    };
    writer.Write(clear, width);
    if (!indices.empty()) {
        unsigned prefix = indices[0];
        for (std::size_t i = 1; i < indices.size(); ++i) {
            const unsigned k = indices[i];
            if (k >= clear) {
                throw std::invalid_argument("LzwEncode: index beyond the code size");
            }
            const std::uint16_t known = table[prefix * 256 + k];
            if (known != 0) {
                prefix = known;
                continue;
            }
            writer.Write(prefix, width);
            if (next < kMaxCodes) {
                table[prefix * 256 + k] = static_cast<std::uint16_t>(next++);
                // The decoder adds its entries one code later, so it widens its codes when
                // its table reaches 2^width; we are one entry ahead of it.
                if (next > (1u << width) && width < 12) {
                    ++width;
                }
            } else {
                writer.Write(clear, width);
                reset();
            }
            prefix = k;
        }
        writer.Write(prefix, width);
    }
    writer.Write(end, width);
    writer.Flush();
    return out;
}

Bytes EncodeGif(const GifOptions& options, const std::vector<GifFrame>& frames) {
    if (frames.empty()) {
        throw std::invalid_argument("EncodeGif: no frames");
    }
    const std::size_t pixels = static_cast<std::size_t>(options.width) * options.height;
    auto putTable = [](Bytes& out, const std::vector<Rgb>& palette) {
        if (palette.size() > 256) {
            throw std::invalid_argument("EncodeGif: more than 256 colours");
        }
        for (std::size_t i = 0; i < 256; ++i) {
            const Rgb c = i < palette.size() ? palette[i] : Rgb{0, 0, 0};
            out.insert(out.end(), c.begin(), c.end());
        }
    };

    Bytes out;
    PutText(out, "GIF89a");
    Put16(out, static_cast<unsigned>(options.width));
    Put16(out, static_cast<unsigned>(options.height));
    out.push_back(0x80 | (7 << 4) | 7);  // global table, 8-bit colour resolution, 256 entries
    out.push_back(0);                    // background index
    out.push_back(0);                    // no aspect ratio
    putTable(out, frames[0].image.palette);

    out.insert(out.end(), {0x21, 0xFF, 11});
    PutText(out, "NETSCAPE2.0");
    out.insert(out.end(), {3, 1});
    Put16(out, options.loopCount);
    out.push_back(0);

    for (std::size_t f = 0; f < frames.size(); ++f) {
        const GifFrame& frame = frames[f];
        if (frame.image.indices.size() != pixels) {
            throw std::invalid_argument("EncodeGif: frame size differs from the screen");
        }
        out.insert(out.end(), {0x21, 0xF9, 4, 0});  // disposal 0, no transparency
        Put16(out, frame.delay);
        out.insert(out.end(), {0, 0});

        out.push_back(0x2C);
        Put16(out, 0);
        Put16(out, 0);
        Put16(out, static_cast<unsigned>(options.width));
        Put16(out, static_cast<unsigned>(options.height));
        if (f == 0) {
            out.push_back(0);
        } else {
            out.push_back(0x80 | 7);  // local table of 256 entries, not interlaced
            putTable(out, frame.image.palette);
        }
        out.push_back(8);
        const Bytes data = LzwEncode(frame.image.indices, 8);
        for (std::size_t i = 0; i < data.size(); i += 255) {
            const std::size_t n = std::min<std::size_t>(255, data.size() - i);
            out.push_back(static_cast<std::uint8_t>(n));
            out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(i),
                       data.begin() + static_cast<std::ptrdiff_t>(i + n));
        }
        out.push_back(0);
    }
    out.push_back(0x3B);
    if (options.trailingZero) {
        out.push_back(0);
    }
    return out;
}

}  // namespace tools
