// SPDX-License-Identifier: MIT
// What the window layouts need from the program's carried files and its data directory.
#pragma once

#include <filesystem>
#include <memory>
#include <string_view>

#include "platform/gdi/Gdi.h"

namespace core {

// A background picture carried inside the program (a bitmap file by its name), decoded once.
std::shared_ptr<const platform::gdi::Bitmap> LayoutPicture(std::string_view name);

// The data directory beside the executable: <program directory>/data/image.
std::filesystem::path DataDirectory();

}  // namespace core
