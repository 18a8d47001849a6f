// SPDX-License-Identifier: MIT
#include "qt/Widgets.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>
#include <QScopedValueRollback>
#include <QTimer>
#include <QWindow>

#include "forms/AlphaImage.h"
#include "forms/OptionButton.h"
#include "forms/TextBox.h"
#include "qt/Convert.h"

namespace binding {

using platform::Property;

// --- View -----------------------------------------------------------------------------------

View::View(platform::Control& control, QWidget& widget) : m_control(&control), m_widget(widget) {
    control.SetView(this);
}

View::~View() {
    if (m_control != nullptr) {
        m_control->SetView(nullptr);
    }
}

void View::Place() {
    m_widget.setGeometry(Px(m_control->Left()), Px(m_control->Top()), Px(m_control->Width()),
                         Px(m_control->Height()));
}

void View::PropertyChanged(Property p) {
    if (m_control == nullptr) {
        return;
    }
    switch (p) {
        case Property::Geometry:
            Place();
            break;
        case Property::Visible:
            m_widget.setVisible(m_control->Visible());
            break;
        case Property::Enabled:
            m_widget.setEnabled(m_control->Enabled());
            break;
        case Property::Focus:
            m_widget.setFocus(Qt::OtherFocusReason);
            break;
        default:
            break;
    }
    Update(p);
}

std::int16_t ButtonOf(Qt::MouseButton b) {
    switch (b) {
        case Qt::LeftButton:
            return platform::vbLeftButton;
        case Qt::RightButton:
            return platform::vbRightButton;
        case Qt::MiddleButton:
            return platform::vbMiddleButton;
        default:
            return 0;
    }
}

std::int16_t ButtonsOf(Qt::MouseButtons b) {
    std::int16_t v = 0;
    if (b & Qt::LeftButton) {
        v |= platform::vbLeftButton;
    }
    if (b & Qt::RightButton) {
        v |= platform::vbRightButton;
    }
    if (b & Qt::MiddleButton) {
        v |= platform::vbMiddleButton;
    }
    return v;
}

std::int16_t ShiftOf(Qt::KeyboardModifiers m) {
    std::int16_t v = 0;
    if (m & Qt::ShiftModifier) {
        v |= 1;
    }
    if (m & Qt::ControlModifier) {
        v |= 2;
    }
    if (m & Qt::AltModifier) {
        v |= 4;
    }
    return v;
}

namespace {

float Twips(qreal px) {
    return static_cast<float>(px * 15.0);
}

}  // namespace

// --- FormWidget -----------------------------------------------------------------------------

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
                                Twips(e->position().x()), Twips(e->position().y()));
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
        m_control->GeometryFromView(Twips(pos().x()), Twips(pos().y()), m_control->Width(),
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

// --- PictureBoxWidget -----------------------------------------------------------------------

PictureBoxWidget::PictureBoxWidget(platform::PictureBox& box, QWidget* parent)
    : QWidget(parent), View(box, *this) {
    Place();
}

void PictureBoxWidget::Update(Property) {
    update();
}

void PictureBoxWidget::paintEvent(QPaintEvent*) {
    if (m_control == nullptr) {
        return;
    }
    auto* box = static_cast<platform::PictureBox*>(m_control);
    QPainter painter(this);
    // The box's own surface only: the controls inside it are widgets of their own and paint
    // over it.
    if (const platform::gdi::Bitmap* surface = box->Image()) {
        painter.drawImage(0, 0, ImageOf(*surface));
    } else {
        painter.fillRect(rect(), ToQColor(box->BackColor()));
    }
}

void PictureBoxWidget::mousePressEvent(QMouseEvent* e) {
    if (m_control != nullptr) {
        static_cast<platform::PictureBox*>(m_control)->MouseDown.Raise(
            ButtonOf(e->button()), ShiftOf(e->modifiers()), Twips(e->position().x()),
            Twips(e->position().y()));
    }
}

// --- LabelWidget ----------------------------------------------------------------------------

LabelWidget::LabelWidget(platform::Label& label, QWidget* parent)
    : QWidget(parent), View(label, *this) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFont(ToQFont(label.Font()));
    Place();
    FitToText();
}

void LabelWidget::FitToText() {
    auto* label = static_cast<platform::Label*>(m_control);
    if (label == nullptr || !label->AutoSize()) {
        return;
    }
    const QFontMetrics fm(font());
    const QString text = ToQString(label->Caption());
    // An empty label keeps the width of a blank, as the layout has it.
    const int width = text.isEmpty() ? 6 : fm.horizontalAdvance(text);
    label->SetWidth(static_cast<float>(width * 15));
    label->SetHeight(static_cast<float>(fm.height() * 15));
}

void LabelWidget::Update(Property p) {
    if (p == Property::Font && m_control != nullptr) {
        setFont(ToQFont(static_cast<platform::Label*>(m_control)->Font()));
    }
    if (p == Property::Caption || p == Property::Font) {
        FitToText();
    }
    update();
}

void LabelWidget::paintEvent(QPaintEvent*) {
    auto* label = static_cast<platform::Label*>(m_control);
    if (label == nullptr) {
        return;
    }
    QPainter painter(this);
    painter.setPen(ToQColor(label->ForeColor()));
    painter.setFont(font());
    const int align = label->Alignment() == platform::vbCenter         ? Qt::AlignHCenter
                      : label->Alignment() == platform::vbRightJustify ? Qt::AlignRight
                                                                       : Qt::AlignLeft;
    painter.drawText(rect(), align | Qt::AlignTop | Qt::TextSingleLine,
                     ToQString(label->Caption()));
}

// --- AlphaImageWidget -----------------------------------------------------------------------

AlphaImageWidget::AlphaImageWidget(core::AlphaImage& image, QWidget* parent)
    : QWidget(parent), View(image, *this) {
    setMouseTracking(true);
    Place();
    Update(Property::Picture);
}

core::AlphaImage* AlphaImageWidget::Image() const {
    return static_cast<core::AlphaImage*>(m_control);
}

void AlphaImageWidget::Update(Property p) {
    if (p == Property::Picture && Image() != nullptr) {
        const auto& png = Image()->Image();
        QImage decoded;
        if (decoded.loadFromData(png.data(), static_cast<int>(png.size()), "PNG")) {
            m_image = decoded;
        }
    }
    update();
}

void AlphaImageWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, m_image);  // at its own pixel size, over what lies beneath
}

void AlphaImageWidget::mouseMoveEvent(QMouseEvent* e) {
    if (Image() == nullptr) {
        return;
    }
    // While a button is down the widget keeps the mouse and hears of no leaving: a move off
    // its rectangle is the pointer leaving, once, and a move back onto it a movement again.
    if (!rect().contains(e->position().toPoint())) {
        if (!m_left) {
            m_left = true;
            Image()->MouseLeave.Raise();
        }
        return;
    }
    m_left = false;
    Image()->MouseMove.Raise(ButtonsOf(e->buttons()), ShiftOf(e->modifiers()),
                             Twips(e->position().x()), Twips(e->position().y()));
}

void AlphaImageWidget::mousePressEvent(QMouseEvent* e) {
    if (Image() != nullptr) {
        std::int16_t button = ButtonOf(e->button());
        Image()->MouseDown.Raise(button, ShiftOf(e->modifiers()), Twips(e->position().x()),
                                 Twips(e->position().y()));
    }
}

void AlphaImageWidget::mouseReleaseEvent(QMouseEvent* e) {
    // A click is a press and a release over the control.
    if (Image() != nullptr && rect().contains(e->position().toPoint())) {
        Image()->Click.Raise(ButtonOf(e->button()));
    }
}

void AlphaImageWidget::leaveEvent(QEvent*) {
    // After a press released off the widget, the leaving was already told.
    const bool told = m_left;
    m_left = false;
    if (Image() != nullptr && !told) {
        Image()->MouseLeave.Raise();
    }
}

// --- TextBoxWidget --------------------------------------------------------------------------

namespace {

QString Rgb(platform::gdi::COLORREF c) {
    return QStringLiteral("rgb(%1,%2,%3)")
        .arg(platform::gdi::GetRValue(c))
        .arg(platform::gdi::GetGValue(c))
        .arg(platform::gdi::GetBValue(c));
}

}  // namespace

TextBoxWidget::TextBoxWidget(core::TextBox& box, QWidget* parent)
    : QLineEdit(parent), View(box, *this) {
    setFont(ToQFont(box.Font()));
    if (box.MaxLength() > 0) {
        setMaxLength(box.MaxLength());
    }
    // Transparent over the panel, with a flat single-line border.
    QString style =
        QStringLiteral("QLineEdit { background: transparent; border: 1px solid %1; color: %2;")
            .arg(Rgb(box.BorderColor()), Rgb(box.ForeColor()));
    if (box.PasswordChar() != 0) {
        setEchoMode(QLineEdit::Password);
        style += QStringLiteral(" lineedit-password-character: %1;")
                     .arg(static_cast<int>(box.PasswordChar()));
    }
    setStyleSheet(style + QStringLiteral(" }"));
    setText(ToQString(box.Text()));
    Place();
    connect(this, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (Box() != nullptr) {
            Box()->TextFromView(ToU16(text));
        }
    });
}

core::TextBox* TextBoxWidget::Box() const {
    return static_cast<core::TextBox*>(m_control);
}

void TextBoxWidget::Update(Property p) {
    if (p == Property::Text && Box() != nullptr) {
        const QString text = ToQString(Box()->Text());
        if (text != this->text()) {
            setText(text);
        }
    }
}

void TextBoxWidget::keyPressEvent(QKeyEvent* e) {
    QLineEdit::keyPressEvent(e);
    if (Box() != nullptr && (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)) {
        Box()->KeyDown.Raise(platform::vbKeyReturn);
    }
}

// --- CommandButtonWidget --------------------------------------------------------------------

CommandButtonWidget::CommandButtonWidget(core::CommandButton& button, QWidget* parent)
    : QPushButton(ToQString(button.Caption()), parent), View(button, *this) {
    setFont(ToQFont(button.Font()));
    setStyleSheet(QStringLiteral(
        "QPushButton { background: transparent; border: 1px solid rgba(255,255,255,150);"
        " color: black; }"
        "QPushButton:hover { border-color: white; }"
        "QPushButton:pressed { background: rgba(255,255,255,60); }"
        "QPushButton:focus { border-color: rgb(64,128,255); }"));
    Place();
    connect(this, &QPushButton::clicked, this, [this] {
        if (m_control != nullptr) {
            static_cast<core::CommandButton*>(m_control)->Click.Raise();
        }
    });
}

// --- OptionButtonWidget -----------------------------------------------------------------------

OptionButtonWidget::OptionButtonWidget(core::OptionButton& option, QWidget* parent)
    : QRadioButton(ToQString(option.Caption()), parent), View(option, *this) {
    setFont(ToQFont(option.Font()));
    // The model keeps each array its own exclusive choice.
    setAutoExclusive(false);
    // A transparent style sheet alone leaves the style's circle unpainted over the panel: the
    // circle is drawn here as the option buttons of the old forms have it, a white disc in a grey
    // rim with a black dot when chosen.
    setStyleSheet(
        QStringLiteral("QRadioButton { background: transparent; color: %1; spacing: 3px; }"
                       "QRadioButton::indicator { width: 11px; height: 11px; border-radius: 6px;"
                       " border: 1px solid rgb(128, 128, 128); background: white; }"
                       "QRadioButton::indicator:checked { background: qradialgradient(cx: 0.5,"
                       " cy: 0.5, radius: 0.5, fx: 0.5, fy: 0.5, stop: 0 black, stop: 0.38 black,"
                       " stop: 0.5 white, stop: 1 white); }"
                       "QRadioButton::indicator:disabled { background: rgb(240, 240, 240); }")
            .arg(Rgb(option.ForeColor())));
    setChecked(option.Value());
    Place();
    connect(this, &QRadioButton::clicked, this, [this] {
        if (m_control != nullptr) {
            static_cast<core::OptionButton*>(m_control)->ChooseFromView();
            Update(Property::Value);  // a second click does not clear the mark
        }
    });
}

void OptionButtonWidget::Update(Property p) {
    if (p == Property::Value && m_control != nullptr) {
        setChecked(static_cast<core::OptionButton*>(m_control)->Value());
    }
}

// --- ShapeWidget ------------------------------------------------------------------------------

ShapeWidget::ShapeWidget(platform::Shape& shape, QWidget* parent)
    : QWidget(parent), View(shape, *this) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    Place();
}

void ShapeWidget::paintEvent(QPaintEvent*) {
    if (m_control == nullptr) {
        return;
    }
    QPainter painter(this);
    painter.setPen(QPen(ToQColor(static_cast<platform::Shape*>(m_control)->BorderColor()), 1));
    painter.drawRect(0, 0, width() - 1, height() - 1);
}

}  // namespace binding
