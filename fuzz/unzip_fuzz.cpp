// SPDX-License-Identifier: GPL-3.0-or-later
// Extracting arbitrary bytes as a zip archive must never crash, never create
// anything outside the target folder, never create a link, and never write
// through a link that stands in the target. Every file written must hold its
// own entry's bytes as a second, independent reader finds them, and entries
// that share data must never be extracted.
#include "import/unzip_engine.h"

#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QTemporaryDir>

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    check(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int g_replies = 0;
int g_entries = 0;             // entries reported so far
QMap<QString, int> g_written;  // file written -> index of the entry it came from

qint32 print(const char* text, quint32 length) {
    check(text != nullptr);
    const QString line = QString::fromUtf8(text, length).chopped(length > 0 ? 1 : 0);
    const QString inflating = QStringLiteral("  inflating: ");
    if (line.startsWith(inflating)) g_written[line.mid(inflating.size())] = g_entries - 1;
    return 0;
}
qint32 replace(const char* name) {
    check(name != nullptr);
    static const qint32 answers[] = {UnzipReplaceAnswer::Yes, UnzipReplaceAnswer::No, 7,
                                     UnzipReplaceAnswer::None};
    return answers[g_replies++ % 4];
}
qint32 password(char*, qint32, const char*, const char*) {
    return 1;
}
void entry(qint32, qint32, qint32, qint32, qint32, qint32, qint32, qint32, qint32, const char* name,
           const char*, qint32, qint32) {
    check(name != nullptr);
    ++g_entries;
}

// A reader of its own, in the way of Python's zipfile: the last end record
// in the file, each entry's bytes from its own local header, inflated by
// zlib. It reads no zip64, encrypted or other methods, nor an archive after
// other data: nullopt for those.
quint64 le(const QByteArray& b, qsizetype at, int width) {
    quint64 v = 0;
    for (int i = width - 1; i >= 0; --i) v = (v << 8) | uchar(b[at + i]);
    return v;
}

struct Entry {
    quint64 header = 0;
    quint64 dataEnd = 0;
    std::optional<QByteArray> bytes;
};

std::optional<QByteArray> inflated(const QByteArray& data, quint64 size) {
    if (size > 64 * 1024 * 1024) return std::nullopt;
    QByteArray out(qsizetype(size) + 1, Qt::Uninitialized);
    z_stream z{};
    if (inflateInit2(&z, -MAX_WBITS) != Z_OK) return std::nullopt;
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
    z.avail_in = uInt(data.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = uInt(out.size());
    const int result = inflate(&z, Z_FINISH);
    const qsizetype produced = out.size() - qsizetype(z.avail_out);
    inflateEnd(&z);
    if (result != Z_STREAM_END) return std::nullopt;
    return out.left(produced);
}

std::optional<QList<Entry>> ownReading(const QByteArray& zip) {
    const qsizetype end = zip.lastIndexOf(QByteArrayView("PK\x05\x06", 4));
    if (end < 0 || end + 22 > zip.size() || zip.size() - end > 22 + 0xFFFF) return std::nullopt;
    const quint64 count = le(zip, end + 10, 2);
    const quint64 directorySize = le(zip, end + 12, 4);
    quint64 at = le(zip, end + 16, 4);
    if (count == 0xFFFF || at == 0xFFFFFFFF) return std::nullopt;
    // Like Python, the directory must end where the end record starts; data
    // put before the archive (which shifts every offset) is not read.
    if (at + directorySize != quint64(end)) return std::nullopt;
    QList<Entry> entries;
    for (quint64 i = 0; i < count; ++i) {
        if (at + 46 > quint64(zip.size()) || le(zip, qsizetype(at), 4) != 0x02014b50)
            return std::nullopt;
        const auto c = qsizetype(at);
        const quint64 flags = le(zip, c + 8, 2), method = le(zip, c + 10, 2);
        const quint64 packed = le(zip, c + 20, 4), size = le(zip, c + 24, 4);
        const quint64 header = le(zip, c + 42, 4);
        at += 46 + le(zip, c + 28, 2) + le(zip, c + 30, 2) + le(zip, c + 32, 2);
        if (header + 30 > quint64(zip.size()) || le(zip, qsizetype(header), 4) != 0x04034b50)
            return std::nullopt;
        const quint64 data =
            header + 30 + le(zip, qsizetype(header) + 26, 2) + le(zip, qsizetype(header) + 28, 2);
        if (packed == 0xFFFFFFFF || data + packed > quint64(zip.size())) return std::nullopt;
        Entry entry{header, data + packed, std::nullopt};
        const QByteArray stored = zip.mid(qsizetype(data), qsizetype(packed));
        if (!(flags & 1) && method == 0) entry.bytes = stored;
        if (!(flags & 1) && method == 8) entry.bytes = inflated(stored, size);
        entries << entry;
    }
    return entries;
}

bool sharesData(QList<Entry> entries) {
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return a.header < b.header; });
    for (qsizetype i = 1; i < entries.size(); ++i) {
        if (entries[i].header < entries[i - 1].dataEnd) return true;
    }
    return false;
}

}  // namespace

// The first input byte chooses the options; the rest is the archive.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    static QTemporaryDir sandbox;
    check(sandbox.isValid());
    const QString archive = sandbox.filePath(QStringLiteral("archive.zip"));
    const QString outside = sandbox.filePath(QStringLiteral("outside.txt"));
    const QString target = sandbox.filePath(QStringLiteral("target"));
    const QByteArray outsideBytes("outside, never to change");

    QDir(target).removeRecursively();
    check(QDir().mkpath(target));
    writeFile(outside, outsideBytes);
    writeFile(archive, QByteArray(reinterpret_cast<const char*>(data) + 1,
                                  static_cast<qsizetype>(size - 1)));
    // Files standing in the target before the import: a plain one and a link.
    writeFile(target + QStringLiteral("/a.txt"), "old");
    check(QFile::link(outside, target + QStringLiteral("/b.txt")));

    const QByteArray archivePath = archive.toUtf8();
    const QByteArray targetPath = target.toUtf8();
    UnzipOptions options;
    options.promptOverwrite = data[0] & 1;
    options.overwriteExisting = (data[0] >> 1) & 1;
    options.honourDirectories = (data[0] >> 2) & 1;
    options.listOnly = (data[0] & 0xF8) == 0xF8;
    options.archivePath = archivePath.constData();
    options.targetDir = targetPath.constData();
    UnzipCallbacks callbacks;
    callbacks.print = print;
    callbacks.replace = replace;
    callbacks.password = password;
    callbacks.entry = entry;
    UnzipVersionInfo version;
    version.length = sizeof version;
    UzpVersion2(&version);
    g_entries = 0;
    g_written.clear();
    const qint32 result = windll_unzip(0, nullptr, 0, nullptr, &options, &callbacks);
    check(result >= 0 && result <= 82);

    // Each file written holds what the own reader finds for its entry.
    const QByteArray zip = readFile(archive);
    const std::optional<QList<Entry>> own = ownReading(zip);
    for (auto it = g_written.cbegin(); it != g_written.cend(); ++it) {
        check(it.value() >= 0);
        if (!own || it.value() >= own->size() || !own->at(it.value()).bytes) continue;
        check(readFile(target + u'/' + it.key()) == *own->at(it.value()).bytes);
    }
    if (own && sharesData(*own)) check(g_written.isEmpty());

    // Nothing beside the target changed, and no link appeared inside it.
    check(QDir(sandbox.path())
              .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System | QDir::Hidden) ==
          QStringList({QStringLiteral("archive.zip"), QStringLiteral("outside.txt"),
                       QStringLiteral("target")}));
    check(readFile(outside) == outsideBytes);
    QDirIterator it(target, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        check(!info.isSymLink() || info.filePath() == target + QStringLiteral("/b.txt"));
    }
    return 0;
}
