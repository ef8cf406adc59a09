// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

#include <functional>

// How well an answer was known, as FSRS rates it. A wrong answer is Again; a
// right one is Good unless the user chose otherwise.
enum class Rating { Again = 1, Hard = 2, Good = 3, Easy = 4 };

// One answer, as one line of the review log.
struct ReviewEntry {
    QDateTime when;   // local time with its UTC offset (Qt::OffsetFromUTC)
    QString edition;  // zoma::editionKey of the paper, such as "2025"
    QString id;       // the bank's identifier: MC1-0005, LK0012
    QString source;  // where it was answered: "exam", "wrong" (错题练习), "review" (今日复习),
                     // "browse" (练习所选)
    QString chosen;  // the letters chosen, in letter order; empty when none
    bool correct = false;
    Rating rating = Rating::Good;
    int seconds = 0;  // time spent on the question

    friend bool operator==(const ReviewEntry&, const ReviewEntry&) = default;
};

// A line of the log that was not taken as written: its 1-based number and
// why. A damaged line is skipped; a line dated after the reading is taken.
struct LogIssue {
    qsizetype line = 0;
    QString reason;
    bool taken = false;  // dated later than the reading: taken, at that time at the latest
};

namespace zoma {

// The one line of an entry, without its line end:
// 2026-12-07T14:35:02+08:00<TAB>2025<TAB>MC1-0005<TAB>review<TAB>AB<TAB>1<TAB>3<TAB>12
// (time, edition, identifier, source, letters, right 1/0, rating 1-4, seconds).
// Tabs and line ends inside the texts become spaces.
QString reviewLine(const ReviewEntry& entry);
// Reads one line written by reviewLine; false with the reason when it is damaged.
bool parseReviewLine(QStringView line, ReviewEntry* entry, QString* reason);

// The time of an answer as the log stores it: local time with its offset,
// whole seconds.
QDateTime logTime(const QDateTime& when);

}  // namespace zoma

// The review log: one file in AppDir that every answer is appended to, one
// line a record, UTF-8. It is the only record of what the user knows, so it is
// never rewritten: damaged lines are reported and left where they are.
class ReviewLog final {
public:
    static const QString FileName;  // "review-log.tsv"
    // The most read at start: a million lines are about 60 MB.
    static constexpr qint64 MaxSize = qint64(256) * 1024 * 1024;

    explicit ReviewLog(QString path) : m_path(std::move(path)) {}
    const QString& path() const { return m_path; }

    // Appends one line, creating the file when it is absent. Refuses at
    // once, writing nothing, when something other than a regular file stands
    // at the path (a FIFO, a device, a folder); never blocks.
    bool append(const ReviewEntry& entry, QString* error);
    // The lines of several answers in one write.
    bool append(const QList<ReviewEntry>& entries, QString* error);

    // Every good line in file order. Damaged lines are skipped, each with an
    // issue; a last line without its line end (a write cut short) is left out
    // with one issue. When latest is valid, a line dated after it is read as
    // written, with an issue that says it was taken. A missing file is an
    // empty log. False only when the file cannot be read at all.
    bool read(QList<ReviewEntry>* entries, QList<LogIssue>* issues, QString* error,
              const QDateTime& latest = {}) const;
    // The same, each good line handed over as it is read.
    bool read(const std::function<void(ReviewEntry&&)>& take, QList<LogIssue>* issues,
              QString* error, const QDateTime& latest = {}) const;

private:
    QString m_path;
};
