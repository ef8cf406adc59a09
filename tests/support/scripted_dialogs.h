// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/dialogs.h"

#include <QList>
#include <QQueue>
#include <QStringList>

#include <functional>

// Answers dialogs from a script, in order, and records every one shown.
// Message boxes with an OK button alone need no script; a question or file
// dialog with nothing scripted fails the running test.
class ScriptedDialogs final : public Dialogs {
public:
    struct Shown {
        QString text;
        Buttons buttons = Buttons::Ok;
        QString caption;
    };
    struct FileRequest {
        QString filter;
        QString proposedName;
        FileMode mode = FileMode::Existing;
        bool several = false;  // the dialog took more than one file
        bool save = false;     // a save dialog
        QString caption;       // a save dialog's
    };

    void answer(Answer a) { m_answers.enqueue(a); }
    void chooseFile(const QString& path) {  // empty = cancel
        m_files.enqueue(path.isEmpty() ? QStringList() : QStringList{path});
    }
    void chooseFiles(const QStringList& paths) { m_files.enqueue(paths); }  // empty = cancel

    Answer message(const QString& text, Buttons buttons, const QString& caption) override;
    QString openFile(const QString& filter, const QString& proposedName, FileMode mode) override;
    QStringList openFiles(const QString& filter, const QString& proposedName) override;
    QString saveFile(const QString& filter, const QString& proposedName,
                     const QString& caption) override;

    // Texts of every message box so far, and forgets them.
    QStringList takeTexts();
    bool scriptDone() const { return m_answers.isEmpty() && m_files.isEmpty(); }

    QList<Shown> shown;
    QList<FileRequest> fileRequests;
    // Called with each message box's text before it is answered, as the
    // user would look around while it stands.
    std::function<void(const QString& text)> onMessage;

private:
    QStringList nextFiles();  // the next chosen files; the test fails without
    QQueue<Answer> m_answers;
    QQueue<QStringList> m_files;
};
