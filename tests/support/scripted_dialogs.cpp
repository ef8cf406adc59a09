// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/scripted_dialogs.h"

#include <QTest>

Dialogs::Answer ScriptedDialogs::message(const QString& text, Buttons buttons,
                                         const QString& caption) {
    if (onMessage) onMessage(text);
    shown.append({text, buttons, caption});
    if (buttons == Buttons::Ok) return Answer::Ok;
    if (m_answers.isEmpty()) {
        QTest::qFail(qPrintable(QStringLiteral("unexpected question: ") + text), __FILE__,
                     __LINE__);
        return buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
    }
    return m_answers.dequeue();
}

QString ScriptedDialogs::openFile(const QString& filter, const QString& proposedName,
                                  FileMode mode) {
    fileRequests.append({filter, proposedName, mode, false});
    const QStringList files = nextFiles();
    return files.isEmpty() ? QString() : files.first();
}

QString ScriptedDialogs::saveFile(const QString& filter, const QString& proposedName,
                                  const QString& caption) {
    fileRequests.append({filter, proposedName, FileMode::Any, false, true, caption});
    const QStringList files = nextFiles();
    return files.isEmpty() ? QString() : files.first();
}

QStringList ScriptedDialogs::openFiles(const QString& filter, const QString& proposedName) {
    fileRequests.append({filter, proposedName, FileMode::Existing, true});
    return nextFiles();
}

QStringList ScriptedDialogs::nextFiles() {
    if (m_files.isEmpty()) {
        QTest::qFail("unexpected file dialog", __FILE__, __LINE__);
        return {};
    }
    return m_files.dequeue();
}

QStringList ScriptedDialogs::takeTexts() {
    QStringList texts;
    for (const Shown& s : shown) texts << s.text;
    shown.clear();
    return texts;
}
