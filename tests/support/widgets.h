// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>
#include <QKeyEvent>
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

// Types text as key presses; QTest::keyClicks takes Latin-1 only.
inline void typeText(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(widget, &press);
        QCoreApplication::sendEvent(widget, &release);
    }
}
