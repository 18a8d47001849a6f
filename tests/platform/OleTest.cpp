// SPDX-License-Identifier: MIT
#include "platform/Ole.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>
#include <vector>

#include "platform/Services.h"

namespace {

using platform::gdi::Bitmap;

class FakeDecoder final : public platform::IPictureDecoder {
  public:
    std::optional<Bitmap> Decode(const std::filesystem::path& path) override {
        paths.push_back(path);
        return answer(path);
    }
    std::function<std::optional<Bitmap>(const std::filesystem::path&)> answer;
    std::vector<std::filesystem::path> paths;
};

Bitmap Pixels(int w, int h, platform::gdi::Pixel p) {
    Bitmap b(w, h, 32);
    for (auto& q : b.Pixels()) {
        q = p;
    }
    return b;
}

TEST(OleTest, WithoutADecoderNothingLoads) {
    platform::PicturePtr picture = std::make_shared<platform::Picture>(nullptr);
    EXPECT_EQ(platform::OleLoadPicturePath("/any/file.gif", &picture), platform::E_FAIL);
    EXPECT_EQ(picture, nullptr);
    EXPECT_THROW(platform::LoadPicture("/any/file.gif"), std::runtime_error);
}

TEST(OleTest, PicturesOwnTheirBitmaps) {
    FakeDecoder decoder;
    decoder.answer = [](const std::filesystem::path&) { return Pixels(3, 2, 0x00112233u); };
    platform::ServicesScope scope{platform::Services{.pictures = &decoder}};
    const size_t live = platform::gdi::LiveObjectCount();
    platform::PicturePtr picture;
    ASSERT_EQ(platform::OleLoadPicturePath("/pictures/a.bmp", &picture), platform::S_OK);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(decoder.paths, std::vector<std::filesystem::path>{"/pictures/a.bmp"});
    EXPECT_EQ(picture->Width(), 3);
    EXPECT_EQ(picture->Height(), 2);
    const Bitmap* bits = platform::gdi::BitmapOf(picture->Handle());
    ASSERT_NE(bits, nullptr);
    EXPECT_EQ(bits->BitsPerPixel(), 32);
    EXPECT_EQ(bits->At(2, 1), 0xFF112233u) << "opaque";
    EXPECT_EQ(platform::gdi::LiveObjectCount(), live + 1);
    // Shared references: the bitmap goes with the last one.
    platform::PicturePtr copy = picture;
    picture.reset();
    EXPECT_EQ(platform::gdi::LiveObjectCount(), live + 1);
    // Its bitmap can be selected into a memory context, as the compositor does.
    platform::gdi::HDC dc = platform::gdi::CreateCompatibleDC(nullptr);
    platform::gdi::HGDIOBJ old = platform::gdi::SelectObject(dc, copy->Handle());
    EXPECT_NE(old, nullptr);
    platform::gdi::SelectObject(dc, old);
    platform::gdi::DeleteDC(dc);
    copy.reset();
    EXPECT_EQ(platform::gdi::LiveObjectCount(), live);
    EXPECT_NE(platform::LoadPicture("/pictures/b.png"), nullptr);
    EXPECT_EQ(platform::OleLoadPicturePath("/x", nullptr), platform::E_POINTER);
}

TEST(OleTest, DecoderFailures) {
    FakeDecoder decoder;
    platform::ServicesScope scope{platform::Services{.pictures = &decoder}};
    platform::PicturePtr picture;
    struct Case {
        const char* name;
        std::function<std::optional<Bitmap>(const std::filesystem::path&)> answer;
    };
    const Case quiet[] = {
        {"nothing", [](const auto&) { return std::nullopt; }},
        {"a failure", [](const auto&) -> std::optional<Bitmap> { throw std::runtime_error("x"); }},
        {"too large", [](const auto&) { return Bitmap(40000, 1, 32); }},
        {"empty", [](const auto&) { return Bitmap(0, 0, 32); }},
    };
    for (const Case& c : quiet) {
        decoder.answer = c.answer;
        EXPECT_EQ(platform::OleLoadPicturePath("/p", &picture), platform::E_FAIL) << c.name;
        EXPECT_EQ(picture, nullptr) << c.name;
        EXPECT_THROW(platform::LoadPicture("/p"), std::exception) << c.name;
    }
    decoder.answer = [](const auto&) -> std::optional<Bitmap> { throw std::bad_alloc(); };
    EXPECT_THROW(platform::OleLoadPicturePath("/p", &picture), std::bad_alloc);
}

TEST(OleTest, FirstGifImageIsFoundByItsBlocks) {
    using Bytes = std::vector<std::uint8_t>;
    const Bytes screen = {'G', 'I', 'F', '8', '9', 'a', 9, 0, 9, 0, 0x00, 0, 0};
    const Bytes screenWithTable = {'G',  'I', 'F', '8', '7', 'a', 9, 0, 9, 0,
                                   0x80, 0,   0,   1,   2,   3,   4, 5, 6};
    const Bytes image = {0x2C, 1, 0, 2, 0, 3, 1, 4, 0, 0x00};
    struct Case {
        const char* name;
        std::vector<Bytes> parts;
        std::optional<size_t> offset;
    };
    const Case cases[] = {
        {"at once", {screen, image}, 13},
        {"after the table", {screenWithTable, image}, 19},
        {"after extensions",
         {screen, {0x21, 0xF9, 4, 1, 0, 0, 0, 0}, {0x21, 0xFE, 2, 'h', 'i', 1, '!', 0}, image},
         13 + 8 + 8},
        {"descriptor cut short", {screen, {0x2C, 1, 0, 2}}, std::nullopt},
        {"trailer first", {screen, {0x3B}, image}, std::nullopt},
        {"chain runs off", {screen, {0x21, 0xFE, 200, 'x'}}, std::nullopt},
        {"no GIF", {{'P', 'N', 'G', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, image}, std::nullopt},
        {"too short", {{'G', 'I', 'F'}}, std::nullopt},
        {"table beyond the end",
         {{'G', 'I', 'F', '8', '9', 'a', 9, 0, 9, 0, 0x87, 0, 0}},
         std::nullopt},
    };
    for (const Case& c : cases) {
        Bytes bytes;
        for (const Bytes& part : c.parts) {
            bytes.insert(bytes.end(), part.begin(), part.end());
        }
        const auto found = platform::FindFirstGifImage(bytes);
        ASSERT_EQ(found.has_value(), c.offset.has_value()) << c.name;
        if (found) {
            EXPECT_EQ(found->descriptorOffset, *c.offset) << c.name;
            EXPECT_EQ(found->left, 1);
            EXPECT_EQ(found->top, 2);
            EXPECT_EQ(found->width, 259);
            EXPECT_EQ(found->height, 4);
        }
    }
}

}  // namespace
