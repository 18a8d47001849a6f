// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/Control.h"
#include "platform/Menu.h"
#include "platform/Surface.h"
#include "platform/gdi/Gdi.h"

namespace platform {

constexpr int vbNormal = 0;
constexpr int vbMinimized = 1;
constexpr int vbMaximized = 2;

constexpr int vbBSNone = 0;
constexpr int vbSizable = 2;

// A top-level window. Its Left and Top are its position on the screen, Width and Height the
// size of its client area (the windows of this program have no frame once loaded).
class Form : public Control {
  public:
    explicit Form(std::string name);
    ~Form() override;

    gdi::HWND hWnd() const { return m_hWnd; }
    static Form* FromHandle(gdi::HWND hWnd);

    const std::u16string& Caption() const { return m_caption; }
    // Assigning the caption, even the same one, rebuilds the window frame.
    void SetCaption(std::u16string caption);
    int BorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(int style);
    int WindowState() const { return m_windowState; }
    // Changing the state raises Resize, as a change of the window's size does.
    void SetWindowState(int state);
    bool CenteredOnLoad() const { return m_centred; }
    void SetCenteredOnLoad(bool v) { m_centred = v; }

    // The background picture, drawn unscaled from the top-left corner and clipped.
    const std::shared_ptr<const gdi::Bitmap>& Picture() const { return m_picture; }
    void SetPicture(std::shared_ptr<const gdi::Bitmap> picture);
    // The icon file (.ico bytes) and its handle for the shell.
    std::span<const std::uint8_t> IconData() const { return m_icon; }
    std::int32_t Icon() const { return m_iconHandle; }
    void SetIcon(std::span<const std::uint8_t> icoFile);

    // The inner size in the window's own units (twips): the client area.
    Twips ScaleWidth() const { return Width(); }
    Twips ScaleHeight() const { return Height(); }
    // The font that text drawn on the window's surface uses (the window's own font).
    const platform::Font& TextFont() const { return m_font; }
    void SetTextFont(platform::Font font);

    // Persistent drawing. While it is on, the window keeps what is drawn on it in a
    // client-sized bitmap that starts as the background picture (unscaled from the top-left
    // corner, clipped; the button-face colour where the picture does not reach), and its view
    // paints from that bitmap.
    bool AutoRedraw() const { return m_surface.Active(); }
    void SetAutoRedraw(bool on);
    // The surface's device context: black text without a background box, in the window's
    // font. Null while persistent drawing is off.
    gdi::HDC hDC();
    // The surface's pixels (null while persistent drawing is off).
    const gdi::Bitmap* Image();

    // The window's shape, as rectangles of client pixels; none: the whole rectangle. Given by
    // SetWindowRgn.
    const std::optional<std::vector<gdi::RECT>>& WindowRegion() const { return m_region; }
    void SetWindowRegion(std::optional<std::vector<gdi::RECT>> region);

    bool IsLoaded() const { return m_loaded; }
    // Creates the window (hidden) and raises Load; nothing when already loaded.
    void Load();
    // Loads when needed and shows the window.
    void Show();
    void Hide() { SetVisible(false); }
    // Raises Unload, stops the form's timers and destroys the window.
    void Unload();
    // Asks the view to bring the window to the front and activate it.
    void BringToFront() { Changed(Property::Focus); }
    // Shows the items of `menu` as a pop-up menu at the mouse pointer and returns when it has
    // closed (after the chosen item's Click has run).
    void PopupMenu(Menu& menu);

    // From the view: the window system changed the state (the user minimised the window).
    void WindowStateFromView(int state);
    // From the view: the window system made the window the active one, or took that away.
    // Activate is raised once for each time the window becomes active: a form is active from
    // the end of the load (or the Show) that made it visible, so the window system's later
    // report of that same activation raises nothing.
    void ActivatedFromView();
    void DeactivatedFromView() { m_active = false; }
    bool IsActive() const { return m_active; }
    void SetVisible(bool v) override;
    // From the view: the window system asks the window to close. QueryUnload may cancel;
    // otherwise the form unloads.
    void CloseRequested();

    Event<> LoadEvent;
    Event<> Activate;
    Event<> Resize;
    Event<> UnloadEvent;
    Event<bool&> QueryUnload;  // set the argument to cancel a close asked for by the system
    Event<std::int16_t, std::int16_t, float, float> MouseMove;
    Event<std::int16_t, std::int16_t, float, float> MouseDown;
    Event<std::int16_t, std::int16_t, float, float> MouseUp;

  private:
    gdi::HWND m_hWnd;
    std::u16string m_caption;
    int m_borderStyle = vbSizable;
    int m_windowState = vbNormal;
    bool m_centred = true;
    bool m_loaded = false;
    bool m_active = false;
    std::shared_ptr<const gdi::Bitmap> m_picture;
    std::span<const std::uint8_t> m_icon;
    std::int32_t m_iconHandle = 0;
    platform::Font m_font;
    std::optional<std::vector<gdi::RECT>> m_region;
    Surface m_surface;

    void PaintBackground(gdi::Bitmap& target) const;
    void FitSurface();
    void ActivateIfShown();
};

// The window system: makes a loaded form real on screen and takes it down again.
class IWindowSystem {
  public:
    virtual ~IWindowSystem() = default;
    virtual void Realize(Form& form) = 0;
    virtual void Destroy(Form& form) = 0;
    // A modal pop-up of `menu`'s items at the pointer, owned by `owner`.
    virtual void PopupMenu(Form& owner, Menu& menu) = 0;
    // Starts the window system's own interactive move of `form`'s window, driven by the mouse
    // button that is down; false when the window system cannot.
    virtual bool StartSystemMove(Form& /*form*/) { return false; }
    // Ends any mouse capture.
    virtual void ReleaseCapture() {}
};

// The installed window system, or one that shows nothing.
IWindowSystem& Windows();

}  // namespace platform
