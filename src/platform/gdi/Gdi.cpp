// SPDX-License-Identifier: MIT
#include "platform/gdi/Gdi.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <deque>
#include <unordered_set>

#include "platform/gdi/GdiObjects.h"

namespace platform::gdi {
namespace {

// Bitmaps beyond this many pixels are refused rather than allocated.
constexpr long long kMaxPixels = 64LL * 1024 * 1024;
constexpr int kMaxSide = 32767;

constexpr Pixel kWhite = 0xFFFFFFFFu;
constexpr Pixel kBlack = 0xFF000000u;

// How many ended objects keep their address out of circulation.
constexpr size_t kQuarantine = 4096;

std::unordered_set<const GdiObject*>& Live() {
    static std::unordered_set<const GdiObject*> live;
    return live;
}

size_t& StockCount() {
    static size_t count = 0;
    return count;
}

// The memory of ended objects, destroyed but not yet given back to the allocator. Never
// destroyed itself, so that what it holds stays reachable until the process ends.
std::deque<void*>& Quarantine() {
    static auto* const ended = new std::deque<void*>;
    return *ended;
}

BitmapObject* NewStockBitmap(int bitsPerPixel) {
    auto* b = new BitmapObject(1, 1, bitsPerPixel);
    b->stock = true;
    RegisterObject(b);
    ++StockCount();
    return b;
}

// Whether drawing may change this bitmap: the shared stock bitmaps stay as they are.
bool Writable(const Bitmap& b) {
    return &b != &StockMonochromeBitmap()->bits && &b != &StockScreenBitmap()->bits;
}

template <typename T>
T* Checked(const void* handle, ObjectKind kind) {
    return IsLive(handle, kind) ? static_cast<T*>(const_cast<void*>(handle)) : nullptr;
}

DcObject* Dc(HDC dc) {
    return Checked<DcObject>(dc, ObjectKind::Dc);
}
BitmapObject* Bmp(HBITMAP b) {
    return Checked<BitmapObject>(b, ObjectKind::Bitmap);
}

bool ValidSize(int w, int h) {
    return w > 0 && h > 0 && w <= kMaxSide && h <= kMaxSide &&
           static_cast<long long>(w) * h <= kMaxPixels;
}

HBITMAP NewBitmap(int w, int h, int bpp) {
    if (w == 0 || h == 0) {
        return NewObject<BitmapObject>(1, 1, 1);
    }
    if (!ValidSize(w, h)) {
        return nullptr;
    }
    return NewObject<BitmapObject>(w, h, bpp);
}

// One ternary raster operation on whole words: bit i of the result is bit
// ((P << 2) | (S << 1) | D) of the operation's index byte, for P, S and D bit i of the three
// operands. Colour bitmaps keep alpha opaque.
Pixel Rop3(std::uint8_t index, Pixel p, Pixel s, Pixel d) {
    Pixel r = 0;
    for (int m = 0; m < 8; ++m) {
        if ((index >> m) & 1) {
            r |= ((m & 4) ? p : ~p) & ((m & 2) ? s : ~s) & ((m & 1) ? d : ~d);
        }
    }
    return r;
}

Pixel ApplyRop(std::uint8_t index, Pixel p, Pixel s, Pixel d) {
    switch (index) {
        case 0xCC:  // SRCCOPY
            return s;
        case 0x88:  // SRCAND
            return s & d;
        case 0x66:  // SRCINVERT
            return (s ^ d) | kOpaque;
        case 0x33:  // NOTSRCCOPY
            return ~s | kOpaque;
        case 0xEE:  // SRCPAINT
            return s | d;
        default:
            return Rop3(index, p, s, d) | kOpaque;
    }
}

bool UsesSource(std::uint8_t index) {
    return ((index >> 2) & 0x33) != (index & 0x33);
}

// A colour as it lands in a bitmap of the destination's kind.
Pixel BrushPixel(const DcObject& dc, const Bitmap& dest) {
    const COLORREF c = dc.brush != nullptr ? dc.brush->colour : RGB(255, 255, 255);
    if (dest.IsMonochrome()) {
        return c == RGB(255, 255, 255) ? kWhite : kBlack;
    }
    return ToPixel(c);
}

// A source pixel converted to the destination's kind: colour to monochrome makes the source
// context's background colour white and all else black; monochrome to colour makes white the
// destination's background colour and black its text colour.
Pixel Convert(Pixel s, bool srcMono, const DcObject& src, bool destMono, const DcObject& dest) {
    if (srcMono == destMono) {
        return s;
    }
    if (destMono) {
        return (s | kOpaque) == ToPixel(src.bkColour) ? kWhite : kBlack;
    }
    return s == kWhite ? ToPixel(dest.bkColour) : ToPixel(dest.textColour);
}

const std::array<COLORREF, 31>& SystemColours() {
    // The usual default scheme.
    static const std::array<COLORREF, 31> colours = {
        RGB(200, 200, 200), RGB(0, 0, 0),       RGB(153, 180, 209), RGB(191, 205, 219),
        RGB(240, 240, 240), RGB(255, 255, 255), RGB(100, 100, 100), RGB(0, 0, 0),
        RGB(0, 0, 0),       RGB(0, 0, 0),       RGB(180, 180, 180), RGB(244, 247, 252),
        RGB(171, 171, 171), RGB(0, 120, 215),   RGB(255, 255, 255), RGB(240, 240, 240),
        RGB(160, 160, 160), RGB(109, 109, 109), RGB(0, 0, 0),       RGB(0, 0, 0),
        RGB(255, 255, 255), RGB(105, 105, 105), RGB(227, 227, 227), RGB(0, 0, 0),
        RGB(255, 255, 225), RGB(0, 0, 0),       RGB(0, 102, 204),   RGB(185, 209, 234),
        RGB(215, 228, 242), RGB(0, 120, 215),   RGB(240, 240, 240)};
    return colours;
}

}  // namespace

// --- Bitmap ---------------------------------------------------------------------------------

Bitmap::Bitmap(int width, int height, int bitsPerPixel)
    : m_width(std::max(width, 0)),
      m_height(std::max(height, 0)),
      m_bitsPerPixel(bitsPerPixel == 1 ? 1 : 32),
      m_pixels(static_cast<size_t>(m_width) * static_cast<size_t>(m_height), kBlack) {}

void Bitmap::Changed() {
    ++m_generation;
    if (m_observer) {
        m_observer();
    }
}

// --- Object table ---------------------------------------------------------------------------

void RegisterObject(GdiObject* object) {
    Live().insert(object);
}
void UnregisterObject(GdiObject* object) {
    Live().erase(object);
}

void DestroyObject(GdiObject* object) {
    if (object == nullptr || object->stock) {
        return;
    }
    UnregisterObject(object);
    object->~GdiObject();
    Quarantine().push_back(object);
    if (Quarantine().size() > kQuarantine) {
        ::operator delete(Quarantine().front());
        Quarantine().pop_front();
    }
}

BitmapObject* StockMonochromeBitmap() {
    static BitmapObject* const stock = NewStockBitmap(1);
    return stock;
}

BitmapObject* StockScreenBitmap() {
    static BitmapObject* const stock = NewStockBitmap(32);
    return stock;
}

bool IsLive(const void* handle, ObjectKind kind) {
    if (handle == nullptr) {
        return false;
    }
    const auto* object = static_cast<const GdiObject*>(handle);
    return Live().count(object) != 0 && object->kind == kind;
}

size_t LiveObjectCount() {
    return Live().size() - StockCount();
}

// --- Contexts and bitmaps -------------------------------------------------------------------

HDC CreateCompatibleDC(HDC dc) {
    if (dc != nullptr && Dc(dc) == nullptr) {
        return nullptr;
    }
    DcObject* created = NewObject<DcObject>();
    created->stockBitmap = StockMonochromeBitmap();
    created->bitmap = created->stockBitmap;
    return created;
}

bool DeleteDC(HDC dc) {
    DcObject* d = Dc(dc);
    if (d == nullptr) {
        return false;
    }
    if (BitmapObject* b = Bmp(d->bitmap); b != nullptr && !b->stock) {
        b->selectedIn = nullptr;  // the selected bitmap survives its context
    }
    DestroyObject(d);
    return true;
}

HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height) {
    int bpp = 32;
    if (dc != nullptr) {
        const Bitmap* selected = SelectedBitmap(dc);
        if (selected == nullptr) {
            return nullptr;
        }
        if (!Dc(dc)->fromGetDC) {
            bpp = selected->BitsPerPixel();
        }
    }
    if (width < 0 || height < 0) {
        return nullptr;
    }
    return NewBitmap(width, height, bpp);
}

HBITMAP CreateBitmap(int width, int height, unsigned planes, unsigned bitsPerPixel,
                     const void* bits) {
    if (planes != 1 || (bitsPerPixel != 1 && bitsPerPixel != 32) || width < 0 || height < 0) {
        return nullptr;
    }
    HBITMAP created = NewBitmap(width, height, static_cast<int>(bitsPerPixel));
    if (created == nullptr || bits == nullptr || width == 0 || height == 0) {
        return created;
    }
    Bitmap& b = created->bits;
    if (bitsPerPixel == 32) {
        const auto* words = static_cast<const Pixel*>(bits);
        for (size_t i = 0; i < b.Pixels().size(); ++i) {
            b.Pixels()[i] = words[i] | kOpaque;
        }
    } else {
        const auto* bytes = static_cast<const std::uint8_t*>(bits);
        const size_t stride = static_cast<size_t>((width + 15) / 16) * 2;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const std::uint8_t byte =
                    bytes[static_cast<size_t>(y) * stride + static_cast<size_t>(x / 8)];
                b.Set(x, y, ((byte >> (7 - x % 8)) & 1) ? kWhite : kBlack);
            }
        }
    }
    return created;
}

HBITMAP CreateBitmapFrom(const Bitmap& pixels) {
    HBITMAP created = NewBitmap(pixels.Width(), pixels.Height(), 32);
    if (created != nullptr && pixels.Width() > 0 && pixels.Height() > 0) {
        for (size_t i = 0; i < pixels.Pixels().size(); ++i) {
            created->bits.Pixels()[i] = pixels.Pixels()[i] | kOpaque;
        }
    }
    return created;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
    DcObject* d = Dc(dc);
    if (d == nullptr || object == nullptr || Live().count(object) == 0) {
        return nullptr;
    }
    switch (object->kind) {
        case ObjectKind::Bitmap: {
            auto* b = static_cast<BitmapObject*>(object);
            if (!b->stock && b->selectedIn != nullptr && b->selectedIn != d) {
                return nullptr;  // already selected into another context
            }
            HBITMAP old = d->bitmap;
            if (BitmapObject* o = Bmp(old); o != nullptr && !o->stock) {
                o->selectedIn = nullptr;
            }
            if (!b->stock) {
                b->selectedIn = d;
            }
            d->bitmap = b;
            return old;
        }
        case ObjectKind::Brush: {
            HBRUSH old = d->brush;
            d->brush = static_cast<BrushObject*>(object);
            return old;
        }
        case ObjectKind::Font: {
            HFONT old = d->font;
            d->font = static_cast<FontObject*>(object);
            return old;
        }
        case ObjectKind::Dc:
        case ObjectKind::Region:  // clipping regions are not selected into contexts here
            return nullptr;
    }
    return nullptr;
}

bool DeleteObject(HGDIOBJ object) {
    if (object == nullptr || Live().count(object) == 0 || object->kind == ObjectKind::Dc) {
        return false;
    }
    if (object->stock) {
        return true;  // deleting a stock object is harmless and does nothing
    }
    if (object->kind == ObjectKind::Bitmap && static_cast<BitmapObject*>(object)->selectedIn) {
        return false;  // a selected bitmap cannot be deleted
    }
    for (const GdiObject* o : Live()) {
        if (o->kind != ObjectKind::Dc) {
            continue;
        }
        auto* d = const_cast<DcObject*>(static_cast<const DcObject*>(o));
        if (d->brush == object) {
            d->brush = nullptr;
        }
        if (d->font == object) {
            d->font = nullptr;
        }
    }
    DestroyObject(object);
    return true;
}

Bitmap* BitmapOf(HBITMAP bitmap) {
    BitmapObject* b = Bmp(bitmap);
    return b != nullptr ? &b->bits : nullptr;
}

Bitmap* SelectedBitmap(HDC dc) {
    DcObject* d = Dc(dc);
    return d != nullptr ? BitmapOf(d->bitmap) : nullptr;
}

HBITMAP CurrentBitmap(HDC dc) {
    DcObject* d = Dc(dc);
    return d != nullptr ? d->bitmap : nullptr;
}

// --- Colours --------------------------------------------------------------------------------

COLORREF SetBkColor(HDC dc, COLORREF colour) {
    DcObject* d = Dc(dc);
    if (d == nullptr) {
        return CLR_INVALID;
    }
    return std::exchange(d->bkColour, colour & 0x00FFFFFF);
}

COLORREF GetBkColor(HDC dc) {
    DcObject* d = Dc(dc);
    return d != nullptr ? d->bkColour : CLR_INVALID;
}

COLORREF SetTextColor(HDC dc, COLORREF colour) {
    DcObject* d = Dc(dc);
    if (d == nullptr) {
        return CLR_INVALID;
    }
    return std::exchange(d->textColour, colour & 0x00FFFFFF);
}

COLORREF GetTextColor(HDC dc) {
    DcObject* d = Dc(dc);
    return d != nullptr ? d->textColour : CLR_INVALID;
}

int SetBkMode(HDC dc, int mode) {
    DcObject* d = Dc(dc);
    if (d == nullptr || (mode != TRANSPARENT && mode != OPAQUE)) {
        return 0;
    }
    return std::exchange(d->bkMode, mode);
}

int GetBkMode(HDC dc) {
    DcObject* d = Dc(dc);
    return d != nullptr ? d->bkMode : 0;
}

HBRUSH CreateSolidBrush(COLORREF colour) {
    return NewObject<BrushObject>(colour & 0x00FFFFFF);
}

int FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
    DcObject* d = Dc(dc);
    BrushObject* b = Checked<BrushObject>(brush, ObjectKind::Brush);
    Bitmap* dest = SelectedBitmap(dc);
    if (d == nullptr || b == nullptr || dest == nullptr || rect == nullptr) {
        return 0;
    }
    if (!Writable(*dest)) {
        return 1;
    }
    const int left = std::clamp(rect->left, 0, dest->Width());
    const int top = std::clamp(rect->top, 0, dest->Height());
    const int right = std::clamp(rect->right, 0, dest->Width());
    const int bottom = std::clamp(rect->bottom, 0, dest->Height());
    const Pixel p = dest->IsMonochrome() ? (b->colour == RGB(255, 255, 255) ? kWhite : kBlack)
                                         : ToPixel(b->colour);
    for (int y = top; y < bottom; ++y) {
        std::fill(dest->Row(y) + left, dest->Row(y) + std::max(left, right), p);
    }
    if (left < right && top < bottom) {
        dest->Changed();
    }
    return 1;
}

bool BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY,
            std::uint32_t rop) {
    DcObject* dd = Dc(dest);
    Bitmap* db = SelectedBitmap(dest);
    if (dd == nullptr || db == nullptr || width < 0 || height < 0) {
        return false;
    }
    const auto index = static_cast<std::uint8_t>((rop >> 16) & 0xFF);
    const bool needSource = UsesSource(index);
    DcObject* sd = needSource ? Dc(src) : nullptr;
    const Bitmap* sb = needSource ? SelectedBitmap(src) : nullptr;
    if (needSource && (sd == nullptr || sb == nullptr)) {
        return false;
    }

    // Clip to the destination and, when there is one, to the source.
    long long x0 = x, y0 = y, x1 = static_cast<long long>(x) + width,
              y1 = static_cast<long long>(y) + height;
    x0 = std::max<long long>(x0, 0);
    y0 = std::max<long long>(y0, 0);
    x1 = std::min<long long>(x1, db->Width());
    y1 = std::min<long long>(y1, db->Height());
    if (sb != nullptr) {
        const long long dx = static_cast<long long>(srcX) - x;
        const long long dy = static_cast<long long>(srcY) - y;
        x0 = std::max<long long>(x0, -dx);
        y0 = std::max<long long>(y0, -dy);
        x1 = std::min<long long>(x1, sb->Width() - dx);
        y1 = std::min<long long>(y1, sb->Height() - dy);
    }
    if (x0 >= x1 || y0 >= y1 || !Writable(*db)) {
        return true;  // nothing visible to do
    }

    const Pixel pattern = BrushPixel(*dd, *db);
    const bool destMono = db->IsMonochrome();
    const bool srcMono = sb != nullptr && sb->IsMonochrome();
    // Copy each source row first, so that a bitmap copied onto itself reads what it had; when
    // the copy moves rows down, go from the bottom up for the same reason.
    std::vector<Pixel> row(static_cast<size_t>(x1 - x0));
    const bool upwards = sb == db && srcY < y;
    for (long long n = 0; n < y1 - y0; ++n) {
        const long long yy = upwards ? y1 - 1 - n : y0 + n;
        Pixel* out = db->Row(static_cast<int>(yy)) + x0;
        if (sb != nullptr) {
            const Pixel* in = sb->Row(static_cast<int>(yy + srcY - y)) + (x0 + srcX - x);
            std::memcpy(row.data(), in, row.size() * sizeof(Pixel));
            for (Pixel& s : row) {
                s = Convert(s, srcMono, *sd, destMono, *dd);
            }
        }
        for (size_t i = 0; i < row.size(); ++i) {
            out[i] = ApplyRop(index, pattern, sb != nullptr ? row[i] : 0, out[i]);
        }
    }
    db->Changed();
    return true;
}

COLORREF GetSysColor(int index) {
    const auto& colours = SystemColours();
    if (index < 0 || static_cast<size_t>(index) >= colours.size()) {
        return 0;
    }
    return colours[static_cast<size_t>(index)];
}

COLORREF GetNearestColor(HDC dc, COLORREF colour) {
    if (Dc(dc) == nullptr) {
        return CLR_INVALID;
    }
    return colour & 0x00FFFFFF;
}

HDC GetDC(HWND window) {
    if (window != 0) {
        return nullptr;  // window contexts come from the controls' own surfaces
    }
    DcObject* d = NewObject<DcObject>();
    d->stockBitmap = StockScreenBitmap();
    d->bitmap = d->stockBitmap;
    d->fromGetDC = true;
    return d;
}

int ReleaseDC(HWND, HDC dc) {
    DcObject* d = Dc(dc);
    if (d == nullptr || !d->fromGetDC) {
        return 0;
    }
    DeleteDC(d);
    return 1;
}

}  // namespace platform::gdi
