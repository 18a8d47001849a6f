// SPDX-License-Identifier: MIT
// A small raster layer with the classic device-context model: bitmaps selected into device
// contexts, raster operations between them, solid brushes, system colours. The program's
// drawing (panels, the title, the GIF canvas) is written against these calls; the Qt binding
// only shows the resulting pixels.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace platform::gdi {

// A colour value red + 256 * green + 65536 * blue (0x00BBGGRR); bit 31 set names a system
// colour by the index in the low bits.
using COLORREF = std::uint32_t;

constexpr COLORREF RGB(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return static_cast<COLORREF>(r) | (static_cast<COLORREF>(g) << 8) |
           (static_cast<COLORREF>(b) << 16);
}
constexpr std::uint8_t GetRValue(COLORREF c) {
    return static_cast<std::uint8_t>(c & 0xFF);
}
constexpr std::uint8_t GetGValue(COLORREF c) {
    return static_cast<std::uint8_t>((c >> 8) & 0xFF);
}
constexpr std::uint8_t GetBValue(COLORREF c) {
    return static_cast<std::uint8_t>((c >> 16) & 0xFF);
}

// Pixels are stored as 0xAARRGGBB words (the layout of a 32-bit bottom-up DIB read as words,
// and of QImage's 32-bit formats). Colour bitmaps keep alpha at 0xFF; monochrome bitmaps hold
// 0xFFFFFFFF for a 1 bit (white) and 0xFF000000 for a 0 bit (black).
using Pixel = std::uint32_t;
constexpr Pixel kOpaque = 0xFF000000u;
constexpr Pixel ToPixel(COLORREF c) {
    return kOpaque | (static_cast<Pixel>(GetRValue(c)) << 16) |
           (static_cast<Pixel>(GetGValue(c)) << 8) | GetBValue(c);
}
constexpr COLORREF FromPixel(Pixel p) {
    return RGB(static_cast<std::uint8_t>((p >> 16) & 0xFF),
               static_cast<std::uint8_t>((p >> 8) & 0xFF), static_cast<std::uint8_t>(p & 0xFF));
}

// Pixel storage of one bitmap, top row first.
class Bitmap {
  public:
    Bitmap(int width, int height, int bitsPerPixel);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    int BitsPerPixel() const { return m_bitsPerPixel; }
    bool IsMonochrome() const { return m_bitsPerPixel == 1; }

    Pixel At(int x, int y) const { return m_pixels[Index(x, y)]; }
    void Set(int x, int y, Pixel p) { m_pixels[Index(x, y)] = p; }
    Pixel* Row(int y) {
        return m_pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(m_width);
    }
    const Pixel* Row(int y) const {
        return m_pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(m_width);
    }
    std::vector<Pixel>& Pixels() { return m_pixels; }
    const std::vector<Pixel>& Pixels() const { return m_pixels; }

    // Every drawing call that changes the pixels ends with Changed(): the view that shows this
    // bitmap (a window's surface, say) learns that it must repaint.
    void Changed();
    std::uint64_t Generation() const { return m_generation; }
    void SetObserver(std::function<void()> observer) { m_observer = std::move(observer); }

  private:
    size_t Index(int x, int y) const {
        return static_cast<size_t>(y) * static_cast<size_t>(m_width) + static_cast<size_t>(x);
    }

    int m_width;
    int m_height;
    int m_bitsPerPixel;
    std::vector<Pixel> m_pixels;
    std::uint64_t m_generation = 0;
    std::function<void()> m_observer;
};

// Handles. Every object lives in a table of live objects, so a stale or foreign handle is
// refused (the call fails) instead of being followed.
struct GdiObject;
struct DcObject;
struct BitmapObject;
struct BrushObject;
struct FontObject;
using HGDIOBJ = GdiObject*;
using HDC = DcObject*;
using HBITMAP = BitmapObject*;
using HBRUSH = BrushObject*;
using HFONT = FontObject*;
using HWND = std::uintptr_t;

struct RECT {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// Raster operations (ternary ROP codes; every one of the 256 is carried out).
constexpr std::uint32_t SRCCOPY = 0x00CC0020;
constexpr std::uint32_t SRCPAINT = 0x00EE0086;
constexpr std::uint32_t SRCAND = 0x008800C6;
constexpr std::uint32_t SRCINVERT = 0x00660046;
constexpr std::uint32_t SRCERASE = 0x00440328;
constexpr std::uint32_t NOTSRCCOPY = 0x00330008;
constexpr std::uint32_t NOTSRCERASE = 0x001100A6;
constexpr std::uint32_t MERGEPAINT = 0x00BB0226;
constexpr std::uint32_t PATCOPY = 0x00F00021;
constexpr std::uint32_t DSTINVERT = 0x00550009;
constexpr std::uint32_t BLACKNESS = 0x00000042;
constexpr std::uint32_t WHITENESS = 0x00FF0062;

constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;
constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

// System colour indexes.
constexpr int COLOR_SCROLLBAR = 0;
constexpr int COLOR_BACKGROUND = 1;
constexpr int COLOR_WINDOW = 5;
constexpr int COLOR_WINDOWTEXT = 8;
constexpr int COLOR_BTNFACE = 15;
constexpr int COLOR_BTNTEXT = 18;

// Device contexts and bitmaps.
HDC CreateCompatibleDC(HDC dc);  // null: compatible with the screen
bool DeleteDC(HDC dc);
// A bitmap of the format of the bitmap selected into `dc` (a new memory context holds a
// 1 x 1 monochrome one, so its compatible bitmaps are monochrome); null: the screen (32 bits).
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
// A bitmap of 1 or 32 bits per pixel with one plane; `bits` (optional) are rows of 16-bit
// aligned bits for 1 bpp, of Pixel words for 32 bpp.
HBITMAP CreateBitmap(int width, int height, unsigned planes, unsigned bitsPerPixel,
                     const void* bits);
// A 32-bit bitmap holding a copy of `pixels`.
HBITMAP CreateBitmapFrom(const Bitmap& pixels);
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
bool DeleteObject(HGDIOBJ object);

// The pixels behind a bitmap handle, or the bitmap now selected into a context.
Bitmap* BitmapOf(HBITMAP bitmap);
Bitmap* SelectedBitmap(HDC dc);
HBITMAP CurrentBitmap(HDC dc);

// Colours and modes of a context. A new context has black text on white, opaque.
COLORREF SetBkColor(HDC dc, COLORREF colour);
COLORREF GetBkColor(HDC dc);
COLORREF SetTextColor(HDC dc, COLORREF colour);
COLORREF GetTextColor(HDC dc);
int SetBkMode(HDC dc, int mode);
int GetBkMode(HDC dc);

HBRUSH CreateSolidBrush(COLORREF colour);
int FillRect(HDC dc, const RECT* rect, HBRUSH brush);

bool BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY,
            std::uint32_t rop);

COLORREF GetSysColor(int index);
// On a 32-bit screen every colour is its own nearest colour.
COLORREF GetNearestColor(HDC dc, COLORREF colour);

// The screen's context (`window` 0). Releasing a context that was not obtained from GetDC
// leaves it usable.
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);

// How many objects (contexts, bitmaps, brushes, fonts) are alive: tests use it to find leaks.
size_t LiveObjectCount();

// For the layers built on top (fonts, surfaces): whether a handle is alive, and of what kind.
enum class ObjectKind { Dc, Bitmap, Brush, Font, Region };
bool IsLive(const void* handle, ObjectKind kind);

}  // namespace platform::gdi

// The handle types are complete wherever the calls are, so that a bitmap, brush or font handle
// converts to HGDIOBJ and back (static_cast) as in the classic interface.
#include "platform/gdi/GdiObjects.h"  // IWYU pragma: export
