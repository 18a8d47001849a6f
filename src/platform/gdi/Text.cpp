// SPDX-License-Identifier: MIT
#include "platform/gdi/Text.h"

#include <cstdlib>
#include <string_view>

#include "platform/Services.h"
#include "platform/TextRasteriser.h"
#include "platform/gdi/GdiObjects.h"

namespace platform {

ITextRasteriser* TextRasteriser() {
    return CurrentServices().text;
}

}  // namespace platform

namespace platform::gdi {

HFONT CreateFontIndirectW(const LOGFONTW* font) {
    if (font == nullptr) {
        return nullptr;
    }
    auto* created = NewObject<FontObject>();
    created->face = font->lfFaceName;
    // Pixels at 96 dpi to points.
    created->pointSize =
        font->lfHeight == 0 ? 9.0f : static_cast<float>(std::abs(font->lfHeight)) * 0.75f;
    created->bold = font->lfWeight >= 600;
    created->italic = font->lfItalic;
    created->charset = font->lfCharSet;
    return created;
}

int lstrlenW(const char16_t* text) {
    if (text == nullptr) {
        return 0;
    }
    return static_cast<int>(std::u16string_view(text).size());
}

bool TextOutW(HDC dc, int x, int y, const char16_t* text, int count) {
    if (!IsLive(dc, ObjectKind::Dc) || count < 0 || (text == nullptr && count > 0)) {
        return false;
    }
    const auto* d = static_cast<const DcObject*>(dc);
    Bitmap* target = SelectedBitmap(dc);
    ITextRasteriser* rasteriser = TextRasteriser();
    if (target == nullptr || target->IsMonochrome() || d->fromGetDC || rasteriser == nullptr) {
        return false;
    }
    if (count == 0) {
        return true;
    }
    TextStyle style;
    if (IsLive(d->font, ObjectKind::Font)) {
        style.face = d->font->face;
        style.pointSize = d->font->pointSize;
        style.bold = d->font->bold;
        style.italic = d->font->italic;
        style.charset = d->font->charset;
    }
    style.colour = d->textColour;
    style.background = d->bkColour;
    style.opaque = d->bkMode == OPAQUE;
    rasteriser->Draw(*target, x, y, std::u16string_view(text, static_cast<size_t>(count)), style);
    target->Changed();
    return true;
}

}  // namespace platform::gdi
