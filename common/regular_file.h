// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// The most the program reads of one file: far beyond any real bank (the
// largest is under 0.5 MB) or picture, small enough to hold in memory.
constexpr qint64 kMaxFileSize = qint64(64) * 1024 * 1024;

namespace zoma {

// Opens path for reading so that it can never block: a FIFO, a device or a
// folder is refused as not a regular file instead of being waited on.
bool openRegularFile(const QString& path, QFile* file, QString* error);

// The whole regular file, refused when it holds more than maxSize bytes.
bool readRegularFile(const QString& path, qint64 maxSize, QByteArray* bytes, QString* error);

// Why a file of that many bytes is refused.
QString tooLargeReason(qint64 maxSize);

// Whether Windows gives this file name to a device in every folder (CON,
// NUL, COM1, lpt1.txt, ...), whatever the system the program runs on.
bool isWindowsDeviceName(QStringView fileName);

}  // namespace zoma
