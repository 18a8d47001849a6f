// SPDX-License-Identifier: MIT
// Windows bitmap files: reading the uncompressed kinds the program carries, and writing a
// window's picture as a 24-bit bitmap.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/gdi/Gdi.h"

namespace platform {

// Uncompressed 24- or 32-bit bitmaps (bottom-up or top-down) with a 40-byte or larger header;
// nothing for anything else or for a damaged file.
std::optional<gdi::Bitmap> DecodeBmp(std::span<const std::uint8_t> file);

// A 24-bit bottom-up bitmap file with a 40-byte header (rows padded to 4 bytes).
std::vector<std::uint8_t> EncodeBmp24(const gdi::Bitmap& bitmap);

}  // namespace platform
