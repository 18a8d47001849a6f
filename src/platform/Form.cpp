// SPDX-License-Identifier: MIT
#include "platform/Form.h"

#include <algorithm>
#include <unordered_map>

#include "platform/Services.h"
#include "platform/Shell.h"
#include "platform/Timer.h"

namespace platform {
namespace {

std::unordered_map<gdi::HWND, Form*>& Handles() {
    static std::unordered_map<gdi::HWND, Form*> handles;
    return handles;
}

gdi::HWND NextHandle() {
    static gdi::HWND next = 0x10000;
    return next += 4;
}

// Timers run while their form is loaded.
void RestartTimers(Control& c) {
    for (Control* child : c.Controls()) {
        if (auto* timer = dynamic_cast<Timer*>(child)) {
            timer->Restart();
        }
        RestartTimers(*child);
    }
}

class NoWindows final : public IWindowSystem {
  public:
    void Realize(Form&) override {}
    void Destroy(Form&) override {}
    void PopupMenu(Form&, Menu&) override {}
};

}  // namespace

Form::Form(std::string name) : Control(std::move(name)), m_hWnd(NextHandle()) {
    Control::SetVisible(false);
    Handles()[m_hWnd] = this;
}

Form::~Form() {
    Handles().erase(m_hWnd);
    if (m_iconHandle != 0) {
        DestroyIcon(m_iconHandle);
    }
}

Form* Form::FromHandle(gdi::HWND hWnd) {
    const auto it = Handles().find(hWnd);
    return it != Handles().end() ? it->second : nullptr;
}

void Form::SetCaption(std::u16string caption) {
    m_caption = std::move(caption);
    Changed(Property::Caption);
}

void Form::SetBorderStyle(int style) {
    m_borderStyle = style;
    Changed(Property::BorderStyle);
}

void Form::SetWindowState(int state) {
    if (state == m_windowState) {
        return;
    }
    m_windowState = state;
    Changed(Property::WindowState);
    Resize.Raise();
}

void Form::WindowStateFromView(int state) {
    if (state == m_windowState) {
        return;
    }
    m_windowState = state;
    Resize.Raise();
}

void Form::CloseRequested() {
    bool cancel = false;
    QueryUnload.Raise(cancel);
    if (!cancel) {
        Unload();
    }
}

void Form::SetPicture(std::shared_ptr<const gdi::Bitmap> picture) {
    m_picture = std::move(picture);
    // A new picture is the surface's new background; what was drawn on it is gone.
    m_surface.Repaint([this](gdi::Bitmap& b) { PaintBackground(b); });
    Changed(Property::Picture);
}

void Form::SetTextFont(platform::Font font) {
    m_font = std::move(font);
    m_surface.SetFont(m_font);
    Changed(Property::Font);
}

void Form::PaintBackground(gdi::Bitmap& target) const {
    std::fill(target.Pixels().begin(), target.Pixels().end(),
              gdi::ToPixel(gdi::GetSysColor(gdi::COLOR_BTNFACE)));
    if (m_picture == nullptr) {
        return;
    }
    const int width = std::min(target.Width(), m_picture->Width());
    const int height = std::min(target.Height(), m_picture->Height());
    for (int y = 0; y < height; ++y) {
        const gdi::Pixel* in = m_picture->Row(y);
        gdi::Pixel* out = target.Row(y);
        for (int x = 0; x < width; ++x) {
            out[x] = in[x] | gdi::kOpaque;
        }
    }
}

void Form::SetAutoRedraw(bool on) {
    if (on == m_surface.Active()) {
        return;
    }
    if (on) {
        m_surface.Create(
            TwipsToPixels(ScaleWidth()), TwipsToPixels(ScaleHeight()),
            [this](gdi::Bitmap& b) { PaintBackground(b); }, m_font,
            [this] { Changed(Property::Surface); });
    } else {
        m_surface.Release();
        Changed(Property::Surface);
    }
}

void Form::FitSurface() {
    m_surface.Resize(TwipsToPixels(ScaleWidth()), TwipsToPixels(ScaleHeight()),
                     [this](gdi::Bitmap& b) { PaintBackground(b); });
}

gdi::HDC Form::hDC() {
    FitSurface();
    return m_surface.Dc();
}

const gdi::Bitmap* Form::Image() {
    FitSurface();
    return m_surface.Image();
}

void Form::SetWindowRegion(std::optional<std::vector<gdi::RECT>> region) {
    m_region = std::move(region);
    Changed(Property::Region);
}

void Form::SetIcon(std::span<const std::uint8_t> icoFile) {
    if (m_iconHandle != 0) {
        DestroyIcon(m_iconHandle);
    }
    m_icon = icoFile;
    m_iconHandle = CreateIconFromFile(icoFile);
    Changed(Property::Picture);
}

void Form::Load() {
    if (m_loaded) {
        return;
    }
    m_loaded = true;
    RestartTimers(*this);
    if (m_centred) {
        // Centred in whole pixels, in the pixels the window is placed in: 15 twips each
        // whatever the screen's logical dpi, for its size as for its position.
        const IScreen& screen = Screen();
        const long long x = RoundHalfEven((screen.Width() - TwipsToPixels(Width())) / 2.0);
        const long long y = RoundHalfEven((screen.Height() - TwipsToPixels(Height())) / 2.0);
        SetLeft(static_cast<Twips>(x * kTwipsPerPixel));
        SetTop(static_cast<Twips>(y * kTwipsPerPixel));
    }
    Windows().Realize(*this);
    LoadEvent.Raise();
    // A window that its load has shown is active from here on, before any timer or other
    // message: Load, then Activate.
    ActivateIfShown();
}

void Form::ActivateIfShown() {
    if (m_loaded && Visible() && !m_active) {
        m_active = true;
        Activate.Raise();
    }
}

void Form::ActivatedFromView() {
    if (!m_active) {
        m_active = true;
        Activate.Raise();
    }
}

void Form::SetVisible(bool v) {
    if (!v) {
        m_active = false;  // a hidden window is not the active one
    }
    Control::SetVisible(v);
}

void Form::Show() {
    Load();
    if (m_loaded) {
        SetVisible(true);
        ActivateIfShown();
    }
}

void Form::Unload() {
    if (!m_loaded) {
        return;
    }
    UnloadEvent.Raise();
    m_loaded = false;
    RestartTimers(*this);
    SetVisible(false);
    Windows().Destroy(*this);
}

void Form::PopupMenu(Menu& menu) {
    Windows().PopupMenu(*this, menu);
    if (Process().HasEnded()) {
        throw EndRequested{0};  // an item ended the program: nothing after the pop-up runs
    }
}

IWindowSystem& Windows() {
    static NoWindows none;
    IWindowSystem* installed = CurrentServices().windows;
    return installed != nullptr ? *installed : none;
}

}  // namespace platform
