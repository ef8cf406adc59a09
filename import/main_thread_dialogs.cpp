// SPDX-License-Identifier: GPL-3.0-or-later
#include "import/main_thread_dialogs.h"

#include <QMetaObject>
#include <QThread>

Dialogs::Answer MainThreadDialogs::message(const QString& text, Buttons buttons,
                                           const QString& caption) {
    Answer answer = Answer::Cancel;
    run([&] { answer = m_target.message(text, buttons, caption); });
    return answer;
}

QString MainThreadDialogs::openFile(const QString& filter, const QString& proposedName,
                                    FileMode mode) {
    QString chosen;
    run([&] { chosen = m_target.openFile(filter, proposedName, mode); });
    return chosen;
}

QStringList MainThreadDialogs::openFiles(const QString& filter, const QString& proposedName) {
    QStringList chosen;
    run([&] { chosen = m_target.openFiles(filter, proposedName); });
    return chosen;
}

QString MainThreadDialogs::saveFile(const QString& filter, const QString& proposedName,
                                    const QString& caption) {
    QString chosen;
    run([&] { chosen = m_target.saveFile(filter, proposedName, caption); });
    return chosen;
}

void MainThreadDialogs::run(const std::function<void()>& show) {
    const auto alone = [this, &show] {
        const bool aside = m_busy && m_busy->isVisible();
        if (aside) m_busy->hide();
        m_asking = true;
        show();
        m_asking = false;
        if (aside && m_busy) m_busy->show();
    };
    if (QThread::currentThread() == m_context->thread()) {
        alone();
    } else {
        QMetaObject::invokeMethod(m_context, alone, Qt::BlockingQueuedConnection);
    }
}
