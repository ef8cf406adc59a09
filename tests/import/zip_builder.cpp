// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/import/zip_builder.h"

#include <initializer_list>

namespace {

void put16(QByteArray& out, quint32 v) {
    out.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF));
}
void put32(QByteArray& out, quint32 v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}
void put64(QByteArray& out, quint64 v) {
    put32(out, quint32(v));
    put32(out, quint32(v >> 32));
}
// A zip64 extra field with the given values.
QByteArray zip64Extra(std::initializer_list<quint64> values) {
    QByteArray extra;
    put16(extra, 0x0001);
    put16(extra, quint32(values.size() * 8));
    for (const quint64 v : values) put64(extra, v);
    return extra;
}

QByteArray rawDeflate(const QByteArray& data) {
    // qCompress: 4-byte length, 2-byte zlib header, deflate data, 4-byte Adler-32.
    const QByteArray zlib = qCompress(data, 9);
    return zlib.mid(6, zlib.size() - 10);
}

}  // namespace

quint32 crc32Of(const QByteArray& data) {
    quint32 crc = 0xFFFFFFFF;
    for (const char c : data) {
        crc ^= uchar(c);
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
    }
    return ~crc;
}

ZipItem symlinkItem(const QByteArray& name, const QByteArray& target) {
    ZipItem item{name, target};
    item.madeBy = 0x031E;  // made on Unix
    item.attributes = 0120777u << 16;
    return item;
}

QByteArray buildZip(const QList<ZipItem>& items) {
    constexpr quint32 dosTime = (kHour << 11) | (kMinute << 5);
    constexpr quint32 dosDate = ((kYear - 1980) << 9) | (kMonth << 5) | kDay;
    constexpr quint32 kAllOnes = 0xFFFFFFFF;
    QByteArray out;
    QByteArray central;
    QList<quint32> offsets;
    bool zip64 = false;
    for (const ZipItem& item : items) {
        zip64 = zip64 || item.zip64;
        const QByteArray stored = item.method == 8 ? rawDeflate(item.data) : item.data;
        const quint32 crc = item.crc.value_or(crc32Of(item.data));
        const quint32 size = item.declaredSize.value_or(quint32(item.data.size()));
        const auto header = [&](QByteArray& to, const QByteArray& extra) {
            put16(to, item.zip64 ? 45 : 20);
            put16(to, item.flags);
            put16(to, item.method);
            put16(to, dosTime);
            put16(to, dosDate);
            put32(to, crc);
            put32(to, item.zip64 ? kAllOnes : quint32(stored.size()));
            put32(to, item.zip64 ? kAllOnes : size);
            put16(to, quint32(item.name.size()));
            put16(to, quint32(extra.size()));
        };
        if (item.shareWith >= 0) {
            offsets << offsets[item.shareWith];
        } else {
            offsets << quint32(out.size());
            const QByteArray extra =
                item.zip64 ? zip64Extra({size, quint64(stored.size())}) : QByteArray();
            put32(out, 0x04034b50);
            header(out, extra);
            out += item.name + extra + stored;
        }
        const QByteArray extra =
            item.zip64 ? zip64Extra({size, quint64(stored.size()), offsets.last()}) : QByteArray();
        put32(central, 0x02014b50);
        put16(central, item.madeBy);
        header(central, extra);
        put16(central, 0);  // comment
        put16(central, 0);  // disk
        put16(central, 0);  // internal attributes
        put32(central, item.attributes);
        put32(central, item.zip64 ? kAllOnes : offsets.last());
        central += item.name + extra;
    }
    const quint32 centralOffset = quint32(out.size());
    out += central;
    if (zip64) {
        const quint64 end64Offset = quint64(out.size());
        put32(out, 0x06064b50);
        put64(out, 44);  // size of the rest of this record
        put16(out, 45);
        put16(out, 45);
        put32(out, 0);
        put32(out, 0);
        put64(out, quint64(items.size()));
        put64(out, quint64(items.size()));
        put64(out, quint64(central.size()));
        put64(out, centralOffset);
        put32(out, 0x07064b50);
        put32(out, 0);
        put64(out, end64Offset);
        put32(out, 1);
    }
    put32(out, 0x06054b50);
    put16(out, 0);
    put16(out, 0);
    put16(out, zip64 ? 0xFFFF : quint32(items.size()));
    put16(out, zip64 ? 0xFFFF : quint32(items.size()));
    put32(out, zip64 ? kAllOnes : quint32(central.size()));
    put32(out, zip64 ? kAllOnes : centralOffset);
    put16(out, 0);
    return out;
}

QByteArray withHiddenDirectory(const QList<ZipItem>& items, const QList<ZipItem>& hidden) {
    const QByteArray outer = buildZip(items);
    const QByteArray inner = buildZip(hidden);
    const auto le32 = [&inner](qsizetype at) {
        return quint32(uchar(inner[at])) | quint32(uchar(inner[at + 1])) << 8 |
               quint32(uchar(inner[at + 2])) << 16 | quint32(uchar(inner[at + 3])) << 24;
    };
    const quint32 size = le32(inner.size() - 10);
    const quint32 offset = le32(inner.size() - 6);
    // The comment starts where the outer archive's comment length ends.
    QByteArray comment = inner.mid(offset, size);
    put32(comment, 0x06054b50);
    put16(comment, 0);
    put16(comment, 0);
    put16(comment, quint32(hidden.size()));
    put16(comment, quint32(hidden.size()));
    put32(comment, size);
    put32(comment, quint32(outer.size()));
    put16(comment, 0);
    QByteArray out = outer.chopped(2);
    put16(out, quint32(comment.size()));
    return out + comment;
}
