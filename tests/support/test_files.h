// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

// Writes bytes to a file, creating its folder; fails the test on error.
void writeBytes(const QString& path, const QByteArray& bytes);
QByteArray readBytes(const QString& path);

// A FIFO, or a symbolic link to target, at path: false where the system
// has none (Windows has no FIFOs, and its links need rights a user lacks),
// and the caller skips that case with QSKIP(kNoSpecialFiles). Windows' own
// kinds of hostile file are in tests/windows/.
bool makeFifo(const QString& path);
bool makeSymlink(const QString& target, const QString& path);
inline constexpr const char* kNoSpecialFiles = "no FIFOs or symbolic links on this system";

// Paths of one file: the same text, or, where names ignore letter case and
// the separator is a backslash (Windows), the same file.
bool sameFile(const QString& actual, const QString& expected);
#define ZOMA_COMPARE_FILE(actual, expected)  \
    QVERIFY2(sameFile((actual), (expected)), \
             qPrintable(QStringLiteral("%1 is not %2").arg((actual), (expected))))

// GBK bytes with CR LF line ends, as packages from Windows hold them.
QByteArray gbkLines(const QString& textWithLf);

// Copies the project's sample library (bank, paper lists, pictures) into dir.
void copySampleLib(const QString& dir);

// Every entry directly in a folder (hidden ones included), with its bytes.
QMap<QString, QByteArray> folderFiles(const QString& dir);
