// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QList>
#include <QString>
#include <QStringView>

namespace zoma {

// Text as the program reads it: UTF-8 when the bytes are valid UTF-8 (a
// byte-order mark is dropped), GBK otherwise.
QString decodeText(const QByteArray& bytes);

}  // namespace zoma

// The lines of a text one at a time: a line ends at CR LF, a lone CR or a
// lone LF; the line end is not part of the line, and a last line without an
// end still counts.
class LineReader final {
public:
    explicit LineReader(QStringView text) : m_text(text) {}

    // The next line, or false at the end of the text.
    bool next(QStringView* line);
    // 1-based number of the line next() gave last.
    qsizetype number() const { return m_number; }

private:
    // The first CR or LF at or after from, or the size.
    qsizetype lineEnd(qsizetype from) const;

    QStringView m_text;
    qsizetype m_pos = 0;
    qsizetype m_number = 0;
};

namespace zoma {

// The first position at or after from whose character is at or below limit,
// or the size of text: a quick way past long runs of text to the next
// control character or ASCII stop (a comma, a quote) that may matter.
qsizetype findAtOrBelow(QStringView text, qsizetype from, char16_t limit);

// All lines of a text, as LineReader cuts them.
QList<QStringView> splitLines(QStringView text);

// GBK bytes; a character GBK cannot hold becomes "?".
QByteArray encodeGbk(QStringView text);

// Readers and writers return false on failure and put the reason into *error.

// The whole file as text (see decodeText). A file that is not a regular one
// or holds more than kMaxFileSize bytes is refused.
bool readTextFile(const QString& path, QString* text, QString* error);

// Every byte to the device, which must report a short write (a full disk) at
// write(): an unbuffered file, or a buffer.
bool writeAll(QIODevice& device, const QByteArray& bytes, QString* error);

// Writes the lines as GBK, each ending in CR LF, replacing the file whole
// through a part file so that a failure leaves the old file intact. A link
// at path stays a link; the file it points to is replaced.
bool writeTextFile(const QString& path, const QList<QString>& lines, QString* error);

// The same for text that already ends each of its lines in CR LF.
bool writeText(const QString& path, QStringView text, QString* error);

// The bytes as the whole file, through a part file like the writers above.
bool writeBytes(const QString& path, const QByteArray& bytes, QString* error);

}  // namespace zoma
