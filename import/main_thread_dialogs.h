// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/dialogs.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>

// Dialogs that another thread may call: each box is shown by the given
// dialogs on the thread of context, and the calling thread waits for the
// answer. That thread must keep running its event loop meanwhile.
class MainThreadDialogs final : public Dialogs {
public:
    MainThreadDialogs(Dialogs& target, QObject* context) : m_target(target), m_context(context) {}

    Answer message(const QString& text, Buttons buttons = Buttons::Ok,
                   const QString& caption = QString()) override;
    QString openFile(const QString& filter, const QString& proposedName, FileMode mode) override;
    QStringList openFiles(const QString& filter, const QString& proposedName) override;
    QString saveFile(const QString& filter, const QString& proposedName,
                     const QString& caption) override;

    // A progress window put aside while a box asks: left up, it would cover
    // the box and keep the keyboard's focus from it.
    void setBusy(QWidget* busy) { m_busy = busy; }
    // Whether a box is up now (on the thread of context).
    bool asking() const { return m_asking; }

private:
    void run(const std::function<void()>& show);

    Dialogs& m_target;
    QObject* m_context;
    QPointer<QWidget> m_busy;
    bool m_asking = false;
};
