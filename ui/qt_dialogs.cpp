// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/qt_dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

const QString QtDialogs::DefaultCaption = QStringLiteral("工程1");
const QString QtDialogs::SaveText = QStringLiteral("保存");
const QString QtDialogs::CancelText = QStringLiteral("取消");

Dialogs::Answer QtDialogs::message(const QString& text, Buttons buttons, const QString& caption) {
    QMessageBox box(QMessageBox::NoIcon, caption.isEmpty() ? DefaultCaption : caption, text,
                    QMessageBox::NoButton, QApplication::activeWindow());
    switch (buttons) {
        case Buttons::Ok:
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case Buttons::YesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.setDefaultButton(QMessageBox::Yes);
            break;
        case Buttons::YesNoCancel:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            box.setDefaultButton(QMessageBox::Yes);
            box.setEscapeButton(QMessageBox::Cancel);
            break;
    }
    switch (box.exec()) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        case QMessageBox::Ok:
            return Answer::Ok;
        default:
            return buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
    }
}

QStringList QtDialogs::nameFilters(const QString& filter) {
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString pattern = u'(' + parts[i + 1] + u')';
        filters << (parts[i].endsWith(pattern) ? parts[i] : parts[i] + u' ' + pattern);
    }
    return filters;
}

QString QtDialogs::openFile(const QString& filter, const QString& proposedName, FileMode mode) {
    QFileDialog dialog(QApplication::activeWindow());
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(mode == FileMode::Existing ? QFileDialog::ExistingFile
                                                  : QFileDialog::AnyFile);
    dialog.setNameFilters(nameFilters(filter));
    if (!proposedName.isEmpty()) dialog.selectFile(proposedName);
    if (dialog.exec() != QDialog::Accepted) return {};
    const QStringList files = dialog.selectedFiles();
    return files.isEmpty() ? QString() : QDir::toNativeSeparators(files.first());
}

QString QtDialogs::saveFile(const QString& filter, const QString& proposedName,
                            const QString& caption) {
    QFileDialog dialog(QApplication::activeWindow(), caption);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The program asks its own question before it replaces a file.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setLabelText(QFileDialog::Accept, SaveText);
    dialog.setLabelText(QFileDialog::Reject, CancelText);
    const QStringList filters = nameFilters(filter);
    dialog.setNameFilters(filters);
    // A name typed without its extension gets the first type's.
    const QString first = filter.section(u'|', 1, 1);
    if (first.startsWith(QStringLiteral("*.")) && first.count(u'*') == 1)
        dialog.setDefaultSuffix(first.mid(2));
    if (!proposedName.isEmpty()) dialog.selectFile(proposedName);
    if (dialog.exec() != QDialog::Accepted) return {};
    const QStringList files = dialog.selectedFiles();
    return files.isEmpty() ? QString() : QDir::toNativeSeparators(files.first());
}

QStringList QtDialogs::openFiles(const QString& filter, const QString& proposedName) {
    QFileDialog dialog(QApplication::activeWindow());
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setNameFilters(nameFilters(filter));
    if (!proposedName.isEmpty()) dialog.selectFile(proposedName);
    if (dialog.exec() != QDialog::Accepted) return {};
    QStringList files;
    for (const QString& f : dialog.selectedFiles()) files << QDir::toNativeSeparators(f);
    return files;
}
