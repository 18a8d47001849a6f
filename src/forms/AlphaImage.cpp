// SPDX-License-Identifier: MIT
#include "forms/AlphaImage.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace core {
namespace {

constexpr std::uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

bool LooksLikePng(const std::vector<std::uint8_t>& bytes) {
    return bytes.size() > sizeof kPngSignature &&
           std::equal(std::begin(kPngSignature), std::end(kPngSignature), bytes.begin());
}

}  // namespace

void AlphaImage::SetImage(std::span<const std::uint8_t> png) {
    m_png.assign(png.begin(), png.end());
    Changed(platform::Property::Picture);
}

bool AlphaImage::LoadPicture(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                    std::istreambuf_iterator<char>()};
    if (!LooksLikePng(bytes)) {
        return false;
    }
    if (bytes != m_png) {
        m_png = std::move(bytes);
        Changed(platform::Property::Picture);
    }
    return true;
}

}  // namespace core
