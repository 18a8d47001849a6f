// SPDX-License-Identifier: MIT
// An animated GIF broken out into frames and drawn frame by frame.
//
// The splitter does not decode image data itself: it walks the file's blocks, writes every
// image as a GIF file of its own in the temporary directory, has the picture loader decode it
// and deletes the file again. The compositor keeps an off-screen canvas the size of the logical
// screen and draws one frame at a time onto it (a plain copy, a masked copy for frames with a
// transparent colour, a background fill for disposal 2), then copies the whole canvas to the
// target context.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Ole.h"
#include "platform/gdi/Gdi.h"

namespace core {

class clsGifs {
  public:
    // A file larger than this is not read at all; the banners are a few hundred kilobytes.
    static constexpr std::size_t kMaxFileBytes = std::size_t{8} << 20;
    // A file with more images than this is not played: each one costs a frame file written,
    // decoded and deleted while the user interface waits.
    static constexpr std::size_t kMaxFrameFiles = 256;

    clsGifs();
    ~clsGifs();

    // Whether `name` is a frame file of the splitter in the temporary directory (a blank, the
    // frame's number cut to two digits, a hexadecimal serial, ".GIF"), or the ".TMP" name that
    // reserved it: what a killed walk can leave behind.
    static bool IsFrameFileName(std::string_view name);
    clsGifs(const clsGifs&) = delete;
    clsGifs& operator=(const clsGifs&) = delete;

    // --- Splitting -------------------------------------------------------------------------
    // Walks the file named by InitDC and leaves the frame tables, the pictures, the counters
    // and the canvas ready for drawing. Always false: success shows in GetDelayTime.
    bool fGifBreakOutFrames();
    // With frames to animate, or one image loaded as a still picture: `lngTime` becomes the
    // frames' delays (hundredths of a second, 0 for a frame without a graphic control
    // extension) and the result is the highest frame index. Otherwise `lngTime` stays as it is
    // and the result is 0.
    std::int32_t GetDelayTime(std::vector<std::int32_t>& lngTime);
    void CleanUp();

    // --- Drawing ---------------------------------------------------------------------------
    // The target context (borrowed), the file for the next walk and the background colour (a
    // system colour when bit 31 is set).
    void InitDC(platform::gdi::HDC hDC, const std::string& gifFileName,
                platform::gdi::COLORREF lngBackColor);
    bool fCreateBitMap();
    // Draws one frame and copies the canvas to the target. −1 draws the next frame; any other
    // value names a frame and is corrected into range in the caller's variable. Returns the
    // frame drawn, or −1 when there was nothing to draw.
    std::int32_t RenderGif(std::int32_t& intFrameNum);
    std::int32_t RenderGif() {
        std::int32_t next = -1;
        return RenderGif(next);
    }
    void EndDC();

    // Milliseconds the player adds to every frame's interval, kept within 1..1000.
    std::int32_t UserDelay() const { return m_UserDelay; }
    void SetUserDelay(std::int32_t lngDelay);
    platform::gdi::HDC hDCImage() const { return m_hDC; }

    // --- What the walk and the drawing leave, for the player and for inspection ------------
    const std::string& FileName() const { return strGifFileNames; }
    const std::vector<std::uint8_t>& FileBytes() const { return m_FileBytes; }
    std::int16_t ScreenWidth() const { return m_ScreenWidth; }
    std::int16_t ScreenHeight() const { return m_ScreenHeight; }
    bool HasGlobalTable() const { return m_HasGlobalTable; }
    std::uint8_t GlobalTableBits() const { return m_GlobalTableBits; }
    std::uint8_t BackIndex() const { return m_BackIndex; }
    const std::array<std::uint8_t, 768>& GlobalTable() const { return m_GlobalTable; }
    const std::array<std::uint8_t, 768>& LocalTable() const { return m_LocalTable; }
    std::int32_t SecondColor() const { return m_SecondColor; }
    const std::vector<std::int16_t>& FrameLeft() const { return m_FrameLeft; }
    const std::vector<std::int16_t>& FrameTop() const { return m_FrameTop; }
    const std::vector<std::int16_t>& FrameWidth() const { return m_FrameWidth; }
    const std::vector<std::int16_t>& FrameHeight() const { return m_FrameHeight; }
    const std::vector<bool>& HasLocalTable() const { return m_HasLocalTable; }
    const std::vector<std::uint8_t>& LocalTableBits() const { return m_LocalTableBits; }
    const std::vector<std::uint8_t>& Disposal() const { return m_Disposal; }
    const std::vector<bool>& HasTransparency() const { return m_HasTransparency; }
    const std::vector<std::uint8_t>& TransIndex() const { return m_TransIndex; }
    const std::vector<std::int32_t>& Delay() const { return m_Delay; }
    const std::vector<std::int32_t>& FrameStart() const { return m_FrameStart; }
    const std::vector<std::int32_t>& FrameEnd() const { return m_FrameEnd; }
    const std::vector<platform::PicturePtr>& FramePics() const { return m_FramePics; }
    std::int16_t LastFrame() const { return m_LastFrame; }
    std::int16_t FrameCount() const { return m_FrameCount; }
    std::int32_t CanvasWidth() const { return m_CanvasWidth; }
    std::int32_t CanvasHeight() const { return m_CanvasHeight; }
    platform::gdi::HBITMAP Canvas() const { return m_hCanvasBmp; }
    platform::gdi::HDC CanvasDC() const { return m_hMemDC; }
    platform::gdi::COLORREF BackColor() const { return m_BackColor; }
    std::int32_t CurFrame() const { return m_CurFrame; }
    // The key colour of the frame drawn last (0 when it had none).
    platform::gdi::COLORREF KeyColour() const;

  private:
    // What the walk does after one of its steps.
    enum class WalkStep {
        GoOn,        // the next block follows
        BlocksOver,  // the file's blocks are over: the frames are written and loaded
        Stop,        // the file ends too early, or a limit is reached: nothing more is built
    };

    void Walk();
    WalkStep ReadFile();
    WalkStep ReadHeader(std::int64_t& p);
    WalkStep ReadExtensions(std::size_t i, std::int64_t& p);
    WalkStep ReadExtension(std::size_t i, std::int64_t& p);
    WalkStep ReadGraphicControl(std::size_t i, std::int64_t p);
    WalkStep ReadImage(std::size_t i, std::int64_t& p);
    WalkStep RecordFrame(std::size_t i, std::int64_t frameStart, std::int64_t frameEnd);
    WalkStep NextFrame(std::int64_t& p) const;
    void GrowColumns(std::size_t i);
    void EmptyColumns();
    WalkStep DuplicateCheck(std::size_t i, std::int64_t tablePos);
    WalkStep WriteAndLoadFrames();
    WalkStep WriteAndLoadFrame(std::size_t k);
    bool fIsStill() const;
    void ReleaseCanvas();
    static std::string MakeTempFileName(std::string path, const std::string& prefix,
                                        const std::string& extension);
    static platform::gdi::COLORREF NearestSolidColor(platform::gdi::COLORREF colour);
    void MaskedTransparentBlt(platform::gdi::HDC dest, platform::gdi::HDC reference,
                              platform::gdi::HDC source, const std::array<std::int32_t, 4>& rect,
                              std::int16_t x, std::int16_t y, platform::gdi::COLORREF key);

    // Reads of the file at position p; false, with `out` untouched, past the file's end.
    bool ReadByte(std::int64_t p, std::uint8_t& out) const;
    bool ReadWord(std::int64_t p, std::int16_t& out) const;
    bool InFile(std::int64_t p) const;
    // The terminator of the sub-block chain whose first size byte is at q; false when the chain
    // runs off the file's end.
    bool SkipChain(std::int64_t q, std::int64_t& terminator) const;

    // The walk.
    std::string strGifFileNames;
    std::vector<std::uint8_t> m_FileBytes;  // position p is m_FileBytes[p - 1]
    std::int16_t m_ScreenWidth = 0;
    std::int16_t m_ScreenHeight = 0;
    bool m_HasGlobalTable = false;
    std::uint8_t m_GlobalTableBits = 0;
    std::uint8_t m_BackIndex = 0;
    std::array<std::uint8_t, 768> m_GlobalTable{};
    std::array<std::uint8_t, 768> m_LocalTable{};
    std::array<std::uint8_t, 3> m_TransRGB{};
    std::int32_t m_SecondColor = 0;

    // One entry per frame.
    std::vector<std::int16_t> m_FrameLeft, m_FrameTop, m_FrameWidth, m_FrameHeight;
    std::vector<bool> m_HasLocalTable;
    std::vector<std::uint8_t> m_LocalTableBits;
    std::vector<std::uint8_t> m_Disposal;
    std::vector<bool> m_HasTransparency;
    std::vector<std::uint8_t> m_TransIndex;
    std::vector<std::int32_t> m_Delay;  // hundredths of a second
    // The transparent colour of a frame with its own table, as that table has it after the
    // duplicate check (a later frame's table does not change it).
    std::vector<platform::gdi::COLORREF> m_LocalKey;
    std::vector<std::int32_t> m_FrameStart;
    std::vector<std::int32_t> m_FrameEnd;
    std::vector<platform::PicturePtr> m_FramePics;
    std::int16_t m_LastFrame = 0;
    std::int16_t m_FrameCount = 0;
    // Whether the last walk went through to its end (frames loaded, canvas made).
    bool m_WalkComplete = false;

    // The drawing.
    platform::gdi::HDC m_hDC = nullptr;
    platform::gdi::HDC m_hMemDC = nullptr;
    platform::gdi::HBITMAP m_hCanvasBmp = nullptr;
    platform::gdi::HBITMAP m_hOldBmp = nullptr;
    std::int32_t m_CanvasWidth = 0;
    std::int32_t m_CanvasHeight = 0;
    platform::gdi::COLORREF m_BackColor = 0;
    platform::gdi::HDC m_hFrameDC = nullptr;
    std::array<std::int32_t, 4> m_DrawRect{};  // left, top, width, height
    std::array<std::uint8_t, 3> m_RGB{};
    std::int32_t m_CurFrame = 0;
    std::int32_t m_UserDelay = 0;
};

}  // namespace core
