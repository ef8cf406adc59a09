// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QMap>
#include <QString>

#include <utility>

// The paper numbers given out, by day and title ("A类模拟试卷"), so that a
// number names one paper even when its file went elsewhere, was replaced or
// held several papers. Kept as a text file of the day's lines; what could
// not be written is still known for the rest of the run.
class PaperNumbers final {
public:
    static const QString FileName;

    explicit PaperNumbers(QString path) : m_path(std::move(path)) {}

    // Reads the file again, keeping the higher of each number known. A
    // missing file holds nothing; one that cannot be read or parsed is
    // reported and left as it is, never written.
    bool load(QString* error);
    // The last number given out on date for title; 0 when none was.
    int last(const QDate& date, const QString& title) const;
    // Records the numbers up to last as given out and writes the file, with
    // the lines of that day alone.
    bool give(const QDate& date, const QString& title, int last, QString* error);

    const QString& path() const { return m_path; }

private:
    QString m_path;
    QMap<std::pair<QDate, QString>, int> m_last;
    bool m_broken = false;
    QString m_reason;  // why the file is not written
};
