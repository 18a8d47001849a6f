// SPDX-License-Identifier: MIT
#include "platform/Control.h"

#include <algorithm>

#include "platform/Form.h"

namespace platform {

Control::Control(std::string name, int index) : m_name(std::move(name)), m_index(index) {}

Control::~Control() {
    if (m_view != nullptr) {
        m_view->ControlGone();
    }
    if (m_container != nullptr) {
        auto& siblings = m_container->m_children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    }
    for (Control* child : m_children) {
        child->m_container = nullptr;
    }
}

void Control::Add(Control& child) {
    child.m_container = this;
    m_children.push_back(&child);
}

Form* Control::ParentForm() {
    Control* c = this;
    while (c->m_container != nullptr) {
        c = c->m_container;
    }
    return dynamic_cast<Form*>(c);
}

void Control::SetLeft(Twips v) {
    Move(v, m_top, m_width, m_height);
}
void Control::SetTop(Twips v) {
    Move(m_left, v, m_width, m_height);
}
void Control::SetWidth(Twips v) {
    Move(m_left, m_top, v, m_height);
}
void Control::SetHeight(Twips v) {
    Move(m_left, m_top, m_width, v);
}

void Control::Move(Twips left, Twips top, Twips width, Twips height) {
    if (left == m_left && top == m_top && width == m_width && height == m_height) {
        return;
    }
    m_left = left;
    m_top = top;
    m_width = std::max(width, 0.0f);
    m_height = std::max(height, 0.0f);
    Changed(Property::Geometry);
}

void Control::GeometryFromView(Twips left, Twips top, Twips width, Twips height) {
    m_left = left;
    m_top = top;
    m_width = width;
    m_height = height;
}

void Control::SetVisible(bool v) {
    if (v != m_visible) {
        m_visible = v;
        Changed(Property::Visible);
    }
}

void Control::SetEnabled(bool v) {
    if (v != m_enabled) {
        m_enabled = v;
        Changed(Property::Enabled);
    }
}

void Control::Changed(Property p) const {
    if (m_view != nullptr) {
        m_view->PropertyChanged(p);
    }
}

}  // namespace platform
