// SPDX-License-Identifier: MIT
// The container formats the generator writes byte by byte, because their exact structure
// matters to the program: Windows bitmaps and icons, PNG with grey+alpha or RGBA pixels, and
// GIF89a animations with our own LZW coder. Plain C++: the drawing happens elsewhere.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace tools {

using Bytes = std::vector<std::uint8_t>;

struct Rgba {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    std::uint8_t a = 0;
};

// Straight (not premultiplied) colours, rows top-down.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<Rgba> pixels;

    Picture() = default;
    Picture(int w, int h, Rgba fill = {})
        : width(w), height(h), pixels(static_cast<std::size_t>(w) * h, fill) {}
    Rgba& At(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
    const Rgba& At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

using Rgb = std::array<std::uint8_t, 3>;

// A picture reduced to at most 256 colours.
struct Indexed {
    std::vector<Rgb> palette;
    std::vector<std::uint8_t> indices;  // one per pixel, rows top-down
};

// Median cut over the picture's colours (alpha ignored), then every pixel mapped to its
// nearest palette colour. Pixels where `use` is given and false are left out of the
// palette and get index 0. Deterministic: ties always go the same way.
Indexed Quantize(const Picture& picture, int maxColours, const std::vector<bool>* use = nullptr);

// 24-bit uncompressed bottom-up BMP with a 40-byte information header; alpha is ignored.
Bytes EncodeBmp24(const Picture& picture);

// An .ico file: each picture becomes a device-independent bitmap with its AND mask, either
// 8 bits per pixel with a 256-colour palette or 32 bits per pixel with alpha. The mask marks
// the pixels whose alpha is below half.
struct IconImage {
    Picture picture;
    int bitsPerPixel = 32;  // 8 or 32
};
Bytes EncodeIco(const std::vector<IconImage>& images);

enum class PngColour : std::uint8_t { GreyAlpha = 4, Rgba = 6 };
// An 8-bit-per-channel PNG. For GreyAlpha every pixel must have r == g == b.
Bytes EncodePng(const Picture& picture, PngColour colour);

// GIF LZW code stream (before splitting into sub-blocks), variable code width up to 12 bits,
// a clear code first and whenever the table is full, the end code last.
Bytes LzwEncode(const std::vector<std::uint8_t>& indices, int minCodeSize);

struct GifFrame {
    Indexed image;            // the palette is padded to 256 entries
    std::uint16_t delay = 0;  // hundredths of a second
};
struct GifOptions {
    int width = 0;
    int height = 0;
    std::uint16_t loopCount = 0;  // 0: for ever
    bool trailingZero = false;    // one zero byte after the trailer
};
// GIF89a: the first frame's palette is the global table, every later frame brings a local
// one; every frame covers the whole screen, disposal 0, no transparency, not interlaced.
Bytes EncodeGif(const GifOptions& options, const std::vector<GifFrame>& frames);

}  // namespace tools
