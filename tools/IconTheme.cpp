// SPDX-License-Identifier: MIT
// Writes one image of the application's .ico file as a PNG for the desktop's icon theme:
// `loomhaven-icons <file.ico> <size> <out.png>` takes the deepest image of that size. The
// theme's icons are thereby always the very pixels the program carries.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

#include "Formats.h"

namespace {

using tools::Bytes;

std::uint32_t Get16(const Bytes& b, std::size_t at) {
    if (at + 2 > b.size()) {
        throw std::runtime_error("truncated icon");
    }
    return static_cast<std::uint32_t>(b[at] | (b[at + 1] << 8));
}

std::uint32_t Get32(const Bytes& b, std::size_t at) {
    return Get16(b, at) | (Get16(b, at + 2) << 16);
}

std::uint8_t At(const Bytes& b, std::size_t at) {
    if (at >= b.size()) {
        throw std::runtime_error("truncated icon image");
    }
    return b[at];
}

// A device-independent bitmap with its AND mask, 8 bits with a palette or 32 bits with alpha.
tools::Picture DecodeDib(const Bytes& file, std::size_t offset) {
    const std::uint32_t header = Get32(file, offset);
    const int width = static_cast<int>(Get32(file, offset + 4));
    const int height = static_cast<int>(Get32(file, offset + 8)) / 2;
    const std::uint32_t bpp = Get16(file, offset + 14);
    if (bpp != 8 && bpp != 32) {
        throw std::runtime_error("only 8 and 32 bits per pixel");
    }
    std::size_t palette = offset + header;
    std::uint32_t colours = Get32(file, offset + 32);
    if (bpp == 8 && colours == 0) {
        colours = 256;
    }
    const std::size_t pixels = palette + (bpp == 8 ? colours * 4 : 0);
    const std::size_t xorStride = ((static_cast<std::size_t>(width) * bpp + 31) / 32) * 4;
    const std::size_t andStride = ((static_cast<std::size_t>(width) + 31) / 32) * 4;
    const std::size_t mask = pixels + xorStride * static_cast<std::size_t>(height);
    tools::Picture out(width, height);
    for (int y = 0; y < height; ++y) {
        const std::size_t row = static_cast<std::size_t>(height - 1 - y);  // stored bottom-up
        for (int x = 0; x < width; ++x) {
            tools::Rgba& p = out.At(x, y);
            const std::size_t ux = static_cast<std::size_t>(x);
            if (bpp == 32) {
                const std::size_t at = pixels + row * xorStride + ux * 4;
                p = {At(file, at + 2), At(file, at + 1), At(file, at), At(file, at + 3)};
            } else {
                const std::size_t at = palette + At(file, pixels + row * xorStride + ux) * 4u;
                const bool clear = (At(file, mask + row * andStride + ux / 8) >> (7 - ux % 8)) & 1;
                p = {At(file, at + 2), At(file, at + 1), At(file, at),
                     static_cast<std::uint8_t>(clear ? 0 : 255)};
            }
        }
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s <file.ico> <size> <out.png>\n", argv[0]);
        return 2;
    }
    try {
        std::ifstream in(argv[1], std::ios::binary);
        const Bytes file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const std::uint32_t size = static_cast<std::uint32_t>(std::stoul(argv[2]));
        if (Get16(file, 2) != 1) {
            throw std::runtime_error("not an icon file");
        }
        const std::uint32_t count = Get16(file, 4);
        std::uint32_t bestDepth = 0;
        std::size_t bestOffset = 0;
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::size_t entry = 6 + 16 * static_cast<std::size_t>(i);
            const std::uint32_t w = At(file, entry) == 0 ? 256 : At(file, entry);
            const std::uint32_t depth = Get16(file, entry + 6);
            if (w == size && depth > bestDepth) {
                bestDepth = depth;
                bestOffset = Get32(file, entry + 12);
            }
        }
        if (bestDepth == 0) {
            throw std::runtime_error("no image of size " + std::to_string(size));
        }
        const Bytes png = tools::EncodePng(DecodeDib(file, bestOffset), tools::PngColour::Rgba);
        std::ofstream out(argv[3], std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(png.data()),
                  static_cast<std::streamsize>(png.size()));
        if (!out.flush()) {
            throw std::runtime_error(std::string("cannot write ") + argv[3]);
        }
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "loomhaven-icons: %s: %s\n", argv[1], e.what());
        return 1;
    }
}
