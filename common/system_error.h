// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <system_error>

// The system's reasons for a failed file operation, said in Chinese beside
// the program's own Chinese texts: 没有权限, 磁盘空间不足, 文件不存在, ...
// A reason the program does not know keeps the system's own text behind its
// number.
namespace zoma {

// From the C library's errno.
QString errnoReason(int code);

#ifdef Q_OS_WIN
// From a Windows error code (GetLastError).
QString windowsReason(unsigned long code);
#endif

// From the standard library, as std::filesystem reports it.
QString systemReason(const std::error_code& code);

// From the text Qt gave for a system failure (errorString() of a QFile, a
// QIODevice, a QTemporaryDir). Any other text, Qt's own, stays as it is.
QString qtReason(const QString& text);

}  // namespace zoma
