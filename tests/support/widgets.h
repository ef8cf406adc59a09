// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPushButton>
#include <QTest>

// A control of a window by its name; a missing one ends the test run, since
// every later step would only fail less clearly.
template <typename T = QPushButton>
T* control(const QObject* window, const char* name) {
    T* w = window ? window->findChild<T*>(QString::fromLatin1(name)) : nullptr;
    if (!w) qFatal("no control %s", name);
    return w;
}

inline void click(const QObject* window, const char* name) {
    QTest::mouseClick(control(window, name), Qt::LeftButton);
}
