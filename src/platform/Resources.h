// SPDX-License-Identifier: MIT
// What the program carries inside itself: the pictures the windows show, the custom
// resources (the three GIF banners) and the version.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace platform {

// The custom resource `id` of type `type` (101..103 of "CUSTOM" are the banners): its bytes
// unchanged, empty when there is none.
std::vector<std::uint8_t> LoadResData(int id, std::string_view type);
// A file carried inside the program, by its name in assets/ (e.g. "FrmMain.bmp"); empty span
// when unknown.
std::span<const std::uint8_t> EmbeddedFile(std::string_view name);
// The program's version, "1.0.0", from the CMake project.
std::string_view AppVersion();

}  // namespace platform
