// SPDX-License-Identifier: MIT
// Pictures: a decoded picture file held as a bitmap of the raster layer, the decoder service
// that makes them, and the classic loader call in front of it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>

#include "platform/gdi/Gdi.h"

namespace platform {

// A picture object: it owns its bitmap, which goes when the last reference goes. The bitmap is
// 32 bits per pixel and can be selected into a memory device context.
class Picture {
  public:
    explicit Picture(gdi::HBITMAP bitmap);
    ~Picture();
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    gdi::HBITMAP Handle() const { return m_bitmap; }
    int Width() const;
    int Height() const;

  private:
    gdi::HBITMAP m_bitmap;
};
using PicturePtr = std::shared_ptr<Picture>;

class IPictureDecoder {
  public:
    virtual ~IPictureDecoder() = default;
    // Decodes the picture file at `path` (GIF, BMP or PNG), or gives nothing for a missing file
    // or one it cannot decode. A GIF gives its first image as that image's own rectangle: the
    // image descriptor's width x height, wherever the image lies on the logical screen; a
    // transparent pixel keeps the colour of its table entry.
    virtual std::optional<gdi::Bitmap> Decode(const std::filesystem::path& path) = 0;
};

// The installed decoder, or one that decodes nothing.
IPictureDecoder& Pictures();

using HRESULT = std::int32_t;
constexpr HRESULT S_OK = 0;
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003u);

// Loads a picture file through the installed decoder into `*picture` (null when it cannot be
// decoded). Failures are reported in the result, never raised, except for running out of
// memory.
HRESULT OleLoadPicturePath(const std::filesystem::path& path, PicturePtr* picture);

// The runtime's own loader: the picture, or an exception naming the failure.
PicturePtr LoadPicture(const std::filesystem::path& path);

// Where the first image of a GIF file lies, found by walking its blocks: the offset of its image
// descriptor (the 0x2C byte, counted from 0) and its rectangle. Nothing when the bytes are not a
// GIF or end before the descriptor is whole.
struct GifImagePlacement {
    std::size_t descriptorOffset = 0;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};
std::optional<GifImagePlacement> FindFirstGifImage(std::span<const std::uint8_t> bytes);

}  // namespace platform
