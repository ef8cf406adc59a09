// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// Every message box and file dialog of the program goes through this
// interface, so that tests can answer them without a modal loop.
class Dialogs {
public:
    enum class Buttons { Ok, YesNo, YesNoCancel };
    enum class Answer { Ok, Yes, No, Cancel };
    enum class FileMode { Existing, Any };

    virtual ~Dialogs() = default;

    // A modal message box without icon; an empty caption means the program's
    // title "工程1". Yes is the default button where there is one.
    virtual Answer message(const QString& text, Buttons buttons = Buttons::Ok,
                           const QString& caption = QString()) = 0;

    // A modal open-file dialog. The filter is written as
    // "description|pattern|description|pattern"; the first entry is in force.
    // Returns the chosen path, or empty text when the user cancelled.
    virtual QString openFile(const QString& filter, const QString& proposedName, FileMode mode) = 0;

    // A modal save dialog titled caption, with a 保存 button and the name
    // proposed; the filter as above. It asks nothing before a file is
    // replaced: the caller does. Returns the chosen path, or empty text when
    // the user cancelled.
    virtual QString saveFile(const QString& filter, const QString& proposedName,
                             const QString& caption) = 0;

    // The open-file dialog taking one or more existing files. Returns the chosen
    // paths, or an empty list when the user cancelled.
    virtual QStringList openFiles(const QString& filter, const QString& proposedName) {
        const QString one = openFile(filter, proposedName, FileMode::Existing);
        return one.isEmpty() ? QStringList() : QStringList{one};
    }
};
