// SPDX-License-Identifier: GPL-3.0-or-later
// 今日复习 as the user meets it: an answer (letter A), a rating (简单 when
// right) and a move to the next question of the queue, each of which has a
// picture of about 100 KB; the log line appended, the memory and the queue
// brought up to date, the window painted.

#include "bench/bench_suite.h"

#include "bank/read_data.h"
#include "study/study_window.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRandomGenerator>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

void answerRateNext(benchmark::State& state, const BenchContext& context) {
    // A program folder of its own beside the practice library, so that the
    // log starts empty and every question of the paper is new.
    const QString appDir = context.inputs.root + QStringLiteral("/study/");
    QDir(appDir).removeRecursively();
    QDir().mkpath(appDir);
    QFile settings(appDir + StudySettings::FileName);
    if (!settings.open(QIODevice::WriteOnly) || settings.write("newPerDay=2000\n") < 0) {
        state.SkipWithError("cannot write the settings");
        return;
    }
    settings.close();
    SharedValues values;
    values.AppDir = appDir;
    values.LibDir = context.inputs.practiceLibDir;
    QuestionBank bank;
    if (zoma::ReadData(bank, values, kBenchLevel).status != LoadResult::Status::Loaded) {
        state.SkipWithError("the library did not load");
        return;
    }
    // Ten minutes a press, so that the learning steps of the paper's dozen
    // questions keep falling due and the queue never runs dry.
    QDateTime now = QDateTime::currentDateTime();
    StudyEnvironment env = StudyEnvironment::system();
    env.now = [&now] { return now; };
    SilentDialogs dialogs;
    ReviewMemory memory(values.folder().appFile(ReviewLog::FileName));
    StudyWindow window(bank, values, memory, dialogs, kBenchLevel, env);
    if (!showExposed(window)) {
        state.SkipWithError("the study window did not show");
        return;
    }
    DailyReviewPage* page = window.dailyReview();
    auto* letter = page->findChild<QPushButton*>(QStringLiteral("letterA"));
    auto* easy = page->findChild<QPushButton*>(QStringLiteral("ratingEasy"));
    auto* next = page->findChild<QPushButton*>(QStringLiteral("nextButton"));
    if (!letter || !easy || !next || page->stage() != DailyReviewPage::Stage::Asking) {
        state.SkipWithError("no question asked");
        return;
    }
    const auto press = [&] {
        now = now.addSecs(600);
        // Rare: everything learnt is due days later; the next day asks it.
        if (page->stage() == DailyReviewPage::Stage::Empty) {
            now = now.addDays(1);
            page->refresh();
        }
        letter->click();
        if (easy->isEnabled()) easy->click();
        next->click();
    };
    timePresses(state, window, press, dialogs.unexpected);
}

// 学习中心 opened over a log of a million lines (ten years at 270 answers a
// day) on the 2025 C类 level of 1282 questions, as the program opens it for
// the first time: the log read and replayed, every page made, the window
// painted. A fresh memory each time, as in a new run of the program.
void openOverBigLog(benchmark::State& state, const BenchContext& context) {
    const QString appDir = context.inputs.root + QStringLiteral("/study-big/");
    QDir(appDir).removeRecursively();
    QDir().mkpath(appDir);
    const QString logPath = appDir + ReviewLog::FileName;
    {
        QFile log(logPath);
        if (!log.open(QIODevice::WriteOnly)) {
            state.SkipWithError("cannot write the log");
            return;
        }
        QRandomGenerator random(20261209);
        // Ending some weeks before today, so that no line is dated ahead of now.
        QDateTime when(QDate::currentDate().addDays(-3750), QTime(8, 0), Qt::OffsetFromUTC,
                       8 * 3600);
        QByteArray text;
        ReviewEntry e;
        e.edition = QStringLiteral("2025");
        e.source = QStringLiteral("review");
        for (int i = 0; i < 1'000'000; ++i) {
            const double u = random.generateDouble();
            const int n = 1 + int(u * u * context.inputs.levelRecords);
            e.when = when;
            e.id = QStringLiteral("MC%1-%2").arg(n % 3 ? 1 : 2).arg(n, 4, 10, QLatin1Char('0'));
            e.correct = random.bounded(5) != 0;
            e.chosen = e.correct ? QStringLiteral("A") : QStringLiteral("B");
            e.rating = e.correct ? Rating(2 + random.bounded(3)) : Rating::Again;
            e.seconds = int(random.bounded(60));
            text += zoma::reviewLine(e).toUtf8();
            text += '\n';
            when = when.addSecs(random.bounded(i % 270 == 269 ? 86400 : 60));
        }
        log.write(text);
    }
    SharedValues values;
    values.AppDir = appDir;
    values.LibDir = context.inputs.taggedLibDir;
    QuestionBank bank;
    if (zoma::ReadData(bank, values, kBenchLevel).status != LoadResult::Status::Loaded) {
        state.SkipWithError("the library did not load");
        return;
    }
    SilentDialogs dialogs;
    timeMedian(state, [&] {
        ReviewMemory memory(logPath);
        StudyWindow window(bank, values, memory, dialogs, kBenchLevel);
        if (!showExposed(window)) state.SkipWithError("the study window did not show");
        window.repaint();
    });
    if (!dialogs.unexpected.isEmpty()) state.SkipWithError(qPrintable(dialogs.unexpected));
}

}  // namespace

void registerStudyWindowBenchmarks(const BenchContext& context) {
    benchmark::RegisterBenchmark(BenchName::StudyAnswer, answerRateNext, context)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->MinTime(0.3);
    benchmark::RegisterBenchmark(BenchName::StudyOpenBigLog, openOverBigLog, context)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(1);
}
