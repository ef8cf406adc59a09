#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringView>

// Text as the program reads it: UTF-8 when the bytes are valid UTF-8 (a
// byte-order mark is dropped), GBK otherwise.
QString decodeText(const QByteArray& bytes);

// Lines ending at CR LF, a lone CR or a lone LF; the line end is not part of
// the line, and a last line without an end still counts.
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
