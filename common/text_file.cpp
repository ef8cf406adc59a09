// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/text_file.h"

#include "common/gbk.h"
#include "common/part_file.h"
#include "common/regular_file.h"
#include "common/system_error.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <bit>
#include <new>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

QString zoma::decodeText(const QByteArray& bytes) {
    // Checking the whole file before decoding it costs as much as the
    // decoding (see BENCHMARKS.md). The start tells a GBK file apart within
    // a few bytes; past it, a fault shows as a replacement character, and
    // only a text holding one is checked whole.
    constexpr qsizetype kLook = 4096;
    qsizetype look = std::min(bytes.size(), kLook);
    // Not in the middle of a character: a continuation byte is 10xxxxxx.
    while (look > 0 && look < bytes.size() && (uchar(bytes[look]) & 0xC0) == 0x80) --look;
    if (QByteArrayView(bytes).first(look).isValidUtf8()) {
        QString text = QString::fromUtf8(bytes);
        if (!text.contains(QChar::ReplacementCharacter) || bytes.isValidUtf8()) {
            if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
            return text;
        }
    }
    return zoma::fromGbk(bytes);
}

namespace {

// Inline here, as the line reader calls it for every line.
inline qsizetype atOrBelow(const char16_t* data, qsizetype size, qsizetype from, char16_t limit) {
    qsizetype i = from;
#ifdef __SSE2__
    // Eight characters at a time: reading lines and fields is most of the
    // work of loading a bank. Kept for speed: without it the load misses its
    // limit (BENCHMARKS.md).
    const __m128i bound = _mm_set1_epi16(short(limit));
    const __m128i zero = _mm_setzero_si128();
    while (i + 8 <= size) {
        // A character at or below the limit saturates to zero; its two mask bits show where it is.
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
        const int hits = _mm_movemask_epi8(_mm_cmpeq_epi16(_mm_subs_epu16(block, bound), zero));
        if (hits != 0) return i + std::countr_zero(unsigned(hits)) / 2;
        i += 8;
    }
#endif
    while (i < size && data[i] > limit) ++i;
    return i;
}

}  // namespace

qsizetype zoma::findAtOrBelow(QStringView text, qsizetype from, char16_t limit) {
    return atOrBelow(text.utf16(), text.size(), from, limit);
}

qsizetype LineReader::lineEnd(qsizetype from) const {
    const char16_t* data = m_text.utf16();
    for (qsizetype i = from;; ++i) {
        // Passes over other control characters, such as a tab.
        i = atOrBelow(data, m_text.size(), i, u'\r');
        if (i == m_text.size() || data[i] == u'\r' || data[i] == u'\n') return i;
    }
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
    bool complete = false;
    QByteArray bytes = zoma::toGbk(text, &complete);
    if (complete) return bytes;

    // Encode piece by piece so that only the characters GBK lacks turn into "?".
    bytes.clear();
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype len = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QByteArray piece = zoma::toGbk(text.sliced(i, len), &complete);
        bytes += complete ? piece : QByteArray("?");
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
            *error = zoma::qtReason(device.errorString());
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
    return zoma::writeBytes(path, zoma::encodeGbk(text), error);
}

bool zoma::writeBytes(const QString& path, const QByteArray& bytes, QString* error) {
    PartFile part(path, PartFile::Links::WriteThrough);
    // Unbuffered, so that a short write (a full disk) shows at write().
    return part.open(QIODevice::Unbuffered, error) && zoma::writeAll(part.file(), bytes, error) &&
           part.commit(error);
}
