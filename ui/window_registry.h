// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QWidget>

#include <functional>
#include <map>

// Keeps each secondary window open at most once. Opening a window that is
// not open creates it (its load step runs in the factory) and shows it;
// opening one that is open only raises it. It owns the windows it opened:
// those still there when it goes are deleted with it.
class WindowRegistry final {
public:
    enum class Window { Practice, Import, Export, Exam, Study };
    using Factory = std::function<QWidget*()>;

    WindowRegistry() = default;
    ~WindowRegistry();
    Q_DISABLE_COPY_MOVE(WindowRegistry)

    void setFactory(Window window, Factory factory);

    // The window after the call, or nullptr when it has no factory yet.
    QWidget* open(Window window);
    QWidget* find(Window window) const;

private:
    std::map<Window, Factory> m_factories;
    std::map<Window, QPointer<QWidget>> m_open;
};
