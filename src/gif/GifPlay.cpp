// SPDX-License-Identifier: MIT
#include "gif/GifPlay.h"

#include "platform/Kernel.h"

namespace core {

namespace gdi = platform::gdi;

namespace {

constexpr gdi::COLORREF kWhite = gdi::RGB(255, 255, 255);

}  // namespace

GifPlay::GifPlay(std::string name, int index) : UserControl(std::move(name), index) {
    m_Frame = -1;
    m_Loaded = false;
    SetBackColor(kWhite);
    Add(tmrRun);
    tmrRun.TimerEvent.Connect([this] { tmrRun_Timer(); });
}

GifPlay::~GifPlay() {
    GifStop();
    m_Gif.reset();
}

void GifPlay::Play(const std::string& strName, bool bFlags, std::int32_t intUseDelay,
                   std::int32_t intDelay) {
    if (!platform::FileExists(strName)) {
        return;
    }
    Refresh();
    const gdi::HDC surface = hDC();
    if (m_Gif == nullptr) {
        m_Gif = std::make_shared<clsGifs>();
    }
    m_Gif->InitDC(surface, strName, BackColor());
    m_Gif->fGifBreakOutFrames();
    m_Gif->SetUserDelay(intDelay);
    m_Loaded = true;
    m_UseDelay = intUseDelay;
    m_Delays.clear();
    m_Count = m_Gif->GetDelayTime(m_Delays);
    m_Cur = 0;
    if (m_Count > 0) {
        SetInterval(FrameInterval(0));
        m_Frame = bFlags ? -1 : 0;
        tmrRun.SetEnabled(true);
    } else if (m_Delays.size() == 1) {
        // One image: a still picture, drawn once.
        tmrRun.SetEnabled(false);
        std::int32_t first = 0;
        Draw(first);
    }
}

bool GifPlay::Draw(std::int32_t& frame) {
    const std::shared_ptr<clsGifs> gif = m_Gif;
    const std::weak_ptr<const bool> alive = m_alive;
    const std::int32_t drawn = gif->RenderGif(frame);
    if (alive.expired()) {
        return false;  // the compositor goes with `gif`, now that it is done
    }
    m_Drawn = drawn;
    return true;
}

void GifPlay::tmrRun_Timer() {
    if (!m_Loaded || m_Count <= 0) {
        return;
    }
    const std::int32_t asked = m_Frame;
    std::int32_t frame = asked;
    if (!Draw(frame)) {
        return;
    }
    // The compositor's correction counts, unless a handler chose another frame meanwhile.
    if (m_Frame == asked) {
        m_Frame = frame;
    }
    // Each frame stays for its own delay, in automatic mode as in hold mode.
    std::uint32_t interval = FrameInterval(m_Drawn);
    if (m_Frame > -1) {
        m_Cur = m_Cur + 1;
        if (m_Cur > m_Count) {
            m_Cur = 0;
        }
        if (m_UseDelay > 0 && m_Cur == 0) {
            interval = static_cast<std::uint32_t>(m_UseDelay);
        }
    }
    SetInterval(interval);
}

std::uint32_t GifPlay::FrameInterval(std::int32_t k) const {
    std::int32_t delay = 0;
    if (k >= 0 && static_cast<std::size_t>(k) < m_Delays.size()) {
        delay = m_Delays[static_cast<std::size_t>(k)];
    }
    if (delay < 2) {
        delay = 10;
    }
    const std::int32_t user = m_Gif != nullptr ? m_Gif->UserDelay() : 0;
    return static_cast<std::uint32_t>(delay) * 10u + static_cast<std::uint32_t>(user);
}

// A running timer given the interval it already has goes on counting as it was.
void GifPlay::SetInterval(std::uint32_t ms) {
    if (tmrRun.Interval() != ms) {
        tmrRun.SetInterval(ms);
    }
}

void GifPlay::GifStop() {
    if (m_Loaded && m_Count > 0) {
        m_Frame = m_Cur;
    }
}

void GifPlay::GifRestart() {
    if (m_Loaded && m_Count > 0) {
        m_Frame = -1;
    }
}

void GifPlay::GifFrame(bool FrameFlag, std::int16_t Num) {
    if (m_Loaded && m_Count > 0) {
        if (Num >= 1) {
            m_Frame = Num - 1;
        } else {
            m_Frame = FrameFlag ? 0 : m_Count;
        }
    }
}

std::int32_t GifPlay::GetFrameNum() const {
    return m_Loaded ? m_Count + 1 : 0;
}

// The pointer is inside while 0 ≤ X ≤ width and 0 ≤ Y ≤ height (the edges count as inside).
// Inside, the control takes the mouse, so that the first move outside still reaches it.
void GifPlay::UserControl_MouseMove(std::int16_t Button, std::int16_t Shift, float X, float Y) {
    const float width = Width();
    const float height = Height();
    if (X >= 0 && X <= width && Y >= 0 && Y <= height) {
        MouseMove.Raise(Button, Shift, X, Y);
        SetCapture();
    } else {
        MouseLeave.Raise();
        ReleaseCapture();
    }
}

void GifPlay::UserControl_MouseDown(std::int16_t Button, std::int16_t Shift, float X, float Y) {
    MouseDown.Raise(Button, Shift, X, Y);
}

void GifPlay::UserControl_MouseUp(std::int16_t Button, std::int16_t Shift, float X, float Y) {
    MouseUp.Raise(Button, Shift, X, Y);
}

void GifPlay::UserControl_Click() {
    Click.Raise();
}

void GifPlay::UserControl_ReadProperties(const platform::PropertyBag& PropBag) {
    SetBackColor(static_cast<gdi::COLORREF>(PropBag.ReadProperty("GifBKColor", kWhite)));
}

void GifPlay::UserControl_WriteProperties(platform::PropertyBag& PropBag) const {
    PropBag.WriteProperty("GifBKColor", BackColor(), kWhite);
}

}  // namespace core
