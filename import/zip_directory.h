// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

class QIODevice;

// One entry as the archive's central directory and local header state it.
struct ZipEntryRecord {
    QByteArray rawName;  // the stored bytes, NUL bytes included
    quint16 versionMadeBy = 0;
    quint16 flags = 0;
    quint16 method = 0;
    quint16 dosTime = 0;
    quint16 dosDate = 0;
    quint32 crc = 0;
    quint64 compressedSize = 0;
    quint64 size = 0;
    quint32 externalAttributes = 0;
    quint64 headerOffset = 0;
    quint64 dataEnd = 0;        // first byte after the entry's data
    quint64 centralOffset = 0;  // where its central directory record starts
    QByteArray comment;
    QByteArray unicodeName;  // the UTF-8 name of an Info-ZIP 0x7075 field, if any
    quint16 localFlags = 0;  // as the local header states them
    QByteArray localName;

    bool encrypted() const { return flags & 0x0001; }
    bool utf8Flag() const { return flags & 0x0800; }
    bool isSymLink() const;
};

// The archive's table of contents, read directly from its bytes: libzip does
// not give the raw name length, the data offsets or the attributes needed to
// refuse overlapping entries and links. An archive with more than one end
// record that leads to a directory is damaged: another reader could take the
// other directory and so other bytes for the same names.
struct ZipDirectory {
    enum class Status {
        Ok,
        NotZip,   // no end-of-directory record: not a zip archive
        Damaged,  // the records contradict each other or the file, or two directories stand in it
        Overlap,  // two entries share bytes of the archive
    };
    Status status = Status::NotZip;
    QString problem;  // what was found, for a print line
    QList<ZipEntryRecord> entries;
    qsizetype overlapFirst = -1;  // for Overlap: indices of two entries that share bytes
    qsizetype overlapSecond = -1;
    quint64 trailingBytes = 0;  // bytes after the end record and its comment
};

namespace zoma {

ZipDirectory readZipDirectory(QIODevice& archive);

}  // namespace zoma
