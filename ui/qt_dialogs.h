// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/dialogs.h"

#include <QStringList>

// Qt's message boxes and file dialog behind the Dialogs interface.
class QtDialogs final : public Dialogs {
public:
    static const QString DefaultCaption;

    Answer message(const QString& text, Buttons buttons, const QString& caption) override;
    QString openFile(const QString& filter, const QString& proposedName, FileMode mode) override;
    QStringList openFiles(const QString& filter, const QString& proposedName) override;
    QString saveFile(const QString& filter, const QString& proposedName,
                     const QString& caption) override;

    static const QString SaveText;    // the save dialog's accept button
    static const QString CancelText;  // and its other one

    // "desc|pattern|desc|pattern" as Qt name filters: "desc (pattern)", or
    // desc alone where it already ends in "(pattern)".
    static QStringList nameFilters(const QString& filter);
};
