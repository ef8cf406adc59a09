// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "exam/exam_session.h"
#include "memory/review_log.h"
#include "memory/review_memory.h"
#include "ui/dialogs.h"

#include <QDateTime>
#include <QString>

// Records the answers of one window into the program's memory, which
// appends them to the review log. A log that cannot be written is reported
// once for the window's life; answering goes on, and the memory keeps them.
class ReviewRecorder final {
public:
    ReviewRecorder(ReviewMemory& memory, Dialogs& dialogs) : m_memory(memory), m_dialogs(dialogs) {}

    // The entry of an answer to a shown question: the letters and the
    // rating in the bank's terms, the time as the log stores it.
    static ReviewEntry entry(const ShownQuestion& shown, quint8 chosen, Edition edition,
                             const QString& source, Rating rating, const QDateTime& when,
                             qint64 milliseconds);

    // True when the lines were written.
    bool record(const ReviewEntry& entry) { return record(QList<ReviewEntry>{entry}); }
    bool record(const QList<ReviewEntry>& entries);

private:
    ReviewMemory& m_memory;
    Dialogs& m_dialogs;
    bool m_reported = false;
};

namespace zoma {

// A set of shown letters as the bank's letters of the question.
quint8 bankLetters(const ShownQuestion& shown, quint8 chosen);

}  // namespace zoma
