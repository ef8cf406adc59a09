// SPDX-License-Identifier: GPL-3.0-or-later
#include "import/zip_directory.h"

#include <QIODevice>

#include <algorithm>
#include <optional>

namespace {

constexpr quint32 kEndSignature = 0x06054b50;
constexpr quint32 kEnd64Signature = 0x06064b50;
constexpr quint32 kEnd64LocatorSignature = 0x07064b50;
constexpr quint32 kCentralSignature = 0x02014b50;
constexpr quint32 kLocalSignature = 0x04034b50;
constexpr qsizetype kEndSize = 22;
constexpr qsizetype kCentralSize = 46;
constexpr qsizetype kLocalSize = 30;
constexpr quint64 kMaxDirectory = 256 * 1024 * 1024;

quint64 le(const QByteArray& bytes, qsizetype at, int width) {
    quint64 value = 0;
    for (int i = width - 1; i >= 0; --i) value = (value << 8) | static_cast<uchar>(bytes[at + i]);
    return value;
}
quint16 le16(const QByteArray& b, qsizetype at) {
    return quint16(le(b, at, 2));
}
quint32 le32(const QByteArray& b, qsizetype at) {
    return quint32(le(b, at, 4));
}
quint64 le64(const QByteArray& b, qsizetype at) {
    return le(b, at, 8);
}

QByteArray readAt(QIODevice& archive, quint64 offset, qint64 length) {
    if (!archive.seek(qint64(offset))) return {};
    return archive.read(length);
}

ZipDirectory failure(ZipDirectory::Status status, const QString& problem) {
    ZipDirectory directory;
    directory.status = status;
    directory.problem = problem;
    return directory;
}

// Replaces 32-bit fields that are all ones by the values of a zip64 extra field.
bool applyZip64(const QByteArray& extra, ZipEntryRecord& entry) {
    const bool needSize = entry.size == 0xFFFFFFFF;
    const bool needCompressed = entry.compressedSize == 0xFFFFFFFF;
    const bool needOffset = entry.headerOffset == 0xFFFFFFFF;
    if (!needSize && !needCompressed && !needOffset) return true;
    for (qsizetype at = 0; at + 4 <= extra.size();) {
        const quint16 id = le16(extra, at);
        const quint16 length = le16(extra, at + 2);
        if (at + 4 + length > extra.size()) break;
        if (id == 0x0001) {
            qsizetype field = at + 4;
            const qsizetype end = field + length;
            for (quint64* value : {needSize ? &entry.size : nullptr,
                                   needCompressed ? &entry.compressedSize : nullptr,
                                   needOffset ? &entry.headerOffset : nullptr}) {
                if (!value) continue;
                if (field + 8 > end) return false;
                *value = le64(extra, field);
                field += 8;
            }
            return true;
        }
        at += 4 + length;
    }
    return false;
}

}  // namespace

bool ZipEntryRecord::isSymLink() const {
    constexpr int kUnixHost = 3;
    constexpr quint32 kTypeMask = 0170000;
    constexpr quint32 kLink = 0120000;
    return (versionMadeBy >> 8) == kUnixHost && ((externalAttributes >> 16) & kTypeMask) == kLink;
}

namespace {

// One end-of-directory record and the directory it leads to.
struct EndRecord {
    quint64 offset = 0;
    quint64 count = 0;
    quint64 directorySize = 0;
    quint64 directoryOffset = 0;
    quint64 directoryLimit = 0;  // the directory must end before this
    quint64 trailingBytes = 0;
};

// The end record at tail[end], zip64 records followed; false with the reason
// when they contradict themselves or the file.
bool readEnd(QIODevice& archive, const QByteArray& tail, quint64 tailStart, qsizetype end,
             EndRecord* record, QString* problem) {
    const quint64 endOffset = tailStart + quint64(end);
    const quint16 disk = le16(tail, end + 4);
    const quint16 directoryDisk = le16(tail, end + 6);
    quint64 count = le16(tail, end + 10);
    quint64 directorySize = le32(tail, end + 12);
    quint64 directoryOffset = le32(tail, end + 16);
    quint64 directoryLimit = endOffset;
    if (count == 0xFFFF || directorySize == 0xFFFFFFFF || directoryOffset == 0xFFFFFFFF) {
        const QByteArray locator =
            endOffset >= 20 ? readAt(archive, endOffset - 20, 20) : QByteArray();
        if (locator.size() != 20 || le32(locator, 0) != kEnd64LocatorSignature) {
            *problem = QStringLiteral("zip64 locator missing");
            return false;
        }
        const quint64 end64Offset = le64(locator, 8);
        const QByteArray end64 =
            end64Offset < endOffset ? readAt(archive, end64Offset, 56) : QByteArray();
        if (end64.size() != 56 || le32(end64, 0) != kEnd64Signature) {
            *problem = QStringLiteral("zip64 end record missing");
            return false;
        }
        count = le64(end64, 32);
        directorySize = le64(end64, 40);
        directoryOffset = le64(end64, 48);
        directoryLimit = end64Offset;
    } else if (disk != 0 || directoryDisk != 0) {
        *problem = QStringLiteral("archive split over several disks");
        return false;
    }
    if (directoryOffset > directoryLimit || directorySize > directoryLimit - directoryOffset ||
        directorySize > kMaxDirectory || count > directorySize / kCentralSize) {
        *problem = QStringLiteral("central directory out of bounds");
        return false;
    }
    *record = {endOffset,      count,
               directorySize,  directoryOffset,
               directoryLimit, quint64(tail.size() - end - kEndSize - le16(tail, end + 20))};
    return true;
}

// Whether an end record leads to entries as some reader would take them: its
// directory offset, before the record, points at a directory record. A
// record whose other fields fail our checks (sizes, disks) still counts:
// a more lenient reader would follow it.
bool leadsToEntries(QIODevice& archive, const QByteArray& tail, quint64 tailStart, qsizetype end,
                    const EndRecord* record) {
    quint64 count = le16(tail, end + 10);
    quint64 offset = le32(tail, end + 16);
    if (record) {
        count = record->count;
        offset = record->directoryOffset;
    } else if (count == 0xFFFF || offset == 0xFFFFFFFF || offset >= tailStart + quint64(end)) {
        return false;
    }
    if (count == 0) return false;
    const QByteArray first = readAt(archive, offset, 4);
    return first.size() == 4 && le32(first, 0) == kCentralSignature;
}

// The value of an Info-ZIP Unicode path field (0x7075): version 1, the CRC
// of the stored name, then the name in UTF-8. libzip reports it as the name.
QByteArray unicodePath(const QByteArray& extra) {
    for (qsizetype at = 0; at + 4 <= extra.size();) {
        const quint16 id = le16(extra, at);
        const quint16 length = le16(extra, at + 2);
        if (at + 4 + length > extra.size()) break;
        if (id == 0x7075 && length >= 5 && extra[at + 4] == 1) return extra.mid(at + 9, length - 5);
        at += 4 + length;
    }
    return {};
}

}  // namespace

ZipDirectory zoma::readZipDirectory(QIODevice& archive) {
    using Status = ZipDirectory::Status;
    const qint64 fileSize = archive.size();
    if (fileSize < kEndSize) return failure(Status::NotZip, QStringLiteral("file too short"));

    // The end record sits in the last 22 bytes plus up to 64 KiB of comment.
    const qint64 tailSize = std::min<qint64>(fileSize, kEndSize + 0xFFFF);
    const quint64 tailStart = quint64(fileSize - tailSize);
    const QByteArray tail = readAt(archive, tailStart, tailSize);
    if (tail.size() != tailSize) return failure(Status::Damaged, QStringLiteral("read error"));

    // Every end record that leads to entries counts, the last one in the
    // file first; a second one is a second directory.
    std::optional<EndRecord> chosen;
    std::optional<EndRecord> last;
    QString lastProblem;
    QString leadingProblem;
    int leading = 0;
    for (qsizetype i = tail.size() - kEndSize; i >= 0; --i) {
        if (le32(tail, i) != kEndSignature) continue;
        if (i + kEndSize + le16(tail, i + 20) > tail.size()) {
            // Its comment runs past the end of the file: not ours to read,
            // but Info-ZIP follows such a record with a warning, so it still
            // counts as a directory.
            if (leadsToEntries(archive, tail, tailStart, i, nullptr) && ++leading > 1) {
                return failure(Status::Damaged,
                               QStringLiteral("more than one end of central directory"));
            }
            continue;
        }
        EndRecord record;
        QString problem;
        const bool read = readEnd(archive, tail, tailStart, i, &record, &problem);
        if (!last && lastProblem.isNull()) {
            if (read) last = record;
            lastProblem = problem;
        }
        if (!leadsToEntries(archive, tail, tailStart, i, read ? &record : nullptr)) continue;
        if (++leading > 1) {
            return failure(Status::Damaged,
                           QStringLiteral("more than one end of central directory"));
        }
        if (read) {
            chosen = record;
        } else {
            leadingProblem = problem;
        }
    }
    if (!leadingProblem.isNull()) return failure(Status::Damaged, leadingProblem);
    if (!chosen && !last && lastProblem.isNull())
        return failure(Status::NotZip, QStringLiteral("no end of central directory"));
    // Without a directory of entries, the last end record says what is wrong.
    if (!chosen && !last) return failure(Status::Damaged, lastProblem);
    const EndRecord end = chosen ? *chosen : *last;
    const quint64 count = end.count;
    const quint64 directorySize = end.directorySize;
    const quint64 directoryOffset = end.directoryOffset;

    const QByteArray central = readAt(archive, directoryOffset, qint64(directorySize));
    if (quint64(central.size()) != directorySize) {
        return failure(Status::Damaged, QStringLiteral("central directory cut short"));
    }
    ZipDirectory directory;
    directory.status = Status::Ok;
    directory.trailingBytes = end.trailingBytes;
    directory.entries.reserve(qsizetype(count));
    qsizetype at = 0;
    for (quint64 i = 0; i < count; ++i) {
        if (at + kCentralSize > central.size() || le32(central, at) != kCentralSignature) {
            return failure(Status::Damaged,
                           QStringLiteral("bad central directory record %1").arg(i));
        }
        const qsizetype nameLength = le16(central, at + 28);
        const qsizetype extraLength = le16(central, at + 30);
        const qsizetype commentLength = le16(central, at + 32);
        if (at + kCentralSize + nameLength + extraLength + commentLength > central.size()) {
            return failure(Status::Damaged,
                           QStringLiteral("central directory record %1 cut short").arg(i));
        }
        ZipEntryRecord entry;
        entry.versionMadeBy = le16(central, at + 4);
        entry.flags = le16(central, at + 8);
        entry.method = le16(central, at + 10);
        entry.dosTime = le16(central, at + 12);
        entry.dosDate = le16(central, at + 14);
        entry.crc = le32(central, at + 16);
        entry.compressedSize = le32(central, at + 20);
        entry.size = le32(central, at + 24);
        entry.externalAttributes = le32(central, at + 38);
        entry.headerOffset = le32(central, at + 42);
        entry.rawName = central.mid(at + kCentralSize, nameLength);
        entry.centralOffset = directoryOffset + quint64(at);
        entry.comment = central.mid(at + kCentralSize + nameLength + extraLength, commentLength);
        const QByteArray extra = central.mid(at + kCentralSize + nameLength, extraLength);
        entry.unicodeName = unicodePath(extra);
        if (!applyZip64(extra, entry)) {
            return failure(Status::Damaged, QStringLiteral("bad zip64 field in record %1").arg(i));
        }
        directory.entries << entry;
        at += kCentralSize + nameLength + extraLength + commentLength;
    }

    // Every entry's local header and data must lie before the directory.
    for (ZipEntryRecord& entry : directory.entries) {
        const QByteArray local = entry.headerOffset < directoryOffset
                                     ? readAt(archive, entry.headerOffset, kLocalSize)
                                     : QByteArray();
        if (local.size() != kLocalSize || le32(local, 0) != kLocalSignature) {
            return failure(Status::Damaged, QStringLiteral("local header missing"));
        }
        entry.localFlags = le16(local, 6);
        entry.localName = readAt(archive, entry.headerOffset + kLocalSize, le16(local, 26));
        const quint64 dataOffset =
            entry.headerOffset + kLocalSize + le16(local, 26) + le16(local, 28);
        if (dataOffset > directoryOffset || entry.compressedSize > directoryOffset - dataOffset) {
            return failure(Status::Damaged, QStringLiteral("entry data runs past its end"));
        }
        entry.dataEnd = dataOffset + entry.compressedSize;
    }

    // Entries that share bytes inflate the same data many times over.
    QList<const ZipEntryRecord*> order;
    for (const ZipEntryRecord& entry : std::as_const(directory.entries)) order << &entry;
    std::sort(order.begin(), order.end(), [](const ZipEntryRecord* a, const ZipEntryRecord* b) {
        return a->headerOffset < b->headerOffset;
    });
    for (qsizetype i = 1; i < order.size(); ++i) {
        if (order[i]->headerOffset < order[i - 1]->dataEnd) {
            directory.status = Status::Overlap;
            directory.problem = QStringLiteral("entries share data");
            directory.overlapFirst = order[i - 1] - directory.entries.constData();
            directory.overlapSecond = order[i] - directory.entries.constData();
            return directory;
        }
    }
    return directory;
}
