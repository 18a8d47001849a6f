// SPDX-License-Identifier: MIT
#include "gif/Mod_IntImg.h"

namespace core {

platform::PicturePtr LoadImageFile(const std::filesystem::path& path) {
    const std::filesystem::path file = path;
    try {
        platform::PicturePtr picture;
        // Its result code is not looked at: no picture is simply no picture.
        platform::OleLoadPicturePath(file, &picture);
        return picture;
    } catch (...) {
        return platform::LoadPicture(file);
    }
}

}  // namespace core
