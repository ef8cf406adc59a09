// SPDX-License-Identifier: GPL-3.0-or-later
// Extracting arbitrary bytes as a zip archive must never crash, never create
// anything outside the target folder, never create a link, and never write
// through a link that stands in the target.
#include "import/unzip_engine.h"

#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

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

qint32 print(const char* text, quint32) {
    check(text != nullptr);
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
    const qint32 result = windll_unzip(0, nullptr, 0, nullptr, &options, &callbacks);
    check(result >= 0 && result <= 82);

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
