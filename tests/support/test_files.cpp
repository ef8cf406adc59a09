// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/test_files.h"

#include "common/text_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

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
