// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>

// How the bytes of archive entry names are read. Packages from Chinese
// Windows systems carry GBK names without the UTF-8 flag.
enum class NameEncoding { Utf8, Gbk };

// Whether control characters (and NUL) stay as they are or become escapes.
enum class ControlChars { Keep, Escape };

namespace zoma {

// Decoded text in which every byte that does not decode becomes a visible
// "%XX" escape, so that nothing is dropped silently.
QString decodeUtf8(QByteArrayView bytes, ControlChars controls);
QString decodeGbk(QByteArrayView bytes, ControlChars controls);

// An entry name as shown and as created on disk: control characters escaped.
QString decodeEntryName(QByteArrayView raw, NameEncoding encoding);

// Text in the platform's narrow encoding (UTF-8 on Linux, the ANSI code page
// on Windows), as the engine hands it to the call-backs.
QByteArray toNarrow(const QString& text);

// Text from a narrow buffer: its bytes up to the first zero byte, never more
// than maxBytes; a character cut by that limit is left out whole.
QString fromNarrow(const char* buffer, qsizetype maxBytes);

}  // namespace zoma

// Where an entry lands below the target folder.
struct EntryTarget {
    enum class Kind { File, Directory, Refused };
    Kind kind = Kind::Refused;
    QStringList parts;  // path below the target, one folder or file name each
    QString reason;     // why a refused entry is not written
};

namespace zoma {

// With honourDirectories the stored folders are kept, and any name that could
// leave the target (absolute, drive or share names, "..") is refused; without
// it only the last name counts.
EntryTarget entryTarget(QStringView name, bool honourDirectories);

// "*" (any run, "/" included), "?" (one character) and "[a-z]" / "[!a-z]"
// classes, matched against the whole name with letter case.
bool matchesWildcard(QStringView pattern, QStringView name);

}  // namespace zoma
