// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "memory/memory_state.h"
#include "memory/review_log.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

#include <map>
#include <vector>

// The one memory of the program, shared by every window: the review log, read
// when first needed, and each edition's answers replayed from it. An answer
// recorded in any window is appended to the log, taken into the memory and
// announced at once, so that every open page shows it.
class ReviewMemory final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ReviewMemory)

public:
    explicit ReviewMemory(QString logPath, QObject* parent = nullptr);
    ~ReviewMemory() override;

    const QString& path() const { return m_log.path(); }

    // Reads the log when it has not been read yet, or when it changed other
    // than through record() (another copy of the program answering). True
    // when it was read now, so that what the read found is news.
    bool refresh(const QDateTime& now);
    // What the last read found: false with the reason when the file could
    // not be read at all (the memory then holds this run's answers only), and
    // the lines not taken as written.
    bool readable() const { return m_readError.isEmpty(); }
    const QString& readError() const { return m_readError; }
    const QList<LogIssue>& issues() const { return m_issues; }

    // The memory of an edition's questions under the parameters, worked out
    // again when the log was read or the parameters changed since; an answer
    // dated after now is taken at now. The reference stays valid for the
    // memory's life.
    const MemoryState& state(const QString& edition, const FsrsParams& params,
                             const QDateTime& now);

    // Appends the answers to the log and takes them into the memory, written
    // or not: answering goes on when the log cannot be written. False with
    // the reason when they were not written.
    bool record(const QList<ReviewEntry>& entries, QString* error);

signals:
    // After answers were taken into the memory.
    void recorded(const QList<ReviewEntry>& entries);

private:
    struct Replayed {
        MemoryState state;
        FsrsParams params;
        bool current = false;
    };

    // What the scheduler needs of an answer, its texts numbered in m_texts:
    // a million lines in 24 MB, where as entries they took 170 MB (see
    // BENCHMARKS.md).
    struct Answer {
        qint64 secs = 0;  // since the epoch
        qint32 edition = 0, id = 0, chosen = 0;
        quint8 rating = 0;
        bool correct = false;
    };

    qint64 fileSize() const;
    void keep(const ReviewEntry& entry);
    // The number of a text; field (0 edition, 1 identifier, 2 letters) keeps
    // the last one, which most lines repeat.
    qint32 textNumber(const QString& text, int field);

    ReviewLog m_log;
    bool m_read = false;
    qint64 m_knownSize = -1;        // the log's size as read and appended to by us
    std::vector<Answer> m_answers;  // the log's, then this run's, in order
    QList<QString> m_texts;
    QHash<QString, qint32> m_textNumbers;
    qint32 m_lastNumbers[3] = {-1, -1, -1};
    QList<ReviewEntry> m_unwritten;  // kept for a later read of the log
    QString m_readError;
    QList<LogIssue> m_issues;
    std::map<QString, Replayed> m_editions;  // a map: the states' addresses stay put
};
