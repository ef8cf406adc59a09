// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "exam/exam_paper.h"

#include <QDateTime>
#include <QList>
#include <QString>

// The wrong-answer notebook: every question answered wrongly or not at all,
// keyed by edition and identifier, with how often it went wrong. A question
// answered right twice in a row leaves it. Kept as a text file a person can
// read, one question a line.
class Notebook final {
public:
    static const QString FileName;
    static constexpr int RightToLeave = 2;

    struct Entry {
        Edition edition = Edition::Earlier;
        QString id;
        int wrong = 0;        // times answered wrongly or not at all
        int rightStreak = 0;  // right answers since the last wrong one
    };

    explicit Notebook(QString path) : m_path(std::move(path)) {}

    // A missing file is an empty notebook. A file that cannot be read or
    // parsed is reported and from then on never written, so it stays as it was.
    bool load(QString* error);
    bool save(QString* error) const;
    bool writable() const { return !m_broken; }

    void answered(Edition edition, const QString& id, bool right);
    const Entry* find(Edition edition, const QString& id) const;
    const QList<Entry>& entries() const { return m_entries; }
    const QString& path() const { return m_path; }

private:
    qsizetype indexOf(Edition edition, const QString& id) const;  // -1 when absent
    QString m_path;
    QList<Entry> m_entries;
    bool m_broken = false;
};

// One line per exam: when, level, edition, count, score, pass, seconds used.
class ExamHistory final {
public:
    static const QString FileName;

    struct Line {
        QDateTime when;
        QString level;
        Edition edition = Edition::Earlier;
        int count = 0;
        int score = 0;
        bool passed = false;
        qint64 seconds = 0;
    };

    explicit ExamHistory(QString path) : m_path(std::move(path)) {}

    bool load(QString* error);  // as Notebook::load
    // Adds the line and writes the file whole.
    bool append(const Line& line, QString* error);
    bool writable() const { return !m_broken; }
    const QList<Line>& lines() const { return m_lines; }
    const QString& path() const { return m_path; }

    static QString format(const Line& line);

private:
    QString m_path;
    QList<Line> m_lines;
    bool m_broken = false;
};
