// SPDX-License-Identifier: MIT
#include "platform/Bmp.h"

#include <cstdlib>

namespace platform {
namespace {

std::uint32_t U32(std::span<const std::uint8_t> b, size_t at) {
    return static_cast<std::uint32_t>(b[at]) | (static_cast<std::uint32_t>(b[at + 1]) << 8) |
           (static_cast<std::uint32_t>(b[at + 2]) << 16) |
           (static_cast<std::uint32_t>(b[at + 3]) << 24);
}
std::uint16_t U16(std::span<const std::uint8_t> b, size_t at) {
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
}
void Put16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

}  // namespace

std::optional<gdi::Bitmap> DecodeBmp(std::span<const std::uint8_t> file) {
    constexpr size_t kFileHeader = 14;
    if (file.size() < kFileHeader + 40 || file[0] != 'B' || file[1] != 'M') {
        return std::nullopt;
    }
    const std::uint32_t dataOffset = U32(file, 10);
    const std::uint32_t headerSize = U32(file, 14);
    if (headerSize < 40 || kFileHeader + headerSize > file.size()) {
        return std::nullopt;
    }
    const auto width = static_cast<std::int32_t>(U32(file, 18));
    const auto rawHeight = static_cast<std::int32_t>(U32(file, 22));
    const std::uint16_t planes = U16(file, 26);
    const std::uint16_t bpp = U16(file, 28);
    const std::uint32_t compression = U32(file, 30);
    if (planes != 1 || (bpp != 24 && bpp != 32) ||
        (compression != 0 && !(compression == 3 && bpp == 32))) {
        return std::nullopt;
    }
    if (width <= 0 || width > 32767 || rawHeight == 0 || rawHeight < -32767 || rawHeight > 32767) {
        return std::nullopt;
    }
    const bool bottomUp = rawHeight > 0;
    const int height = std::abs(rawHeight);
    const size_t stride = ((static_cast<size_t>(width) * bpp + 31) / 32) * 4;
    if (dataOffset > file.size() ||
        stride * static_cast<size_t>(height) > file.size() - dataOffset) {
        return std::nullopt;
    }
    gdi::Bitmap out(width, height, 32);
    const size_t bytesPerPixel = bpp / 8;
    for (int y = 0; y < height; ++y) {
        const size_t row = dataOffset + stride * static_cast<size_t>(bottomUp ? height - 1 - y : y);
        gdi::Pixel* dest = out.Row(y);
        for (int x = 0; x < width; ++x) {
            const size_t p = row + static_cast<size_t>(x) * bytesPerPixel;
            dest[x] = gdi::kOpaque | (static_cast<gdi::Pixel>(file[p + 2]) << 16) |
                      (static_cast<gdi::Pixel>(file[p + 1]) << 8) | file[p];
        }
    }
    return out;
}

std::vector<std::uint8_t> EncodeBmp24(const gdi::Bitmap& bitmap) {
    const auto width = static_cast<std::uint32_t>(bitmap.Width());
    const auto height = static_cast<std::uint32_t>(bitmap.Height());
    const std::uint32_t stride = ((width * 24 + 31) / 32) * 4;
    const std::uint32_t imageSize = stride * height;
    std::vector<std::uint8_t> out;
    out.reserve(54 + imageSize);
    out.push_back('B');
    out.push_back('M');
    Put32(out, 54 + imageSize);
    Put32(out, 0);
    Put32(out, 54);
    Put32(out, 40);
    Put32(out, width);
    Put32(out, height);
    Put16(out, 1);
    Put16(out, 24);
    Put32(out, 0);
    Put32(out, imageSize);
    Put32(out, 3780);  // 96 dpi in pixels per metre
    Put32(out, 3780);
    Put32(out, 0);
    Put32(out, 0);
    for (std::uint32_t y = height; y-- > 0;) {
        const gdi::Pixel* row = bitmap.Row(static_cast<int>(y));
        for (std::uint32_t x = 0; x < width; ++x) {
            out.push_back(static_cast<std::uint8_t>(row[x]));
            out.push_back(static_cast<std::uint8_t>(row[x] >> 8));
            out.push_back(static_cast<std::uint8_t>(row[x] >> 16));
        }
        for (std::uint32_t pad = width * 3; pad < stride; ++pad) {
            out.push_back(0);
        }
    }
    return out;
}

}  // namespace platform
