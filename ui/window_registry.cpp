// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/window_registry.h"

WindowRegistry::~WindowRegistry() {
    // Hidden windows too: a closed one may still wait for its deferred deletion.
    for (auto& [window, widget] : m_open) delete widget.data();
}

void WindowRegistry::setFactory(Window window, Factory factory) {
    m_factories[window] = std::move(factory);
}

QWidget* WindowRegistry::find(Window window) const {
    const auto it = m_open.find(window);
    if (it == m_open.end()) return nullptr;
    // A closed window lingers until its deferred deletion; it is not open.
    QWidget* w = it->second.data();
    return w && w->isVisible() ? w : nullptr;
}

QWidget* WindowRegistry::open(Window window) {
    if (QWidget* existing = find(window)) {
        existing->show();
        existing->raise();
        existing->activateWindow();
        return existing;
    }
    const auto factory = m_factories.find(window);
    if (factory == m_factories.end() || !factory->second) return nullptr;
    QWidget* created = factory->second();
    if (!created) return nullptr;
    // Closing discards the window and its state.
    created->setAttribute(Qt::WA_DeleteOnClose);
    m_open[window] = created;
    created->show();
    return created;
}
