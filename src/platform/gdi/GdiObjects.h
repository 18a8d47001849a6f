// SPDX-License-Identifier: MIT
// The objects behind the raster layer's handles. Only the raster layer and the layers built
// directly on it (fonts and text, window surfaces) look inside them.
#pragma once

#include <memory>
#include <string>
#include <utility>

#include "platform/gdi/Gdi.h"

namespace platform::gdi {

struct GdiObject {
    explicit GdiObject(ObjectKind k) : kind(k) {}
    virtual ~GdiObject() = default;
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    ObjectKind kind;
    // Stock objects are shared by every context, never deleted and not counted as live.
    bool stock = false;
};

struct BitmapObject final : GdiObject {
    BitmapObject(int w, int h, int bpp) : GdiObject(ObjectKind::Bitmap), bits(w, h, bpp) {}
    Bitmap bits;
    DcObject* selectedIn = nullptr;  // a bitmap is selected into one context at most
};

struct BrushObject final : GdiObject {
    explicit BrushObject(COLORREF c) : GdiObject(ObjectKind::Brush), colour(c) {}
    COLORREF colour;
};

struct FontObject final : GdiObject {
    FontObject() : GdiObject(ObjectKind::Font) {}
    std::u16string face;
    float pointSize = 9.0f;
    bool bold = false;
    bool italic = false;
    int charset = 1;  // DEFAULT_CHARSET
};

struct DcObject final : GdiObject {
    DcObject() : GdiObject(ObjectKind::Dc) {}
    HBITMAP bitmap = nullptr;       // selected now
    HBITMAP stockBitmap = nullptr;  // the shared stock bitmap the context started with
    HBRUSH brush = nullptr;         // null: the stock white brush
    HFONT font = nullptr;           // null: the stock font
    COLORREF textColour = RGB(0, 0, 0);
    COLORREF bkColour = RGB(255, 255, 255);
    int bkMode = OPAQUE;
    bool fromGetDC = false;
};

// Registers a new object in the table of live objects and returns its handle.
template <typename T, typename... Args>
T* NewObject(Args&&... args);

void RegisterObject(GdiObject* object);
void UnregisterObject(GdiObject* object);
// Unregisters and ends an object. Its address is not handed out again for a long while, so a
// stale handle is refused instead of reaching a newer object that happens to live there.
void DestroyObject(GdiObject* object);

// The shared 1 x 1 bitmaps a new context starts with: monochrome for memory contexts,
// 32 bits for the screen's.
BitmapObject* StockMonochromeBitmap();
BitmapObject* StockScreenBitmap();

template <typename T, typename... Args>
T* NewObject(Args&&... args) {
    auto* object = new T(std::forward<Args>(args)...);
    RegisterObject(object);
    return object;
}

}  // namespace platform::gdi
