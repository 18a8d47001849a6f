// SPDX-License-Identifier: MIT
#include "platform/Ole.h"

#include <new>
#include <stdexcept>

#include "platform/Services.h"

namespace platform {
namespace {

class InertPictureDecoder final : public IPictureDecoder {
  public:
    std::optional<gdi::Bitmap> Decode(const std::filesystem::path&) override {
        return std::nullopt;
    }
};

PicturePtr MakePicture(const gdi::Bitmap& pixels) {
    if (pixels.Width() <= 0 || pixels.Height() <= 0) {
        return nullptr;  // no pixels, no picture
    }
    gdi::HBITMAP bitmap = gdi::CreateBitmapFrom(pixels);
    if (bitmap == nullptr) {
        return nullptr;
    }
    return std::make_shared<Picture>(bitmap);
}

int Word(std::span<const std::uint8_t> bytes, std::size_t at) {
    return bytes[at] | (bytes[at + 1] << 8);
}

}  // namespace

Picture::Picture(gdi::HBITMAP bitmap) : m_bitmap(bitmap) {}

Picture::~Picture() {
    gdi::DeleteObject(m_bitmap);
}

int Picture::Width() const {
    const gdi::Bitmap* b = gdi::BitmapOf(m_bitmap);
    return b != nullptr ? b->Width() : 0;
}

int Picture::Height() const {
    const gdi::Bitmap* b = gdi::BitmapOf(m_bitmap);
    return b != nullptr ? b->Height() : 0;
}

IPictureDecoder& Pictures() {
    static InertPictureDecoder inert;
    IPictureDecoder* installed = CurrentServices().pictures;
    return installed != nullptr ? *installed : inert;
}

HRESULT OleLoadPicturePath(const std::filesystem::path& path, PicturePtr* picture) {
    if (picture == nullptr) {
        return E_POINTER;
    }
    *picture = nullptr;
    try {
        std::optional<gdi::Bitmap> pixels = Pictures().Decode(path);
        if (!pixels) {
            return E_FAIL;
        }
        *picture = MakePicture(*pixels);
    } catch (const std::bad_alloc&) {
        throw;
    } catch (...) {
        return E_FAIL;
    }
    return *picture != nullptr ? S_OK : E_FAIL;
}

PicturePtr LoadPicture(const std::filesystem::path& path) {
    std::optional<gdi::Bitmap> pixels = Pictures().Decode(path);
    if (!pixels) {
        throw std::runtime_error("Invalid picture: " + path.string());
    }
    PicturePtr picture = MakePicture(*pixels);
    if (picture == nullptr) {
        throw std::runtime_error("Picture too large: " + path.string());
    }
    return picture;
}

std::optional<GifImagePlacement> FindFirstGifImage(std::span<const std::uint8_t> bytes) {
    const std::size_t n = bytes.size();
    if (n < 13 || bytes[0] != 'G' || bytes[1] != 'I' || bytes[2] != 'F') {
        return std::nullopt;
    }
    std::size_t p = 13;
    if (bytes[10] & 0x80) {
        p += 3u << ((bytes[10] & 0x07) + 1);
    }
    while (p < n) {
        if (bytes[p] == 0x2C) {
            if (p + 10 > n) {
                return std::nullopt;
            }
            return GifImagePlacement{p, Word(bytes, p + 1), Word(bytes, p + 3), Word(bytes, p + 5),
                                     Word(bytes, p + 7)};
        }
        if (bytes[p] != 0x21 || p + 2 >= n) {
            return std::nullopt;  // the trailer, or something that is no block
        }
        // An extension: its label, then sub-blocks up to the empty one.
        p += 2;
        while (p < n && bytes[p] != 0) {
            p += bytes[p] + 1u;
        }
        ++p;
    }
    return std::nullopt;
}

}  // namespace platform
