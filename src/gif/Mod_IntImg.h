// SPDX-License-Identifier: MIT
// The picture file loader: a picture file on disk turned into a picture object.
#pragma once

#include <filesystem>

#include "platform/Ole.h"

namespace core {

// The picture in the file at `path`, or no picture (null) for a missing file or one that cannot
// be decoded. Only when the platform loader itself cannot be used does the runtime's own loader
// step in, and its failure reaches the caller as an exception.
platform::PicturePtr LoadImageFile(const std::filesystem::path& path);

}  // namespace core
