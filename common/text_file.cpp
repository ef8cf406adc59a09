// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/text_file.h"

#include "common/part_file.h"
#include "common/regular_file.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>

#include <bit>
#include <new>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

QString zoma::decodeText(const QByteArray& bytes) {
    // The check stops at the first fault, so a GBK file is told apart within
    // a few bytes instead of being decoded twice (see BENCHMARKS.md).
    if (bytes.isValidUtf8()) {
        QString text = QString::fromUtf8(bytes);
        if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
        return text;
    }
    QStringDecoder gbk("GBK", QStringDecoder::Flag::Stateless);
    return gbk.decode(bytes);
}

qsizetype LineReader::lineEnd(qsizetype from) const {
    const char16_t* data = m_text.utf16();
    const qsizetype size = m_text.size();
    qsizetype i = from;
#ifdef __SSE2__
    // Eight characters at a time: a bank file is mostly long lines of text,
    // and reading lines is most of the work of loading one. Kept for speed:
    // without it the load misses its limit on a busy machine (BENCHMARKS.md).
    const __m128i cr = _mm_set1_epi16(u'\r');
    const __m128i zero = _mm_setzero_si128();
    while (i + 8 <= size) {
        // A character at or below CR saturates to zero; its two mask bits show where it is.
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
        const int low = _mm_movemask_epi8(_mm_cmpeq_epi16(_mm_subs_epu16(block, cr), zero));
        if (low == 0) {
            i += 8;
            continue;
        }
        i += std::countr_zero(unsigned(low)) / 2;
        if (data[i] == u'\r' || data[i] == u'\n') return i;
        ++i;  // another control character, such as a tab
    }
#endif
    while (i < size && data[i] != u'\r' && data[i] != u'\n') ++i;
    return i;
}

bool LineReader::next(QStringView* line) {
    const qsizetype size = m_text.size();
    if (m_pos >= size) return false;
    const qsizetype end = lineEnd(m_pos);
    *line = m_text.sliced(m_pos, end - m_pos);
    const char16_t* data = m_text.utf16();
    m_pos = end + (end + 1 < size && data[end] == u'\r' && data[end + 1] == u'\n' ? 2 : 1);
    ++m_number;
    return true;
}

QList<QStringView> zoma::splitLines(QStringView text) {
    QList<QStringView> lines;
    LineReader reader(text);
    QStringView line;
    while (reader.next(&line)) lines.append(line);
    return lines;
}

QByteArray zoma::encodeGbk(QStringView text) {
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

bool zoma::readTextFile(const QString& path, QString* text, QString* error) {
    QByteArray bytes;
    if (!zoma::readRegularFile(path, kMaxFileSize, &bytes, error)) return false;
    try {
        *text = zoma::decodeText(bytes);
    } catch (const std::bad_alloc&) {
        *error = QStringLiteral("内存不足");
        return false;
    }
    return true;
}

bool zoma::writeAll(QIODevice& device, const QByteArray& bytes, QString* error) {
    for (qint64 done = 0; done < bytes.size();) {
        // A second attempt after a short write fails with the system's reason.
        const qint64 written = device.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0) {
            *error = device.errorString();
            return false;
        }
        done += written;
    }
    return true;
}

bool zoma::writeTextFile(const QString& path, const QList<QString>& lines, QString* error) {
    qsizetype size = 0;
    for (const QString& line : lines) size += line.size() + 2;
    QString text;
    text.reserve(size);
    for (const QString& line : lines) {
        text += line;
        text += u"\r\n";
    }
    return zoma::writeText(path, text, error);
}

bool zoma::writeText(const QString& path, QStringView text, QString* error) {
    PartFile part(path, PartFile::Links::WriteThrough);
    // Unbuffered, so that a short write (a full disk) shows at write().
    return part.open(QIODevice::Unbuffered, error) &&
           zoma::writeAll(part.file(), zoma::encodeGbk(text), error) && part.commit(error);
}
