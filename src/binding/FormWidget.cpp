// SPDX-License-Identifier: MIT
#include "binding/FormWidget.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QRegion>
#include <QScopedValueRollback>
#include <QTimer>

#include "binding/Convert.h"
#include "binding/MouseInput.h"

namespace binding {

using platform::Property;

FormWidget::FormWidget(platform::Form& form) : QWidget(nullptr), View(form, *this) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    setWindowTitle(ToQString(form.Caption()));
    ApplyFrame();
    Place();
    Update(Property::Picture);
    ApplyRegion();
}

void FormWidget::Place() {
    const QSize size(Px(m_control->Width()), Px(m_control->Height()));
    if (this->size() != size) {
        setFixedSize(size);
    }
    move(Px(m_control->Left()), Px(m_control->Top()));
}

void FormWidget::ApplyFrame() {
    const bool frameless = Form()->BorderStyle() == platform::vbBSNone;
    if (frameless != windowFlags().testFlag(Qt::FramelessWindowHint)) {
        const bool shown = isVisible();
        setWindowFlag(Qt::FramelessWindowHint, frameless);
        if (shown) {
            show();  // changing the flags takes the window down
        }
    }
}

void FormWidget::PropertyChanged(Property p) {
    if (m_control != nullptr && (p == Property::Visible || p == Property::WindowState)) {
        ApplyShown();
        return;
    }
    View::PropertyChanged(p);
}

// The window on screen follows the model's visibility and state together. A window the model
// hides is withdrawn, never iconified first: the window manager carries out an iconify request
// some time later, when the window may already be hidden or shown again, and its late report
// would then put the model out of step with what the user sees (a tray click that shows a
// window the user cannot see, the next one hiding it).
void FormWidget::ApplyShown() {
    const bool visible = m_control->Visible();
    const int state = Form()->WindowState();
    const Qt::WindowStates plain = windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
    const QScopedValueRollback<bool> applying(m_applyingState, true);
    if (!visible) {
        // Only withdrawn: a state change now would map a window the window manager has
        // iconified. The state is set when the window is shown again.
        if (isVisible()) {
            hide();
        }
        return;
    }
    switch (state) {
        case platform::vbMinimized:
            // Minimised and still shown (a desktop without a tray keeps it on the task bar).
            // Asked once the handler that minimised it is over: a hide in the same handler
            // wins without the window manager ever seeing an iconify request.
            if (!m_iconifyPending) {
                m_iconifyPending = true;
                QTimer::singleShot(0, this, [this] {
                    m_iconifyPending = false;
                    if (m_control != nullptr && Form()->Visible() &&
                        Form()->WindowState() == platform::vbMinimized) {
                        const QScopedValueRollback<bool> again(m_applyingState, true);
                        showMinimized();
                    }
                });
            }
            return;
        case platform::vbMaximized:
            setWindowState(plain | Qt::WindowMaximized);
            break;
        default:
            // Clears an iconified state the window manager left (it would map the window
            // iconified again), then shows.
            setWindowState(plain);
            break;
    }
    if (!isVisible()) {
        show();
    }
    raise();
    activateWindow();
}

void FormWidget::ApplyRegion() {
    // The window's shape: outside it the window is see-through and takes no clicks.
    const auto& region = Form()->WindowRegion();
    if (!region) {
        clearMask();
        return;
    }
    QRegion mask;
    for (const platform::gdi::RECT& rc : *region) {
        mask += QRect(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top);
    }
    // An empty shape would mean no mask at all to Qt; a window shaped to nothing shows nothing.
    setMask(mask.isEmpty() ? QRegion(-1, -1, 1, 1) : mask);
}

void FormWidget::Update(Property p) {
    switch (p) {
        case Property::Region:
            ApplyRegion();
            break;
        case Property::Caption:
            setWindowTitle(ToQString(Form()->Caption()));
            ApplyFrame();
            break;
        case Property::BorderStyle:
            ApplyFrame();
            break;
        case Property::Picture: {
            const std::span<const std::uint8_t> ico = Form()->IconData();
            if (!ico.empty()) {
                QPixmap pm;
                pm.loadFromData(ico.data(), static_cast<uint>(ico.size()), "ICO");
                setWindowIcon(QIcon(pm));
            }
            update();
            break;
        }
        case Property::Focus:
            show();
            raise();
            activateWindow();
            break;
        default:
            update();
            break;
    }
}

void FormWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (m_control == nullptr) {
        return;
    }
    // What is kept on the window's surface (the background with what was drawn on it), or the
    // background picture unscaled from the top-left corner, clipped to the window.
    if (const platform::gdi::Bitmap* surface = Form()->Image()) {
        painter.drawImage(0, 0, ImageOf(*surface));
    } else if (const auto& picture = Form()->Picture()) {
        painter.drawImage(0, 0, ImageOf(*picture));
    } else {
        painter.fillRect(rect(), palette().window());
    }
}

void FormWidget::changeEvent(QEvent* e) {
    QWidget::changeEvent(e);
    // Only what the window manager does to a window on screen is news to the model; the
    // states the binding sets itself, and late reports about a window already withdrawn, are
    // not.
    if (e->type() == QEvent::WindowStateChange && m_control != nullptr && !m_applyingState &&
        isVisible()) {
        const Qt::WindowStates s = windowState();
        const int state = s.testFlag(Qt::WindowMinimized)   ? platform::vbMinimized
                          : s.testFlag(Qt::WindowMaximized) ? platform::vbMaximized
                                                            : platform::vbNormal;
        Form()->WindowStateFromView(state);
    }
}

bool FormWidget::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate && m_control != nullptr) {
        Form()->ActivatedFromView();
    } else if (e->type() == QEvent::WindowDeactivate && m_control != nullptr) {
        Form()->DeactivatedFromView();
    }
    return QWidget::event(e);
}

void FormWidget::mousePressEvent(QMouseEvent* e) {
    m_pressed = true;
    m_following = false;
    m_pressAt = e->globalPosition();
    if (m_control != nullptr) {
        Form()->MouseDown.Raise(ButtonOf(e->button()), ShiftOf(e->modifiers()),
                                ToTwips(e->position().x()), ToTwips(e->position().y()));
    }
}

bool FormWidget::FollowPointer() {
    // A press whose release the window manager took (it moved the window) is over too.
    if (!m_pressed || QGuiApplication::mouseButtons() == Qt::NoButton) {
        m_pressed = false;
        return false;
    }
    m_following = true;
    m_startedAt = pos();
    return true;
}

// While a button is down the window has every move of the pointer, wherever it goes.
void FormWidget::mouseMoveEvent(QMouseEvent* e) {
    if (!m_following) {
        QWidget::mouseMoveEvent(e);
        return;
    }
    if (e->buttons() == Qt::NoButton) {  // the release went elsewhere
        m_pressed = m_following = false;
        return;
    }
    move(m_startedAt + (e->globalPosition() - m_pressAt).toPoint());
}

void FormWidget::mouseReleaseEvent(QMouseEvent* e) {
    if (e->buttons() == Qt::NoButton) {
        m_pressed = m_following = false;
    }
    QWidget::mouseReleaseEvent(e);
}

void FormWidget::moveEvent(QMoveEvent* e) {
    QWidget::moveEvent(e);
    if (m_control != nullptr && !isMinimized()) {
        m_control->GeometryFromView(ToTwips(pos().x()), ToTwips(pos().y()), m_control->Width(),
                                    m_control->Height());
    }
}

void FormWidget::closeEvent(QCloseEvent* e) {
    // A close request from the window system (Alt+F4, a task-bar menu) is the form's to decide.
    e->ignore();
    if (m_control != nullptr) {
        Form()->CloseRequested();
    }
}

}  // namespace binding
