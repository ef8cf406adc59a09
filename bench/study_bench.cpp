// SPDX-License-Identifier: GPL-3.0-or-later
// The memory of the study window: replaying a log of 100,000 answers over the
// 2025 bank's 3108 questions, building today's queue for C类 from it, and
// the chance of passing the C类 exam, each from inputs made here with a fixed
// seed.

#include "bench/bench_suite.h"

#include "memory/daily_queue.h"
#include "memory/pass_chance.h"
#include "memory/review_memory.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

namespace {

constexpr int kAnswers = 100000;
constexpr int kLevelSizes[] = {683, 1143, 1282};  // A类, B类, C类 of the 2025 edition
const QString kEdition = QStringLiteral("2025");

struct StudyInputs {
    QList<ReviewEntry> log;
    QList<LevelQuestion> levelC;
    QDateTime now;  // the day after the last answer
};

QString questionId(int level, int number) {
    return QStringLiteral("MC%1-%2").arg(level + 1).arg(number, 4, 10, QChar(u'0'));
}

// Half a year of study: answers a few minutes apart in sessions, on questions
// of all three levels, some far more often than others; a fifth wrong.
const StudyInputs& inputs() {
    static const StudyInputs made = [] {
        StudyInputs in;
        QRandomGenerator random(20261207);
        QDateTime when(QDate(2026, 6, 1), QTime(8, 0), Qt::OffsetFromUTC, 8 * 3600);
        in.log.reserve(kAnswers);
        for (int i = 0; i < kAnswers; ++i) {
            const int level = int(random.bounded(3));
            const int range = kLevelSizes[level];
            // Squared, so that the early questions of a level come up more often.
            const double u = random.generateDouble();
            const int number = 1 + int(u * u * range);
            ReviewEntry e;
            e.when = when;
            e.edition = kEdition;
            e.id = questionId(level, std::min(number, range));
            e.source = QStringLiteral("review");
            e.correct = random.bounded(5) != 0;
            e.chosen = e.correct ? QStringLiteral("A") : QStringLiteral("B");
            e.rating = e.correct ? Rating(2 + random.bounded(3)) : Rating::Again;
            e.seconds = int(random.bounded(60));
            in.log.append(e);
            when = when.addSecs(random.bounded(i % 200 == 199 ? 86400 : 300));
        }
        for (int n = 1; n <= kLevelSizes[2]; ++n)
            in.levelC.append(
                {questionId(2, n), {}, QStringLiteral("1.%1.1").arg(n % 9 + 1), n > 1000});
        in.now = when.addDays(1);
        return in;
    }();
    return made;
}

void replay(benchmark::State& state) {
    const StudyInputs& in = inputs();
    MemoryState memory;
    timeMedian(state, [&] {
        memory.replay(in.log, kEdition, FsrsParams());
        benchmark::DoNotOptimize(memory.questions().size());
    });
}

void queue(benchmark::State& state) {
    const StudyInputs& in = inputs();
    MemoryState memory;
    memory.replay(in.log, kEdition, FsrsParams());
    timeMedian(state, [&] {
        const DailyQueue q = zoma::dailyQueue(in.levelC, memory, QueueOptions(), in.now);
        benchmark::DoNotOptimize(q.due.size());
    });
}

// As the page works it out: every question's recall on the day, then the
// exact chance for the C类 rule (70 singles, 20 multiples, 70 to pass).
void chance(benchmark::State& state) {
    const StudyInputs& in = inputs();
    MemoryState memory;
    memory.replay(in.log, kEdition, FsrsParams());
    timeMedian(state, [&] {
        const PassChance c = zoma::levelPassChance(in.levelC, memory, 70, 20, 70, in.now);
        benchmark::DoNotOptimize(c.probability);
    });
}

// The chance for the largest rule the exam's start page allows over the
// largest level the store holds: 2001 questions of one kind, all drawn (the
// whole pool, which took seconds when every subset size was worked through)
// or half of them (the most work for the hypergeometric step).
void largestRule(benchmark::State& state, int drawn) {
    constexpr int kPool = 2001;
    QList<double> chances;
    QRandomGenerator random(20261208);
    for (int i = 0; i < kPool; ++i)
        chances.append(zoma::answerChance(random.generateDouble(), false));
    timeMedian(state, [&] {
        const PassChance c = zoma::passChance(chances, {}, drawn, 0, drawn * 3 / 4);
        benchmark::DoNotOptimize(c.probability);
    });
}

void wholePool(benchmark::State& state) {
    largestRule(state, 2000);
}

void halfPool(benchmark::State& state) {
    largestRule(state, 1000);
}

// The log read into the program's memory and replayed, as when the study
// window first opens, once it has grown to a million lines (about 55 MB):
// the answers above ten times over.
void bigLog(benchmark::State& state) {
    const StudyInputs& in = inputs();
    QTemporaryDir dir;
    const QString path = dir.filePath(ReviewLog::FileName);
    {
        QFile file(path);
        if (!dir.isValid() || !file.open(QIODevice::WriteOnly)) {
            state.SkipWithError("cannot write the log");
            return;
        }
        QByteArray text;
        for (int round = 0; round < 10; ++round) {
            for (ReviewEntry e : in.log) {
                e.when = e.when.addDays(200 * round);
                text += zoma::reviewLine(e).toUtf8();
                text += '\n';
            }
        }
        file.write(text);
    }
    const QDateTime now = in.now.addDays(200 * 9);  // after the last round
    timeMedian(state, [&] {
        ReviewMemory memory(path);
        memory.refresh(now);
        if (!memory.readable() || !memory.issues().isEmpty())
            state.SkipWithError("the log did not read");
        const MemoryState& replayed = memory.state(kEdition, FsrsParams(), now);
        benchmark::DoNotOptimize(replayed.questions().size());
    });
}

}  // namespace

void registerStudyBenchmarks(const BenchContext&) {
    for (const auto& [name, work] : {std::pair{BenchName::StudyReplay, &replay},
                                     {BenchName::StudyQueue, &queue},
                                     {BenchName::StudyChance, &chance},
                                     {BenchName::StudyChanceWhole, &wholePool},
                                     {BenchName::StudyChanceHalf, &halfPool},
                                     {BenchName::StudyBigLog, &bigLog}})
        benchmark::RegisterBenchmark(name, work)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->MinTime(0.3);
}
