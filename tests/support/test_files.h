// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

// Writes bytes to a file, creating its folder; fails the test on error.
void writeBytes(const QString& path, const QByteArray& bytes);
QByteArray readBytes(const QString& path);

// GBK bytes with CR LF line ends, as packages from Windows hold them.
QByteArray gbkLines(const QString& textWithLf);

// Copies the project's sample library (bank, paper lists, pictures) into dir.
void copySampleLib(const QString& dir);

// Every entry directly in a folder (hidden ones included), with its bytes.
QMap<QString, QByteArray> folderFiles(const QString& dir);
