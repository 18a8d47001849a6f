// SPDX-License-Identifier: MIT
// What the window layouts need from the program's carried files and its data directory.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string_view>

#include "platform/gdi/Gdi.h"

namespace core {

// A background picture carried inside the program (a bitmap file by its name), decoded once.
std::shared_ptr<const platform::gdi::Bitmap> LayoutPicture(std::string_view name);

// The data directory beside the executable: <program directory>/data/image.
std::filesystem::path DataDirectory();

// Writes `bytes` as the file `name` of the data directory, making the directory when it is
// missing; the file is replaced at once, so a reader never finds part of it. A failure is told
// on stderr ("cannot write <what> <file>") and gives false; the old file then stays as it was.
bool WriteDataFile(std::string_view name, std::span<const std::uint8_t> bytes,
                   std::string_view what = {});

}  // namespace core
