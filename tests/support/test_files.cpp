// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/test_files.h"

#include "common/text_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

void writeBytes(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        QTest::qFail(qPrintable(QStringLiteral("cannot write ") + path), __FILE__, __LINE__);
    }
}

QByteArray readBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

bool sameFile(const QString& actual, const QString& expected) {
    if (actual == expected) return true;
    if (actual.isEmpty() || expected.isEmpty()) return false;
    return QFileInfo(actual) == QFileInfo(expected);
}

bool makeFifo(const QString& path) {
#ifdef Q_OS_UNIX
    if (::mkfifo(QFile::encodeName(path).constData(), 0600) != 0)
        QTest::qFail(qPrintable(QStringLiteral("cannot make FIFO ") + path), __FILE__, __LINE__);
    return true;
#else
    Q_UNUSED(path);
    return false;
#endif
}

bool makeSymlink(const QString& target, const QString& path) {
#ifdef Q_OS_UNIX
    if (::symlink(QFile::encodeName(target).constData(), QFile::encodeName(path).constData()) != 0)
        QTest::qFail(qPrintable(QStringLiteral("cannot make link ") + path), __FILE__, __LINE__);
    return true;
#else
    Q_UNUSED(target);
    Q_UNUSED(path);
    return false;
#endif
}

QByteArray gbkLines(const QString& textWithLf) {
    QString text = textWithLf;
    text.replace(u'\n', QStringLiteral("\r\n"));
    return zoma::encodeGbk(text);
}

void copySampleLib(const QString& dir) {
    QDir().mkpath(dir);
    const QDir source(QStringLiteral(ZOMA_SAMPLE_LIB));
    const QStringList names = source.entryList(QDir::Files);
    if (names.isEmpty()) QTest::qFail("sample library is missing", __FILE__, __LINE__);
    for (const QString& name : names) {
        QFile::copy(source.filePath(name), QDir(dir).filePath(name));
    }
}

QMap<QString, QByteArray> folderFiles(const QString& dir) {
    QMap<QString, QByteArray> files;
    const QStringList names =
        QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    for (const QString& name : names) files.insert(name, readBytes(dir + u'/' + name));
    return files;
}
