// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/import/zip_builder.h"

namespace {

void put16(QByteArray& out, quint32 v) {
    out.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF));
}
void put32(QByteArray& out, quint32 v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
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
    QByteArray out;
    QByteArray central;
    QList<quint32> offsets;
    for (const ZipItem& item : items) {
        const QByteArray stored = item.method == 8 ? rawDeflate(item.data) : item.data;
        const quint32 crc = item.crc.value_or(crc32Of(item.data));
        const quint32 size = item.declaredSize.value_or(quint32(item.data.size()));
        const auto header = [&](QByteArray& to) {
            put16(to, 20);
            put16(to, item.flags);
            put16(to, item.method);
            put16(to, dosTime);
            put16(to, dosDate);
            put32(to, crc);
            put32(to, quint32(stored.size()));
            put32(to, size);
            put16(to, quint32(item.name.size()));
            put16(to, 0);
        };
        if (item.shareWith >= 0) {
            offsets << offsets[item.shareWith];
        } else {
            offsets << quint32(out.size());
            put32(out, 0x04034b50);
            header(out);
            out += item.name + stored;
        }
        put32(central, 0x02014b50);
        put16(central, item.madeBy);
        header(central);
        put16(central, 0);  // comment
        put16(central, 0);  // disk
        put16(central, 0);  // internal attributes
        put32(central, item.attributes);
        put32(central, offsets.last());
        central += item.name;
    }
    const quint32 centralOffset = quint32(out.size());
    out += central;
    put32(out, 0x06054b50);
    put16(out, 0);
    put16(out, 0);
    put16(out, quint32(items.size()));
    put16(out, quint32(items.size()));
    put32(out, quint32(central.size()));
    put32(out, centralOffset);
    put16(out, 0);
    return out;
}
