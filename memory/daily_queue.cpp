// SPDX-License-Identifier: GPL-3.0-or-later
#include "memory/daily_queue.h"

QString DailyQueue::head() const {
    if (!due.isEmpty()) return due.first();
    if (!fresh.isEmpty()) return fresh.first();
    return {};
}

DailyQueue zoma::dailyQueue(const QList<LevelQuestion>&, const MemoryState&, const QueueOptions&,
                            const QDateTime&, const FsrsParams&) {
    return {};
}

int zoma::newPerDayForExam(int, const QDate&, const QDate&) {
    return 0;
}

QDateTime zoma::latestDueFor(const QDate&) {
    return {};
}
