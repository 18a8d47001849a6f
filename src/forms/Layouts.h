// SPDX-License-Identifier: MIT
// What the window layouts need from the program's carried files and its data directory.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string_view>

#include "platform/DataPaths.h"
#include "platform/gdi/Gdi.h"

namespace core {

// A background picture carried inside the program (a bitmap file by its name), decoded once.
std::shared_ptr<const platform::gdi::Bitmap> LayoutPicture(std::string_view name);

// The path of data file `name` to read or to write: beside the executable in a build tree or
// a portable copy; installed, the pictures that came with the program are read from its share
// directory and what it writes goes to the user's data directory (see platform/DataPaths.h).
std::filesystem::path DataFile(std::string_view name, platform::DataAccess access);
// The directory the program writes its data files into.
std::filesystem::path DataWriteDirectory();

// Writes `bytes` as the data file `name`, making its directory when it is missing; the file is
// replaced at once, so a reader never finds part of it. A failure is told on stderr ("cannot
// write <what> <file>") and gives false; the old file then stays as it was. An installed
// program's user directory that cannot be made or written is told once, as one line, and
// every write there then gives false quietly.
bool WriteDataFile(std::string_view name, std::span<const std::uint8_t> bytes,
                   std::string_view what = {});

}  // namespace core
