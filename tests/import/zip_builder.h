// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>

#include <optional>

// Writes zip archives byte by byte, so that tests can make every kind of
// damage that a well-behaved zip library refuses to write.
struct ZipItem {
    QByteArray name{};  // stored bytes, as they are
    QByteArray data{};
    quint16 method = 0;  // 0 stored, 8 deflated; any other stores data labelled so
    quint16 flags = 0;   // 0x0800: name is UTF-8
    quint16 madeBy = 0x0314;
    quint32 attributes = 0;
    std::optional<quint32> declaredSize{};  // instead of the data's real size
    std::optional<quint32> crc{};           // instead of the data's real CRC
    int shareWith = -1;                     // point at another item's header and data
    bool zip64 = false;  // sizes and offset in zip64 extra fields, and zip64 end records
};

constexpr quint16 kUtf8Flag = 0x0800;

ZipItem symlinkItem(const QByteArray& name, const QByteArray& target);

QByteArray buildZip(const QList<ZipItem>& items);

// The archive of items, with the directory of hidden, a second complete
// directory and end record, in its comment. The two lists must lay out their
// local headers alike (names of equal length), so that both directories
// point at real entries.
QByteArray withHiddenDirectory(const QList<ZipItem>& items, const QList<ZipItem>& hidden);
quint32 crc32Of(const QByteArray& data);

// Entry date and time of every item: 5 July 2013, 9:03.
constexpr int kYear = 2013, kMonth = 7, kDay = 5, kHour = 9, kMinute = 3;
