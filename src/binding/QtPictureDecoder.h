// SPDX-License-Identifier: MIT
// The picture decoder made real with QImageReader: GIF (its first image), BMP and PNG.
#pragma once

#include "platform/Ole.h"

namespace binding {

class QtPictureDecoder final : public platform::IPictureDecoder {
  public:
    std::optional<platform::gdi::Bitmap> Decode(const std::filesystem::path& path) override;
};

}  // namespace binding
