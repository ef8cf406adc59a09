#include "bank/text_file.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

QString decodeText(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) {
        if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
        return text;
    }
    QStringDecoder gbk("GBK", QStringDecoder::Flag::Stateless);
    return gbk.decode(bytes);
}

QList<QStringView> splitLines(QStringView text) {
    QList<QStringView> lines;
    const qsizetype size = text.size();
    const QChar* data = text.data();
    qsizetype start = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = data[i].unicode();
        if (c != u'\r' && c != u'\n') continue;
        lines.append(text.sliced(start, i - start));
        if (c == u'\r' && i + 1 < size && data[i + 1] == u'\n') ++i;
        start = i + 1;
    }
    if (start < size) lines.append(text.sliced(start));
    return lines;
}

QByteArray encodeGbk(QStringView text) {
    QStringEncoder gbk("GBK", QStringEncoder::Flag::Stateless);
    QByteArray bytes = gbk.encode(text);
    if (!gbk.hasError()) return bytes;

    // Encode piece by piece so that only the characters GBK lacks turn into "?".
    bytes.clear();
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype len = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        QStringEncoder one("GBK", QStringEncoder::Flag::Stateless);
        const QByteArray piece = one.encode(text.sliced(i, len));
        bytes += one.hasError() ? QByteArray("?") : piece;
        i += len;
    }
    return bytes;
}

FileText readTextFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {QString(), file.errorString()};
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) return {QString(), file.errorString()};
    return {decodeText(bytes), QString()};
}

QString writeTextFile(const QString& path, const QList<QString>& lines) {
    QString text;
    for (const QString& line : lines) {
        text += line;
        text += u"\r\n";
    }
    QSaveFile file(path);
    // Unbuffered, so that a short write (a full disk) shows here: commit() does
    // not notice a failed final flush and would keep a truncated file.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return file.errorString();
    const QByteArray bytes = encodeGbk(text);
    for (qint64 done = 0; done < bytes.size();) {
        // A second attempt after a short write fails with the system's reason.
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0) return file.errorString();
        done += written;
    }
    if (!file.commit()) return file.errorString();
    return {};
}
