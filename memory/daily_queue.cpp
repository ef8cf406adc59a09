// SPDX-License-Identifier: GPL-3.0-or-later
#include "memory/daily_queue.h"

#include <algorithm>

QString DailyQueue::head() const {
    if (!due.isEmpty()) return due.first();
    if (!fresh.isEmpty()) return fresh.first();
    return {};
}

DailyQueue zoma::dailyQueue(const QList<LevelQuestion>& level, const MemoryState& memory,
                            const QueueOptions& options, const QDateTime& now,
                            const FsrsParams& params) {
    const QDate today = now.toLocalTime().date();
    const QDateTime dayStart(today, QTime(0, 0));
    const qint64 startSecs = dayStart.toSecsSinceEpoch();
    // Compared with every card: in UTC, which costs no look-up of the zone.
    const QDateTime dayEnd = dayStart.addDays(1).toUTC();
    const QDateTime at = now.toUTC();

    struct Due {
        QString id;
        QDateTime due;
        double r = 0;
    };
    QList<Due> learning, review;
    QStringList unseen;
    DailyQueue queue;
    QDateTime later;  // the earliest due time not yet reached
    auto keepLater = [&later](const QDateTime& due) {
        if (!later.isValid() || due < later) later = due;
    };
    for (const LevelQuestion& q : level) {
        if (!zoma::inChapters(q.chapter, options.chapters)) continue;
        if (options.only && !options.only->contains(q.id)) continue;
        const QuestionMemory* m = memory.find(q.id);
        if (m == nullptr || m->card.state == CardState::New) {
            unseen.append(q.id);
            continue;
        }
        for (auto t = m->answeredAt.crbegin(); t != m->answeredAt.crend() && *t >= startSecs; ++t)
            ++queue.done;
        if (!m->answeredAt.isEmpty() && m->answeredAt.first() >= startSecs) ++queue.newToday;
        const Card& card = m->card;
        if (card.state == CardState::Review) {
            if (card.due < dayEnd)
                review.append({q.id, card.due, zoma::retrievability(card, at, params)});
            else
                keepLater(card.due);
        } else if (card.due <= at) {
            learning.append({q.id, card.due});
        } else {
            keepLater(card.due);
        }
    }
    std::stable_sort(learning.begin(), learning.end(),
                     [](const Due& a, const Due& b) { return a.due < b.due; });
    std::stable_sort(review.begin(), review.end(),
                     [](const Due& a, const Due& b) { return a.r < b.r; });
    for (const Due& d : learning) queue.due.append(d.id);
    for (const Due& d : review) queue.due.append(d.id);

    if (options.examDate.isValid())
        queue.newForExam =
            zoma::newPerDayForExam(int(unseen.size()) + queue.newToday, today, options.examDate);
    queue.newPerDay = std::max(options.newPerDay, queue.newForExam);
    const int allowed = std::max(0, queue.newPerDay - queue.newToday);
    queue.fresh = unseen.mid(0, std::min<qsizetype>(allowed, unseen.size()));
    if (queue.empty()) queue.nextDue = later;
    return queue;
}

int zoma::newPerDayForExam(int unseen, const QDate& today, const QDate& examDate) {
    if (unseen <= 0 || !examDate.isValid()) return 0;
    const qint64 days = today.daysTo(examDate.addDays(-7)) + 1;
    if (days <= 1) return unseen;
    return int((unseen + days - 1) / days);
}

QDateTime zoma::latestDueFor(const QDate& examDate) {
    if (!examDate.isValid()) return {};
    // In UTC: the scheduler compares it with every answer it takes.
    return QDateTime(examDate.addDays(-1), QTime(0, 0)).toUTC();
}
