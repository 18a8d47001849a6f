// SPDX-License-Identifier: MIT
#include "binding/View.h"

#include "binding/Convert.h"

namespace binding {

using platform::Property;

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

}  // namespace binding
