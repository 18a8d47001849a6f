// SPDX-License-Identifier: MIT
// The GIF player control: plays an animated GIF file on its own surface, each frame for its own
// delay, and passes its mouse activity on to the host, with a MouseLeave found by capturing the
// mouse.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gif/clsGifs.h"
#include "platform/Timer.h"
#include "platform/UserControl.h"

namespace core {

class GifPlay : public platform::UserControl {
  public:
    explicit GifPlay(std::string name = "GifPlay", int index = -1);
    ~GifPlay() override;

    // Loads `strName` and starts it: automatic advance when `bFlags`, else frame 0 held;
    // `intUseDelay` (ms, above 0) is the pause when a held animation comes round to frame 0;
    // `intDelay` (ms, 1..1000) is added to every frame's delay. A path where no file is found
    // changes nothing. (This is the control's GifPlay method; C++ keeps that name for the
    // control itself.)
    void Play(const std::string& strName, bool bFlags = true, std::int32_t intUseDelay = 0,
              std::int32_t intDelay = 0);
    // Holds the frame the hold counter is at.
    void GifStop();
    // Back to automatic advance, from the compositor's own frame counter.
    void GifRestart();
    // Holds frame Num − 1 when Num ≥ 1, else the first (FrameFlag) or the last frame.
    void GifFrame(bool FrameFlag = true, std::int16_t Num = -1);
    // The number of frames of the file loaded last (a still picture counts 1), 0 before any.
    std::int32_t GetFrameNum() const;

    // The background colour, kept as "GifBKColor" (white by default). A new value counts from
    // the next Play.
    platform::gdi::COLORREF GifBKColor() const { return BackColor(); }
    void SetGifBKColor(platform::gdi::COLORREF c) { SetBackColor(c); }

    platform::Event<> Click;
    platform::Event<std::int16_t, std::int16_t, float, float> MouseMove;
    platform::Event<> MouseLeave;
    platform::Event<std::int16_t, std::int16_t, float, float> MouseDown;
    platform::Event<std::int16_t, std::int16_t, float, float> MouseUp;

    platform::Timer tmrRun{"tmrRun", 1, false};

    // For inspection: the frame handed to the compositor on each tick (−1: automatic), the
    // frame drawn last, and the compositor itself (null before the first file).
    std::int32_t HeldFrame() const { return m_Frame; }
    std::int32_t LastFrameDrawn() const { return m_Drawn; }
    const clsGifs* Gifs() const { return m_Gif.get(); }

  protected:
    void UserControl_MouseMove(std::int16_t Button, std::int16_t Shift, float X, float Y) override;
    void UserControl_MouseDown(std::int16_t Button, std::int16_t Shift, float X, float Y) override;
    void UserControl_MouseUp(std::int16_t Button, std::int16_t Shift, float X, float Y) override;
    void UserControl_Click() override;
    void UserControl_ReadProperties(const platform::PropertyBag& PropBag) override;
    void UserControl_WriteProperties(platform::PropertyBag& PropBag) const override;

  private:
    void tmrRun_Timer();
    // Draws `frame` (corrected in place, as the compositor does). The message loop runs while a
    // frame is drawn, and a handler there may end this control: false then, and nothing of the
    // control may be touched any more.
    bool Draw(std::int32_t& frame);
    // How long frame k stays: its delay in hundredths of a second (under 2 counts as 10, as
    // browsers do) plus the user's delay.
    std::uint32_t FrameInterval(std::int32_t k) const;
    void SetInterval(std::uint32_t ms);

    // Shared with a drawing under way, which keeps the compositor until it is over.
    std::shared_ptr<clsGifs> m_Gif;
    bool m_Loaded = false;
    std::vector<std::int32_t> m_Delays;
    std::int32_t m_Count = 0;
    std::int32_t m_Cur = 0;
    std::int32_t m_UseDelay = 0;
    std::int32_t m_Frame = -1;
    std::int32_t m_Drawn = -1;
    // Goes with the control: a drawing under way finds out from it that the control has gone.
    std::shared_ptr<const bool> m_alive = std::make_shared<const bool>(true);
};

}  // namespace core
