// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the regular-file reader and the part-file writer do on Windows.

#include <QFile>
#include <QString>

#include <string>

namespace zoma::windows {

// A path as the wide Win32 functions take it: backslashes, and the \\?\ form
// once it is too long for the old limit. Short paths keep their plain form,
// so that a device name such as CON or NUL still names the device and is
// refused as one.
std::wstring nativePath(const QString& path);

// Opens path for reading without ever waiting: a device, a pipe, a folder or
// a file whose contents are not on this computer (a cloud placeholder) is
// refused; a symbolic link or junction is followed, as on Linux.
bool openRegularFile(const QString& path, QFile* file, QString* error);

// Renames from over to in one step, replacing a file that exists; a file
// another program holds open is named as such, and to stays as it was.
bool replaceFile(const QString& from, const QString& to, QString* error);

}  // namespace zoma::windows
