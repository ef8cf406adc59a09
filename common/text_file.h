// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringView>

// Text as the program reads it: UTF-8 when the bytes are valid UTF-8 (a
// byte-order mark is dropped), GBK otherwise.
QString decodeText(const QByteArray& bytes);

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

// All lines of a text, as LineReader cuts them.
QList<QStringView> splitLines(QStringView text);

// GBK bytes; a character GBK cannot hold becomes "?".
QByteArray encodeGbk(QStringView text);

// The whole file, or the reason it could not be read.
struct FileText {
    QString text;
    QString error;  // empty on success
    bool ok() const { return error.isEmpty(); }
};
FileText readTextFile(const QString& path);

// Writes the lines as GBK, each ending in CR LF, replacing the file whole so
// that a failure leaves the old file intact. Returns the reason on failure,
// empty text on success.
QString writeTextFile(const QString& path, const QList<QString>& lines);

// The same for text that already ends each of its lines in CR LF.
QString writeText(const QString& path, QStringView text);
